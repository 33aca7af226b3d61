#include "sources/KeyTesting.h"
#include "sources/SourceKeyStore.h"
#include "sources/ui/SourcesDialog.h"
#include "support/ScriptedPrompts.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <gtest/gtest.h>

namespace {

const QString kNoService = QStringLiteral("служба хранения паролей (Secret Service) не отвечает: ");

class NoKeyringTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(keyringProcess());
        forgetEnvironmentAndFile();
        prompts = &ScriptedPrompts::install();
    }
    void TearDown() override
    {
        forgetEnvironmentAndFile();
        Prompts::install(nullptr);
    }

    ScriptedPrompts* prompts = nullptr;
    SourceKeyStore store;
};

TEST_F(NoKeyringTest, TheStoreSaysSoAndKeepsNothingUnlessToldToUseTheFile)
{
    const FoundKeys found = store.load();
    EXPECT_FALSE(found.keyringAnswered);
    EXPECT_TRUE(found.keyringProblem.startsWith(kNoService)) << found.keyringProblem.toStdString();
    EXPECT_EQ(found.problems, QStringList());
    EXPECT_EQ(found.placeOf(KeyName::YandexApiKey), KeyPlace::Nowhere);

    KeyChanges changes;
    changes.replace[0] = QStringLiteral("AQVN-key");
    QString problem;
    EXPECT_EQ(store.save(changes, false, &problem), SourceKeyStore::Outcome::NoKeyring);
    EXPECT_TRUE(problem.startsWith(kNoService)) << problem.toStdString();
    EXPECT_EQ(keyFileMode(), -1);

    EXPECT_EQ(store.save(changes, true, &problem), SourceKeyStore::Outcome::Saved);
    EXPECT_EQ(keyFileMode(), 0600);
    const FoundKeys again = store.load();
    EXPECT_EQ(again.keys.yandexApiKey, "AQVN-key");
    EXPECT_EQ(again.placeOf(KeyName::YandexApiKey), KeyPlace::KeyFile);

    KeyChanges forget;
    forget.remove[0] = true;
    EXPECT_EQ(store.save(forget, false, &problem), SourceKeyStore::Outcome::Saved) << problem.toStdString();
    EXPECT_EQ(keyFileMode(), -1);
}

TEST_F(NoKeyringTest, AKeyFileOthersMayReadIsNotTakenNorWrittenOver)
{
    QString problem;
    ASSERT_TRUE(KeyFile::write({ "AQVN-key", "", "" }, &problem));
    QFile::setPermissions(
        KeyFile::path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther);
    const FoundKeys found = store.load();
    EXPECT_EQ(found.keys.yandexApiKey, "");
    ASSERT_EQ(found.problems.size(), 1);
    EXPECT_TRUE(found.problems[0].startsWith(QStringLiteral("Файл ключей ")))
        << found.problems[0].toStdString();

    KeyChanges changes;
    changes.replace[2] = QStringLiteral("serp-key");
    EXPECT_EQ(store.save(changes, true, &problem), SourceKeyStore::Outcome::Failed);
    EXPECT_EQ(problem, found.problems[0]);
    EXPECT_EQ(keyFileMode(), 0604);
}

TEST_F(NoKeyringTest, TheDialogOffersTheWeakerKeyFileAndKeepsTheKeyOnlyWhenTheUserAgrees)
{
    const QString question = QStringLiteral(
        "Ключи не сохранены: %1.\n\nСохранить их в файле %2, который может прочитать только ваш "
        "пользователь? Это слабее связки ключей: ключи лежат в файле открытым текстом.");
    for (const Prompts::Button answer : { Prompts::Button::No, Prompts::Button::Yes }) {
        const FoundKeys found = store.load();
        SourcesDialog dialog({}, {}, found, store);
        EXPECT_FALSE(dialog.LNoKeyring->isHidden());
        EXPECT_EQ(dialog.LNoKeyring->text(),
            u'С' + found.keyringProblem.mid(1)
                + ". Ключи можно сохранить в файле, который может прочитать только ваш пользователь, — это "
                  "слабее связки ключей: ключ лежит в файле открытым текстом.");
        dialog.EKeys[2]->setText(QStringLiteral(" serp-key "));
        prompts->clear();
        prompts->answer(answer);
        dialog.accept();
        ASSERT_EQ(prompts->shown.size(), 1u);
        const ScriptedPrompts::Shown& asked = prompts->shown[0];
        EXPECT_EQ(asked.kind, ScriptedPrompts::Shown::Ask);
        EXPECT_EQ(asked.defaultButton, Prompts::Button::No);
        const QString problem = asked.text.section(QStringLiteral(".\n\n"), 0, 0).mid(20);
        EXPECT_TRUE(problem.startsWith(kNoService)) << asked.text.toStdString();
        EXPECT_EQ(asked.text, question.arg(problem, KeyFile::path()));
        if (answer == Prompts::Button::No) {
            EXPECT_EQ(dialog.result(), QDialog::Rejected);
            EXPECT_EQ(keyFileMode(), -1);
        } else {
            EXPECT_EQ(dialog.result(), QDialog::Accepted);
            EXPECT_EQ(keyFileMode(), 0600);
            EXPECT_TRUE(keyFileBytes().endsWith("\nserp-api-key=serp-key\n"));
        }
    }
}

TEST_F(NoKeyringTest, AKeyThatCannotBeKeptKeepsTheDialogOpenWithTheReason)
{
    SourcesDialog dialog({}, {}, store.load(), store);
    dialog.EKeys[0]->setText(QStringLiteral("AQVN key"));
    dialog.accept();
    EXPECT_EQ(prompts->texts(),
        QStringList {
            "Ключи не сохранены: ключ API Yandex Cloud содержит пробел, управляющий или не латинский знак" });
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(keyFileMode(), -1);
}

} // namespace
