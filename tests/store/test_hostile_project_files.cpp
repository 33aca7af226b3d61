#include "StoreFixtures.h"

#include "store/IniDocument.h"
#include "store/ProgramStores.h"
#include "store/StoreError.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <sys/stat.h>

namespace {

class HostileProjectFile : public StoreTest {
protected:
    // The message of the store's failure, or "no failure".
    std::string loadError(const QString& file)
    {
        try {
            ProgramStores::loadProject(project, file);
        } catch (const EPropertiesStore& e) {
            return e.what();
        }
        return "no failure";
    }

    Project project = designProject();
};

struct BreakCase {
    const char* component;
    const char* text;
};

class ValueWithLineBreak : public HostileProjectFile, public ::testing::WithParamInterface<BreakCase> { };

} // namespace

TEST_P(ValueWithLineBreak, IsRefusedByNameAndTheOldFileStays)
{
    ProgramStores::saveProject(project, path("p.zlt"));
    const QByteArray before = readBytes(path("p.zlt"));

    const QString component = QLatin1String(GetParam().component);
    (component == u"edWEB" ? project.site : project.keyword(component.back().digitValue()))
        = QString::fromUtf8(GetParam().text);
    try {
        ProgramStores::saveProject(project, path("p.zlt"));
        FAIL() << "saved";
    } catch (const EPropertiesStore& e) {
        const QString message = e.message();
        EXPECT_TRUE(message.contains(component + ".Text")) << e.what();
        EXPECT_TRUE(message.contains(path("p.zlt"))) << e.what();
        EXPECT_TRUE(message.contains(QStringLiteral("в значении не может быть перевода строки"))) << e.what();
        EXPECT_TRUE(message.contains("\\n") || message.contains("\\r")) << "the break is shown: " << e.what();
    }
    EXPECT_EQ(readBytes(path("p.zlt")), before);
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files), QStringList { "p.zlt" });
}

INSTANTIATE_TEST_SUITE_P(Values, ValueWithLineBreak,
    ::testing::Values(BreakCase { "edKeyWord1", "line1\nline2" }, BreakCase { "edKeyWord7", "a\r" },
        BreakCase { "edWEB", "http://site.ru\r\n[edWEB: TcxPropertiesStoreComponent]\r\nText=\"x\"" }));

TEST_F(HostileProjectFile, FileOverTheLimitIsRefusedByName)
{
    QByteArray big = "[edWEB: TcxPropertiesStoreComponent]\r\nText=\"http://big.ru\"\r\n";
    big += QByteArray(IniDocument::kMaxFileBytes - big.size() + 1, ';');
    writeBytes(path("big.zlt"), big);
    const std::string error = loadError(path("big.zlt"));
    EXPECT_EQ(error.rfind("Cannot open file \"" + path("big.zlt").toStdString() + "\". ", 0), 0u) << error;
    EXPECT_NE(error.find("Файл больше "), std::string::npos) << error;
    EXPECT_EQ(project.site, "http://");
}

TEST_F(HostileProjectFile, FileAtTheLimitOpens)
{
    QByteArray exact = "[edWEB: TcxPropertiesStoreComponent]\r\nText=\"http://fits.ru\"\r\n";
    exact += QByteArray(IniDocument::kMaxFileBytes - exact.size(), '\n');
    writeBytes(path("exact.zlt"), exact);
    EXPECT_EQ(loadError(path("exact.zlt")), "no failure");
    EXPECT_EQ(project.site, "http://fits.ru");
}

TEST_F(HostileProjectFile, FifoIsRefusedWithoutWaitingForAWriter)
{
    ASSERT_EQ(mkfifo(QFile::encodeName(path("pipe.zlt")).constData(), 0600), 0);
    const std::string error = loadError(path("pipe.zlt"));
    EXPECT_NE(error.find("Это не обычный файл."), std::string::npos) << error;
    EXPECT_NE(error.find(path("pipe.zlt").toStdString()), std::string::npos) << error;
}

TEST_F(HostileProjectFile, EndlessDeviceIsRefused)
{
    const std::string error = loadError(QStringLiteral("/dev/zero"));
    EXPECT_EQ(error, "Cannot open file \"/dev/zero\". Это не обычный файл.");
}

