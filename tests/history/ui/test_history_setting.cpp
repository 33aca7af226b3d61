#include "history/HistorySetting.h"
#include "history/ui/HistorySettingDialog.h"
#include "support/PostgresServer.h"
#include "support/ScriptedPrompts.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// The remembered settings in a folder of the test.
class HistorySettingTest : public ::testing::Test {
protected:
    void SetUp() override { qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path())); }
    void TearDown() override { qunsetenv("XDG_CONFIG_HOME"); }

    static void checkAndWait(HistorySettingDialog& dialog)
    {
        bool done = false;
        QObject::connect(&dialog, &HistorySettingDialog::connectionChecked, [&done] { done = true; });
        dialog.CheckButton->click();
        const QDeadlineTimer deadline(60000);
        while (!done && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        ASSERT_TRUE(done);
    }

    QTemporaryDir m_config;
};

TEST_F(HistorySettingTest, TheChoiceIsKeptAndAPasswordNeverWritten)
{
    EXPECT_EQ(HistorySetting::load(), HistorySetting {});
    const HistorySetting shared { true, QStringLiteral("service=kestrova sslmode=require") };
    shared.save();
    EXPECT_EQ(HistorySetting::load(), shared);
    EXPECT_EQ(HistorySetting::load().location(), QStringLiteral("service=kestrova sslmode=require"));
    EXPECT_EQ(QFile(HistorySetting::path()).permissions() & (QFile::ReadGroup | QFile::ReadOther), 0);

    EXPECT_THROW((HistorySetting { true, QStringLiteral("host=db password=s3cr3t") }.save()), std::exception);
    EXPECT_EQ(HistorySetting::load(), shared);
    HistorySetting { false, QString() }.save();
    EXPECT_FALSE(HistorySetting::load().shared);
}

TEST_F(HistorySettingTest, TheButtonTriesTheConnectionAndOkSavesTheChoice)
{
    PostgresServer& server = PostgresServer::shared();
    HistorySettingDialog dialog(HistorySetting {});
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("История позиций"));
    EXPECT_EQ(dialog.LocalButton->text(), QStringLiteral("этот компьютер"));
    EXPECT_EQ(dialog.SharedButton->text(), QStringLiteral("общая база PostgreSQL"));
    EXPECT_EQ(dialog.CheckButton->text(), QStringLiteral("Проверить подключение"));
    EXPECT_FALSE(dialog.CheckButton->isEnabled());

    dialog.SharedButton->setChecked(true);
    dialog.ServerEdit->setText(server.conninfo(QStringLiteral("nowhere")));
    checkAndWait(dialog);
    EXPECT_TRUE(dialog.CheckResult->text().startsWith(
        QStringLiteral("Подключиться не удалось: нет связи с сервером PostgreSQL")))
        << dialog.CheckResult->text().toStdString();

    dialog.ServerEdit->setText(server.conninfo(server.createDatabase()));
    checkAndWait(dialog);
    EXPECT_EQ(dialog.CheckResult->text(),
        QStringLiteral("Подключение работает: схема «kestrova», версия схемы 7."));

    ScriptedPrompts& prompts = ScriptedPrompts::install();
    prompts.clear();
    dialog.ServerEdit->setText(QStringLiteral("host=db password=s3cr3t"));
    dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_TRUE(prompts.shown[0].text.contains(QStringLiteral(".pgpass")));
    EXPECT_FALSE(prompts.shown[0].text.contains(QStringLiteral("s3cr3t")));
    EXPECT_FALSE(QFile::exists(HistorySetting::path()));

    dialog.ServerEdit->setText(QStringLiteral("service=kestrova"));
    dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(HistorySetting::load(), (HistorySetting { true, QStringLiteral("service=kestrova") }));
}

} // namespace
