#include "StoreFixtures.h"

#include "store/DialogFolder.h"
#include "store/ProgramStores.h"
#include "store/PropertiesStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QSettings>
#include <sys/stat.h>

namespace {

class RegistryStoreTest : public StoreTest {
protected:
    QString settingsFile() const { return configRoot() + "/Tellvik/Kestrova Sertrix.conf"; }
    QString oldFile(const QString& store) const
    {
        return configRoot() + "/Tellvik/Kestrova Sertrix/" + store + ".reg";
    }
    QVariant stored(const QString& key) const
    {
        return QSettings(settingsFile(), QSettings::IniFormat).value(key);
    }
    mode_t settingsMode() const
    {
        struct stat info { };
        EXPECT_EQ(stat(QFile::encodeName(settingsFile()).constData(), &info), 0);
        return info.st_mode & 0777;
    }

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

    std::string storeError(const ProgramStores::Connection& connection = {})
    {
        try {
            ProgramStores::storeConnection(connection);
        } catch (const EPropertiesStore& e) {
            return e.what();
        }
        return "no failure";
    }
};

} // namespace

TEST_F(RegistryStoreTest, ConnectionSettingsKeepTheirKeysAndQuotedValues)
{
    ProgramStores::Connection connection;
    chooseProxy(connection, "proxy.local", "p\"w\\d, x");
    ProgramStores::storeConnection(connection);

    QSettings settings(settingsFile(), QSettings::IniFormat);
    settings.beginGroup("PropertiesStore");
    EXPECT_EQ(settings.childGroups(),
        QStringList({ "GBProxy", "GBUser", "ProxyPass", "ProxyPort", "ProxyServer", "ProxyUser", "RBDefault",
            "RBProxy" }));
    EXPECT_EQ(settings.value("RBProxy/Checked"), "\"True\"");
    EXPECT_EQ(settings.value("RBProxy/[ClassName]/ClassName"), "TcxPropertiesStoreComponent");
    EXPECT_EQ(settings.value("GBUser/Enabled"), "\"False\"");
    EXPECT_EQ(settings.value("ProxyPass/Text"), "\"p\"w\\d, x\"");
    EXPECT_EQ(settings.value("ProxyUser/Text"), "\"\"");
    const QByteArray file = readBytes(settingsFile());
    EXPECT_TRUE(file.contains("\n[PropertiesStore]\n")) << file.constData();
    EXPECT_TRUE(file.contains("\nProxyPass\\Text=\"\\\"p\\\"w\\\\d, x\\\"\"\n")) << file.constData();
    EXPECT_TRUE(file.contains("\nRBProxy\\%5BClassName%5D\\ClassName=TcxPropertiesStoreComponent\n"));
}

// The file holds the proxy password, also when another part of the program made it first.
TEST_F(RegistryStoreTest, SettingsFileIsReadableByItsOwnerOnly)
{
    for (const bool madeBefore : { false, true }) {
        QFile::remove(settingsFile());
        if (madeBefore) {
            QSettings(settingsFile(), QSettings::IniFormat).setValue("Sources/Order", "b,a");
            ASSERT_EQ(::chmod(QFile::encodeName(settingsFile()).constData(), 0644), 0);
        }
        ProgramStores::Connection connection;
        chooseProxy(connection, "proxy.local", "secret");
        ProgramStores::storeConnection(connection);
        EXPECT_EQ(settingsMode(), 0600u) << madeBefore;
        EXPECT_EQ(stored("PropertiesStore/ProxyPass/Text"), "\"secret\"");
    }
    EXPECT_EQ(stored("Sources/Order"), "b,a") << "another part's settings stay";
}

