// Run with --gtest_filter=Keyring*: the process then has gnome-keyring-daemon on its private bus.
#include "sources/KeyTesting.h"
#include "sources/SecretServiceKeys.h"
#include "sources/SourceKeyStore.h"
#include "sources/ui/SourcesDialog.h"
#include "support/ScriptedPrompts.h"

#include <QDBusArgument>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

// How many items of the program's schema hold the key, whatever their secret, as the Secret
// Service's own search finds them.
int itemsHolding(KeyName name)
{
    qDBusRegisterMetaType<QMap<QString, QString>>();
    const QMap<QString, QString> attributes { { "xdg:schema", "ru.tellvik.KestrovaSertrix.SourceKey" },
        { "key", keyCode(name) } };
    const QDBusMessage reply = callSecretService(
        qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS"), "SearchItems", { QVariant::fromValue(attributes) });
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 2) {
        ADD_FAILURE() << reply.errorMessage().toStdString();
        return -1;
    }
    int count = 0;
    for (const QVariant& paths : reply.arguments())
        count += int(qdbus_cast<QList<QDBusObjectPath>>(paths).size());
    return count;
}

class KeyringTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(keyringProcess()) << "run with --gtest_filter=Keyring*";
        forgetEnvironmentAndFile();
        for (KeyName name : kKeyNames)
            ASSERT_TRUE(keyring.clear(name, nullptr));
        prompts = &ScriptedPrompts::install();
    }
    void TearDown() override
    {
        forgetEnvironmentAndFile();
        Prompts::install(nullptr);
    }

    SecretServiceKeys keyring;
    SourceKeyStore store;
    ScriptedPrompts* prompts = nullptr;
};

TEST_F(KeyringTest, AKeyIsStoredReadBackReplacedInItsOneItemAndDeleted)
{
    QString problem;
    EXPECT_FALSE(keyring.lookup(KeyName::SerpApiKey, &problem));
    EXPECT_EQ(problem, "");
    ASSERT_TRUE(keyring.store(KeyName::SerpApiKey, "first-key", &problem)) << problem.toStdString();
    EXPECT_EQ(keyring.lookup(KeyName::SerpApiKey, &problem), "first-key");
    ASSERT_TRUE(keyring.store(KeyName::SerpApiKey, "second-key", &problem));
    EXPECT_EQ(keyring.lookup(KeyName::SerpApiKey, &problem), "second-key");
    EXPECT_EQ(itemsHolding(KeyName::SerpApiKey), 1);
    EXPECT_FALSE(keyring.lookup(KeyName::YandexApiKey, &problem));
    ASSERT_TRUE(keyring.clear(KeyName::SerpApiKey, &problem));
    EXPECT_FALSE(keyring.lookup(KeyName::SerpApiKey, &problem));
    EXPECT_EQ(problem, "");
    EXPECT_EQ(itemsHolding(KeyName::SerpApiKey), 0);
}

TEST_F(KeyringTest, TheEnvironmentComesFirstThenTheKeyringThenTheFile)
{
    const struct {
        const char* environment;
        const char* keyring;
        const char* file;
        const char* found;
        KeyPlace place;
    } rows[] = {
        { "from-environment", "from-keyring", "from-file", "from-environment", KeyPlace::Environment },
        { "", "from-keyring", "from-file", "from-keyring", KeyPlace::Keyring },
        { "", "", "from-file", "from-file", KeyPlace::KeyFile },
        { "", "", "", "", KeyPlace::Nowhere },
        { "bad key", "from-keyring", "", "from-keyring", KeyPlace::Keyring },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.found);
        qputenv(kYandexFolderIdVariable, row.environment);
        if (*row.keyring)
            ASSERT_TRUE(keyring.store(KeyName::YandexFolderId, row.keyring, nullptr));
        else
            ASSERT_TRUE(keyring.clear(KeyName::YandexFolderId, nullptr));
        ASSERT_TRUE(KeyFile::write({ "", row.file, "" }, nullptr));
        const FoundKeys found = store.load();
        EXPECT_TRUE(found.keyringAnswered);
        EXPECT_EQ(found.keys.yandexFolderId, row.found);
        EXPECT_EQ(found.placeOf(KeyName::YandexFolderId), row.place);
        EXPECT_EQ(found.placeOf(KeyName::YandexApiKey), KeyPlace::Nowhere);
    }
    EXPECT_EQ(store.load().problems,
        QStringList { "Переменная окружения KESTROVA_YANDEX_FOLDER_ID не принята: идентификатор каталога "
                      "Yandex Cloud содержит пробел, управляющий или не латинский знак" });
}

TEST_F(KeyringTest, TheDialogNeverShowsAStoredKeyAndReplacesOrDeletesIt)
{
    ASSERT_TRUE(keyring.store(KeyName::YandexApiKey, "stored-key", nullptr));
    ASSERT_TRUE(KeyFile::write({ "", "", "serp-in-file" }, nullptr));
    {
        SourcesDialog dialog({}, {}, store.load(), store);
        EXPECT_TRUE(dialog.LNoKeyring->isHidden());
        EXPECT_EQ(dialog.EKeys[0]->text(), "");
        EXPECT_EQ(dialog.EKeys[0]->echoMode(), QLineEdit::Password);
        EXPECT_EQ(dialog.EKeys[0]->placeholderText(), "сохранён");
        EXPECT_EQ(dialog.LKeyStates[0]->text(), "сохранён в связке ключей");
        EXPECT_EQ(dialog.EKeys[2]->text(), "");
        EXPECT_EQ(dialog.LKeyStates[2]->text(), "сохранён в файле ключей");
        EXPECT_EQ(dialog.LKeyStates[1]->text(), "не задан");
        EXPECT_FALSE(dialog.BForget[1]->isEnabled());
        dialog.EKeys[0]->setText("new-key");
        dialog.EKeys[2]->setText("serp-in-keyring");
        dialog.accept();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    }
    EXPECT_EQ(keyring.lookup(KeyName::YandexApiKey, nullptr), "new-key");
    EXPECT_EQ(keyring.lookup(KeyName::SerpApiKey, nullptr), "serp-in-keyring");
    EXPECT_EQ(itemsHolding(KeyName::YandexApiKey), 1);
    EXPECT_EQ(keyFileMode(), -1); // the key moved into the keyring leaves the file
    {
        SourcesDialog dialog({}, {}, store.load(), store);
        dialog.BForget[0]->click();
        EXPECT_EQ(dialog.LKeyStates[0]->text(), "будет удалён");
        dialog.accept();
    }
    EXPECT_FALSE(keyring.lookup(KeyName::YandexApiKey, nullptr));
    EXPECT_EQ(keyring.lookup(KeyName::SerpApiKey, nullptr), "serp-in-keyring");
    EXPECT_TRUE(prompts->shown.empty());
}

} // namespace
