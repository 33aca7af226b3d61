#include "StoreFixtures.h"

#include "platform/XdgRegistry.h"
#include "store/DialogFolder.h"
#include "store/ProgramStores.h"
#include "store/PropertiesStore.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <sys/stat.h>

namespace {

const QString kConnectionKey = QStringLiteral("Tellvik\\Kestrova Sertrix\\PropertiesStore");

class RegistryStoreTest : public StoreTest {
protected:
    QString hiveFile() const { return configRoot() + "/Tellvik/Kestrova Sertrix/PropertiesStore.reg"; }

    // A frame's connection store as the frame builds it.
    static std::unique_ptr<TcxPropertiesStore> connectionStore(const FrameControls& controls)
    {
        auto store = std::make_unique<TcxPropertiesStore>();
        ProgramStores::declareConnectionItems(*store, controls.frame.get());
        return store;
    }

    static void chooseProxy(FrameControls& controls, const QString& server, const QString& password)
    {
        controls.RBProxy->setChecked(true);
        controls.GBProxy->setEnabled(true);
        controls.edit("ProxyServer")->setText(server);
        controls.edit("ProxyPort")->setText("3128");
        controls.edit("ProxyPass")->setText(password);
    }
};

} // namespace

TEST_F(RegistryStoreTest, ConnectionSettingsKeepTheRegistryTree)
{
    FrameControls controls;
    chooseProxy(controls, "proxy.local", "p\"w\\d");
    connectionStore(controls)->StoreProperties(true);

    XdgRegistry registry(configRoot());
    EXPECT_EQ(registry.fileOf(kConnectionKey), hiveFile());
    EXPECT_EQ(registry.subkeys(kConnectionKey),
        QStringList({ "RBDefault", "RBProxy", "GBProxy", "GBUser", "ProxyPass", "ProxyPort", "ProxyServer",
            "ProxyUser" }));
    EXPECT_EQ(registry.subkeys("\\Tellvik\\Kestrova Sertrix"), QStringList { "PropertiesStore" });
    const QString item = kConnectionKey + "\\RBProxy";
    EXPECT_EQ(registry.subkeys(item), QStringList { "[ClassName]" });
    EXPECT_EQ(registry.listValueNames(item), QStringList { "Checked" });
    const auto className = registry.readValue(item + "\\[ClassName]", "ClassName");
    ASSERT_TRUE(className);
    EXPECT_EQ(className->type, RegistryType::String);
    EXPECT_EQ(className->text, "TcxPropertiesStoreComponent");
    EXPECT_EQ(registry.readValue(item, "checked")->text, "\"True\"");
    EXPECT_EQ(registry.readValue(kConnectionKey + "\\GBUser", "Enabled")->text, "\"False\"");
    EXPECT_EQ(registry.readValue(kConnectionKey + "\\ProxyPass", "Text")->text, "\"p\"w\\d\"");
    EXPECT_EQ(registry.readValue(kConnectionKey + "\\ProxyUser", "Text")->text, "\"\"");

    const QByteArray file = readBytes(hiveFile());
    EXPECT_TRUE(file.contains("\n[HKEY_CURRENT_USER\\Tellvik\\Kestrova Sertrix\\PropertiesStore\\ProxyPass]\n"
                              "\"Text\"=\"\\\"p\\\"w\\\\d\\\"\"\n"));
    EXPECT_TRUE(file.contains(
        "\n[HKEY_CURRENT_USER\\Tellvik\\Kestrova Sertrix\\PropertiesStore\\RBProxy\\[ClassName]]\n"
        "\"ClassName\"=\"TcxPropertiesStoreComponent\"\n"));
    struct stat info { };
    ASSERT_EQ(stat(QFile::encodeName(hiveFile()).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u) << "the file holds the proxy password";
}

TEST_F(RegistryStoreTest, StoreDeletesTheKeyFirst)
{
    {
        XdgRegistry registry(configRoot());
        ASSERT_TRUE(registry.createKey(kConnectionKey + "\\Stale\\Deeper"));
        ASSERT_TRUE(registry.writeString(kConnectionKey + "\\RBDefault", "Old", "x") == false);
        ASSERT_TRUE(registry.createKey(kConnectionKey + "\\RBDefault"));
        ASSERT_TRUE(registry.writeString(kConnectionKey + "\\RBDefault", "Old", "\"x\""));
        ASSERT_TRUE(registry.flush());
    }
    FrameControls controls;
    connectionStore(controls)->StoreProperties(true);

    XdgRegistry registry(configRoot());
    EXPECT_FALSE(registry.keyExists(kConnectionKey + "\\Stale"));
    EXPECT_EQ(registry.listValueNames(kConnectionKey + "\\RBDefault"), QStringList { "Checked" });
}

TEST_F(RegistryStoreTest, LastStoredSettingsWinAfterARestart)
{
    FrameControls first;
    FrameControls second;
    auto firstStore = connectionStore(first);
    auto secondStore = connectionStore(second);
    firstStore->RestoreProperties(); // nothing stored yet: design defaults stay
    EXPECT_TRUE(first.RBDefault->isChecked());
    EXPECT_FALSE(first.GBProxy->isEnabled());

    chooseProxy(first, "first.local", "one");
    chooseProxy(second, "second.local", "two");
    secondStore->StoreProperties(true);
    firstStore->StoreProperties(true); // the frame destroyed last

    FrameControls next;
    connectionStore(next)->RestoreProperties();
    EXPECT_TRUE(next.RBProxy->isChecked());
    EXPECT_FALSE(next.RBDefault->isChecked());
    EXPECT_TRUE(next.GBProxy->isEnabled());
    EXPECT_FALSE(next.GBUser->isEnabled());
    EXPECT_EQ(next.edit("ProxyServer")->text(), "first.local");
    EXPECT_EQ(next.edit("ProxyPort")->text(), "3128");
    EXPECT_EQ(next.edit("ProxyPass")->text(), "one");
}

TEST_F(RegistryStoreTest, MissingKeyRestoresNothing)
{
    FrameControls controls;
    controls.edit("ProxyServer")->setText("design");
    connectionStore(controls)->RestoreProperties();
    EXPECT_EQ(controls.edit("ProxyServer")->text(), "design");
    EXPECT_FALSE(QFileInfo::exists(hiveFile()));
}

TEST_F(RegistryStoreTest, UnwritableKeyFailsWithTheStorageName)
{
    QDir().mkpath(configRoot());
    writeBytes(configRoot() + "/Tellvik", "a file where the folder should be");
    FrameControls controls;
    try {
        connectionStore(controls)->StoreProperties(true);
        FAIL();
    } catch (const EPropertiesStore& e) {
        EXPECT_EQ(e.message(),
            "Can't create the registry key: \\Tellvik\\Kestrova Sertrix\\PropertiesStore. Cannot create the "
            "folder \""
                + configRoot() + "/Tellvik/Kestrova Sertrix\": \"" + configRoot()
                + "/Tellvik\" is not a folder.");
    }
}

TEST_F(RegistryStoreTest, FailedSaveKeepsTheSystemsReason)
{
    QDir().mkpath(configRoot() + "/Tellvik/Kestrova Sertrix/PropertiesStore.reg");
    FrameControls controls;
    try {
        connectionStore(controls)->StoreProperties(true);
        FAIL();
    } catch (const EPropertiesStore& e) {
        const QString expected
            = "Can't create the registry key: \\Tellvik\\Kestrova Sertrix\\PropertiesStore. "
              "Cannot create file \""
            + configRoot() + "/Tellvik/Kestrova Sertrix/PropertiesStore.reg\". ";
        EXPECT_TRUE(e.message().startsWith(expected)) << e.what();
        EXPECT_GT(e.message().size(), expected.size()) << "the system's reason follows";
    }
}

TEST_F(RegistryStoreTest, WindowStoresKeepFoldersAndVersionTexts)
{
    QObject mainWindow;
    auto* openDialog = new DialogFolder(&mainWindow);
    openDialog->setObjectName("OpenDialog");
    auto* saveDialog = new DialogFolder(&mainWindow);
    saveDialog->setObjectName("SaveDialog");
    openDialog->SetInitialDir("/home/user/Проекты");
    QWidget updateWindow;
    auto* lblUpDate = new QLabel("05.03.2024", &updateWindow);
    lblUpDate->setObjectName("lblUpDate");
    auto* lblVer = new QLabel("Tue, 05 Mar 2024 10:00:00 GMT", &updateWindow);
    lblVer->setObjectName("lblVer");

    TcxPropertiesStore fileStore;
    ProgramStores::declareFileStoreItems(fileStore, &mainWindow);
    fileStore.StoreProperties(true);
    TcxPropertiesStore verStore;
    ProgramStores::declareVerStoreItems(verStore, &updateWindow);
    verStore.StoreProperties(true);

    XdgRegistry registry(configRoot());
    EXPECT_EQ(registry.readValue("Tellvik\\Kestrova Sertrix\\FileStore\\OpenDialog", "InitialDir")->text,
        QString::fromUtf8("\"/home/user/Проекты\""));
    EXPECT_EQ(registry.readValue("Tellvik\\Kestrova Sertrix\\VerStore\\lblVer", "Caption")->text,
        "\"Tue, 05 Mar 2024 10:00:00 GMT\"");
    EXPECT_TRUE(QFileInfo::exists(configRoot() + "/Tellvik/Kestrova Sertrix/VerStore.reg"));

    openDialog->SetInitialDir("elsewhere");
    lblUpDate->setText("");
    fileStore.RestoreProperties();
    verStore.RestoreProperties();
    EXPECT_EQ(openDialog->InitialDir(), QString::fromUtf8("/home/user/Проекты"));
    EXPECT_EQ(lblUpDate->text(), "05.03.2024");
}

TEST(XdgRegistry, ValuesOfEveryTypeSurviveTheFile)
{
    QTemporaryDir dir;
    const QString key = "A\\B\\C\\D";
    {
        XdgRegistry registry(dir.path());
        ASSERT_TRUE(registry.createKey(key));
        registry.writeValue(key, "text", RegistryValue::string("line one\r\nline two \"q\" \\"));
        registry.writeValue(key, "number", RegistryValue::dword(0xFFFFFFFE));
        registry.writeValue(key, "bytes", RegistryValue::binary(QByteArray("\x00\x01\xFF", 3)));
        registry.writeValue(key, "", RegistryValue { RegistryType::ExpandString, "%HOME%\\x", {} });
        registry.writeValue(key, "nuls", RegistryValue::string(QString::fromLatin1("a\0\x10\0\0", 5)));
        ASSERT_TRUE(registry.flush());
    }
    XdgRegistry registry(dir.path());
    EXPECT_EQ(registry.listValueNames(key), QStringList({ "text", "number", "bytes", "", "nuls" }));
    EXPECT_EQ(registry.readValue(key, "nuls")->text, QString::fromLatin1("a\0\x10\0\0", 5));
    EXPECT_EQ(registry.readValue(key, "TEXT")->text, "line one\r\nline two \"q\" \\");
    EXPECT_EQ(registry.readValue(key, "number")->data, QByteArray("\xFE\xFF\xFF\xFF"));
    EXPECT_EQ(registry.readValue(key, "bytes")->data, QByteArray("\x00\x01\xFF", 3));
    EXPECT_EQ(registry.readValue(key, "")->type, RegistryType::ExpandString);
    EXPECT_EQ(registry.readValue(key, "")->text, "%HOME%\\x");
    EXPECT_FALSE(registry.readValue(key, "absent"));
    EXPECT_TRUE(registry.keyExists("a\\b\\c\\d"));
    EXPECT_TRUE(registry.deleteKeyTree("A\\B"));
    EXPECT_FALSE(registry.keyExists(key));
}
