#include "StoreFixtures.h"

#include "platform/XdgRegistry.h"
#include "store/DialogFolder.h"
#include "store/ProgramStores.h"
#include "store/PropertiesStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <sys/stat.h>

namespace {

const QString kConnectionKey = QStringLiteral("Tellvik\\Kestrova Sertrix\\PropertiesStore");

class RegistryStoreTest : public StoreTest {
protected:
    QString hiveFile() const { return configRoot() + "/Tellvik/Kestrova Sertrix/PropertiesStore.reg"; }

    // The proxy chosen as the frame's controls choose it.
    static void chooseProxy(
        ProgramStores::Connection& connection, const QString& server, const QString& password)
    {
        connection.direct = false;
        connection.proxy = true;
        connection.proxyGroup = true;
        connection.server = server;
        connection.port = "3128";
        connection.password = password;
    }
};

} // namespace

TEST_F(RegistryStoreTest, ConnectionSettingsKeepTheRegistryTree)
{
    ProgramStores::Connection connection;
    chooseProxy(connection, "proxy.local", "p\"w\\d");
    ProgramStores::storeConnection(connection);

    XdgRegistry registry(configRoot());
    EXPECT_EQ(registry.fileOf(kConnectionKey), hiveFile());
    EXPECT_EQ(registry.subkeys(kConnectionKey),
        QStringList({ "RBDefault", "RBProxy", "GBProxy", "GBUser", "ProxyPass", "ProxyPort", "ProxyServer",
            "ProxyUser" }));
    EXPECT_EQ(registry.subkeys("\\Tellvik\\Kestrova Sertrix"), QStringList { "PropertiesStore" });
    const QString item = kConnectionKey + "\\RBProxy";
    EXPECT_EQ(registry.subkeys(item), QStringList { "[ClassName]" });
    EXPECT_EQ(registry.listValueNames(item), QStringList { "Checked" });
    EXPECT_EQ(registry.readString(item + "\\[ClassName]", "ClassName"), "TcxPropertiesStoreComponent");
    EXPECT_EQ(*registry.readString(item, "checked"), "\"True\"");
    EXPECT_EQ(*registry.readString(kConnectionKey + "\\GBUser", "Enabled"), "\"False\"");
    EXPECT_EQ(*registry.readString(kConnectionKey + "\\ProxyPass", "Text"), "\"p\"w\\d\"");
    EXPECT_EQ(*registry.readString(kConnectionKey + "\\ProxyUser", "Text"), "\"\"");

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
    ProgramStores::Connection connection;
    ProgramStores::storeConnection(connection);

    XdgRegistry registry(configRoot());
    EXPECT_FALSE(registry.keyExists(kConnectionKey + "\\Stale"));
    EXPECT_EQ(registry.listValueNames(kConnectionKey + "\\RBDefault"), QStringList { "Checked" });
}

TEST_F(RegistryStoreTest, LastStoredSettingsWinAfterARestart)
{
    ProgramStores::Connection first;
    ProgramStores::Connection second;
    ProgramStores::restoreConnection(first); // nothing stored yet: design defaults stay
    EXPECT_TRUE(first.direct);
    EXPECT_FALSE(first.proxyGroup);

    chooseProxy(first, "first.local", "one");
    chooseProxy(second, "second.local", "two");
    ProgramStores::storeConnection(second);
    ProgramStores::storeConnection(first); // the frame destroyed last

    ProgramStores::Connection next;
    ProgramStores::restoreConnection(next);
    EXPECT_TRUE(next.proxy);
    EXPECT_FALSE(next.direct);
    EXPECT_TRUE(next.proxyGroup);
    EXPECT_FALSE(next.userGroup);
    EXPECT_EQ(next.server, "first.local");
    EXPECT_EQ(next.port, "3128");
    EXPECT_EQ(next.password, "one");
}

TEST_F(RegistryStoreTest, MissingKeyRestoresNothing)
{
    ProgramStores::Connection connection;
    connection.server = "design";
    ProgramStores::restoreConnection(connection);
    EXPECT_EQ(connection.server, "design");
    EXPECT_FALSE(QFileInfo::exists(hiveFile()));
}

TEST_F(RegistryStoreTest, UnwritableKeyFailsWithTheStorageName)
{
    QDir().mkpath(configRoot());
    writeBytes(configRoot() + "/Tellvik", "a file where the folder should be");
    ProgramStores::Connection connection;
    try {
        ProgramStores::storeConnection(connection);
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
    ProgramStores::Connection connection;
    try {
        ProgramStores::storeConnection(connection);
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
    EXPECT_EQ(*registry.readString("Tellvik\\Kestrova Sertrix\\FileStore\\OpenDialog", "InitialDir"),
        QString::fromUtf8("\"/home/user/Проекты\""));
    EXPECT_EQ(*registry.readString("Tellvik\\Kestrova Sertrix\\VerStore\\lblVer", "Caption"),
        "\"Tue, 05 Mar 2024 10:00:00 GMT\"");
    EXPECT_TRUE(QFileInfo::exists(configRoot() + "/Tellvik/Kestrova Sertrix/VerStore.reg"));

    openDialog->SetInitialDir("elsewhere");
    lblUpDate->setText("");
    fileStore.RestoreProperties();
    verStore.RestoreProperties();
    EXPECT_EQ(openDialog->InitialDir(), QString::fromUtf8("/home/user/Проекты"));
    EXPECT_EQ(lblUpDate->text(), "05.03.2024");
}

TEST(XdgRegistry, TextsSurviveTheFileAndOtherKindsReadAsAbsent)
{
    QTemporaryDir dir;
    const QString key = "A\\B\\C\\D";
    {
        XdgRegistry registry(dir.path());
        ASSERT_TRUE(registry.createKey(key));
        registry.writeString(key, "text", "line one\r\nline two \"q\" \\");
        registry.writeString(key, "", "%HOME%\\x");
        registry.writeString(key, "nuls", QString::fromLatin1("a\0\x10\0\0", 5));
        ASSERT_TRUE(registry.flush());
    }
    {
        QFile file(dir.filePath("A/B/C.reg"));
        ASSERT_TRUE(file.open(QIODevice::Append));
        file.write("[HKEY_CURRENT_USER\\A\\B\\C\\D]\n\"number\"=dword:0000002a\n\"bytes\"=hex:00,01\n"
                   "\"expand\"=hex(2):41,00,00,00\n");
    }
    XdgRegistry registry(dir.path());
    EXPECT_EQ(registry.listValueNames(key), QStringList({ "text", "", "nuls" }));
    EXPECT_EQ(*registry.readString(key, "nuls"), QString::fromLatin1("a\0\x10\0\0", 5));
    EXPECT_EQ(*registry.readString(key, "TEXT"), "line one\r\nline two \"q\" \\");
    EXPECT_EQ(*registry.readString(key, ""), "%HOME%\\x");
    EXPECT_FALSE(registry.readString(key, "number"));
    EXPECT_FALSE(registry.readString(key, "absent"));
    EXPECT_TRUE(registry.keyExists("a\\b\\c\\d"));
    EXPECT_TRUE(registry.deleteKeyTree("A\\B"));
    EXPECT_FALSE(registry.keyExists(key));
}