TEST_F(HostileProjectFile, LineEndsOfEveryKindSeparateLines)
{
    writeBytes(path("mixed.zlt"),
        "[edKeyWord1: TcxPropertiesStoreComponent]\rText=\"cr\"\n[edKeyWord2: "
        "TcxPropertiesStoreComponent]\r\nText=\"crlf\"\n\n[edWEB: TcxPropertiesStoreComponent]\nText=\"lf\"");
    EXPECT_EQ(loadError(path("mixed.zlt")), "no failure");
    EXPECT_EQ(project.keyword(1), "cr");
    EXPECT_EQ(project.keyword(2), "crlf");
    EXPECT_EQ(project.site, "lf");
}

// Settings files of both kinds, the current one and the earlier versions' ones carried over once.
TEST_F(HostileProjectFile, SettingsFilesThatAreFifosReadAsMissing)
{
    ASSERT_TRUE(QDir().mkpath(configRoot() + "/Tellvik/Kestrova Sertrix"));
    for (const QString name :
        { "/Tellvik/Kestrova Sertrix.conf", "/Tellvik/Kestrova Sertrix/PropertiesStore.reg" }) {
        const QString fifo = configRoot() + name;
        ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        ProgramStores::Connection connection;
        connection.server = "design";
        ProgramStores::restoreConnection(connection);
        EXPECT_EQ(connection.server, "design") << name.toStdString();
        QFile::remove(fifo);
    }
}

TEST_F(HostileProjectFile, AFileOthersMayWriteToIsRefused)
{
    writeBytes(path("shared.zlt"), "[edWEB: TcxPropertiesStoreComponent]\r\nText=\"http://shared.ru\"\r\n");
    ASSERT_EQ(::chmod(QFile::encodeName(path("shared.zlt")).constData(), 0666), 0);
    EXPECT_EQ(loadError(path("shared.zlt")),
        ("Cannot open file \"" + path("shared.zlt")
            + "\". Его могут изменить другие пользователи; выполните: chmod o-w '" + path("shared.zlt") + "'")
            .toStdString());
    EXPECT_EQ(project.site, "http://");
}

TEST_F(HostileProjectFile, SettingsFileOthersMayWriteToReadsAsMissing)
{
    const QString file = configRoot() + "/Tellvik/Kestrova Sertrix.conf";
    QSettings(file, QSettings::IniFormat).setValue("PropertiesStore/ProxyServer/Text", "\"planted:8080\"");
    for (const mode_t mode : { 0600, 0666, 0620 }) {
        ASSERT_EQ(::chmod(QFile::encodeName(file).constData(), mode), 0);
        ProgramStores::Connection connection;
        ProgramStores::restoreConnection(connection);
        EXPECT_EQ(connection.server, mode == 0600 ? "planted:8080" : "") << std::oct << mode;
    }
}

TEST_F(HostileProjectFile, DamagedSettingsFileIsWrittenAnew)
{
    const QString file = configRoot() + "/Tellvik/Kestrova Sertrix.conf";
    ASSERT_TRUE(QDir().mkpath(configRoot() + "/Tellvik"));
    writeBytes(file, "[PropertiesStore\nProxyServer\\Text=\"\\\"kept\\\"\"\n[Sources\n");
    ASSERT_EQ(::chmod(QFile::encodeName(file).constData(), 0600), 0);
    ProgramStores::Connection connection;
    connection.server = "new.local";
    ProgramStores::storeConnection(connection);
    ProgramStores::Connection restored;
    ProgramStores::restoreConnection(restored);
    EXPECT_EQ(restored.server, "new.local");
}

TEST_F(HostileProjectFile, SettingsValueOfAnotherKindIsPassedOver)
{
    const QString file = configRoot() + "/Tellvik/Kestrova Sertrix.conf";
    ASSERT_TRUE(QDir().mkpath(configRoot() + "/Tellvik"));
    writeBytes(file,
        "[PropertiesStore]\nProxyServer\\Text=a, b\nProxyPort\\Text=@ByteArray(\\\"8080\\\")\n"
        "ProxyUser\\Text=\"\\\"anna\\\"\"\n");
    ProgramStores::Connection connection;
    connection.server = "design";
    connection.port = "1";
    ProgramStores::restoreConnection(connection);
    EXPECT_EQ(connection.server, "design");
    EXPECT_EQ(connection.port, "1");
    EXPECT_EQ(connection.user, "anna");
}