TEST_F(RegistryStoreTest, StoreRemovesTheStoresKeyFirstAndNothingElse)
{
    {
        QSettings settings(settingsFile(), QSettings::IniFormat);
        settings.setValue("PropertiesStore/Stale/Deeper/Text", "\"x\"");
        settings.setValue("PropertiesStore/RBDefault/Old", "\"x\"");
        settings.setValue("FileStore/OpenDialog/InitialDir", "\"/home\"");
    }
    ProgramStores::storeConnection({});

    QSettings settings(settingsFile(), QSettings::IniFormat);
    EXPECT_FALSE(settings.contains("PropertiesStore/Stale/Deeper/Text"));
    settings.beginGroup("PropertiesStore/RBDefault");
    EXPECT_EQ(settings.childKeys(), QStringList { "Checked" });
    settings.endGroup();
    EXPECT_EQ(settings.value("FileStore/OpenDialog/InitialDir"), "\"/home\"");
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

TEST_F(RegistryStoreTest, MissingKeyRestoresNothingAndWritesNothing)
{
    ProgramStores::Connection connection;
    connection.server = "design";
    ProgramStores::restoreConnection(connection);
    EXPECT_EQ(connection.server, "design");
    EXPECT_FALSE(QFileInfo::exists(settingsFile()));
}

TEST_F(RegistryStoreTest, FailedStoreNamesTheKeyAndTheReason)
{
    QDir().mkpath(configRoot());
    writeBytes(configRoot() + "/Tellvik", "a file where the folder should be");
    EXPECT_EQ(storeError(),
        ("Can't create the registry key: \\Tellvik\\Kestrova Sertrix\\PropertiesStore. Cannot create the "
         "folder \""
            + configRoot() + "/Tellvik\": \"" + configRoot() + "/Tellvik\" is not a folder.")
            .toStdString());

    QFile::remove(configRoot() + "/Tellvik");
    QDir().mkpath(settingsFile());
    EXPECT_EQ(storeError(),
        ("Can't create the registry key: \\Tellvik\\Kestrova Sertrix\\PropertiesStore. Cannot create file \""
            + settingsFile() + "\". Это не обычный файл.")
            .toStdString());
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

    EXPECT_EQ(stored("FileStore/OpenDialog/InitialDir"), QString::fromUtf8("\"/home/user/Проекты\""));
    EXPECT_EQ(stored("VerStore/lblVer/Caption"), "\"Tue, 05 Mar 2024 10:00:00 GMT\"");

    openDialog->SetInitialDir("elsewhere");
    lblUpDate->setText("");
    fileStore.RestoreProperties();
    verStore.RestoreProperties();
    EXPECT_EQ(openDialog->InitialDir(), QString::fromUtf8("/home/user/Проекты"));
    EXPECT_EQ(lblUpDate->text(), "05.03.2024");
}

TEST_F(RegistryStoreTest, EarlierVersionsFilesAreCarriedOverOnce)
{
    QDir().mkpath(configRoot() + "/Tellvik/Kestrova Sertrix");
    const QString source = qEnvironmentVariable("KS_SOURCE_DIR");
    const QString root
        = source.isEmpty() ? QFileInfo(QStringLiteral(__FILE__)).absolutePath() + "/../.." : source;
    ASSERT_TRUE(QFile::copy(root + "/tests/data/settings_proxy.reg", oldFile("PropertiesStore")));
    writeBytes(oldFile("FileStore"),
        "Windows Registry Editor Version 5.00\n\n"
        "[HKEY_CURRENT_USER\\Tellvik\\Kestrova Sertrix\\FileStore\\OpenDialog]\n"
        "\"InitialDir\"=\"\\\"/home/анна\\\"\"\n");
    for (const QString& store : { "PropertiesStore", "FileStore" })
        QFile::setPermissions(oldFile(store), QFile::ReadOwner | QFile::WriteOwner);
    const QByteArray oldBytes = readBytes(oldFile("PropertiesStore"));

    ProgramStores::Connection connection;
    ProgramStores::restoreConnection(connection);
    EXPECT_FALSE(connection.direct);
    EXPECT_TRUE(connection.proxy);
    EXPECT_TRUE(connection.proxyGroup);
    EXPECT_EQ(connection.server, "proxy.local");
    EXPECT_EQ(connection.port, "3128");
    EXPECT_EQ(connection.password, "s\n");
    EXPECT_EQ(stored("FileStore/OpenDialog/InitialDir"), QString::fromUtf8("\"/home/анна\""));
    EXPECT_EQ(stored("PropertiesStore/ProxyPass/Number"), QVariant()) << "not a text value";
    EXPECT_EQ(settingsMode(), 0600u);
    EXPECT_EQ(readBytes(oldFile("PropertiesStore")), oldBytes) << "left in place";

    // Never read again.
    writeBytes(oldFile("PropertiesStore"), QByteArray(oldBytes).replace("proxy.local", "changed.local"));
    ProgramStores::Connection again;
    ProgramStores::restoreConnection(again);
    EXPECT_EQ(again.server, "proxy.local");
}

TEST_F(RegistryStoreTest, EarlierVersionsFileIsNotReadOverSettingsOfTheProgram)
{
    ProgramStores::storeConnection({});
    QDir().mkpath(configRoot() + "/Tellvik/Kestrova Sertrix");
    writeBytes(oldFile("PropertiesStore"),
        "[HKEY_CURRENT_USER\\Tellvik\\Kestrova Sertrix\\PropertiesStore\\ProxyServer]\n"
        "\"Text\"=\"\\\"old.local\\\"\"\n");
    QFile::setPermissions(oldFile("PropertiesStore"), QFile::ReadOwner | QFile::WriteOwner);
    ProgramStores::Connection connection;
    ProgramStores::restoreConnection(connection);
    EXPECT_EQ(connection.server, "");
}
