#include "net/Endpoints.h"

#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class EndpointsFile : public ::testing::Test {
protected:
    QString write(const QByteArray& content)
    {
        const QString path = m_dir.filePath(QStringLiteral("endpoints.ini"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
        return path;
    }

    std::string errorOf(const QByteArray& content)
    {
        try {
            Endpoints::fromFile(write(content));
        } catch (const EEndpoints& error) {
            return error.what();
        }
        return "no error";
    }

    QTemporaryDir m_dir;
};

} // namespace

TEST_F(EndpointsFile, OverridesNamedKeysAndKeepsTheOthers)
{
    const Endpoints endpoints = Endpoints::fromFile(write("; sandbox\r\n"
                                                          "[hosts]\r\n"
                                                          "GoogleCom = 127.0.0.1:8081\r\n"
                                                          "YandexCY=localhost\r\n"
                                                          "Unknown=any text at all\r\n"
                                                          "\r\n"
                                                          "[other]\r\n"
                                                          "GoogleRu=not looked at\r\n"
                                                          "[timing]\r\n"
                                                          "RequestIntervalMs=5\r\n"));
    EXPECT_EQ(endpoints.GoogleCom, "127.0.0.1:8081");
    EXPECT_EQ(endpoints.YandexCY, "localhost");
    EXPECT_EQ(endpoints.GoogleRu, Endpoints::defaults().GoogleRu);
    EXPECT_EQ(endpoints.PartnerSite, Endpoints::defaults().PartnerSite);
    EXPECT_EQ(endpoints.requestIntervalMs, 5);
}

// The engines' hosts are left to the engine definitions unless a file sets them.
TEST_F(EndpointsFile, DefaultsAreTheRealHostsAndOneSecond)
{
    const Endpoints endpoints = Endpoints::fromFile(write(""));
    EXPECT_EQ(endpoints.GoogleCom, "");
    EXPECT_EQ(endpoints.Wordstat, "");
    EXPECT_EQ(endpoints.YandexCY, "");
    EXPECT_EQ(endpoints.Update, "www.kestrova.ru");
    EXPECT_EQ(endpoints.PartnerSite, "www.tellvik.ru");
    EXPECT_EQ(endpoints.requestIntervalMs, 1000);
}

TEST_F(EndpointsFile, MalformedFilesNameTheFileAndTheLine)
{
    const std::string path = m_dir.filePath(QStringLiteral("endpoints.ini")).toStdString();
    EXPECT_EQ(errorOf("[hosts]\nGoogleCom=www.google.com/search\n"),
        "Файл адресов " + path
            + ", строка 2: GoogleCom должен быть хостом или хост:порт с портом от 1 до 65535, а не "
              "«www.google.com/search»");
    EXPECT_NE(errorOf("[hosts]\nAportRu=my host\n").find("строка 2: AportRu"), std::string::npos);
    EXPECT_NE(errorOf("[hosts]\nAportRu=\n").find("строка 2: AportRu"), std::string::npos);
    EXPECT_NE(errorOf("[hosts]\nMSNCom=127.0.0.1:0\n").find("строка 2: MSNCom"), std::string::npos);
    EXPECT_NE(errorOf("[hosts]\nMSNCom=127.0.0.1:65536\n").find("строка 2"), std::string::npos);
    EXPECT_NE(errorOf("[hosts]\nMSNCom=127.0.0.1:http\n").find("строка 2"), std::string::npos);
    EXPECT_NE(
        errorOf("\n[timing]\nRequestIntervalMs=-5\n").find("строка 3: RequestIntervalMs"), std::string::npos);
    EXPECT_NE(errorOf("[timing]\nRequestIntervalMs=fast\n").find("строка 2"), std::string::npos);
    EXPECT_NE(errorOf("[hosts]\njust words\n").find("строка 2: ожидался [раздел] или ключ=значение"),
        std::string::npos);
    EXPECT_NE(errorOf("[hosts\n").find("строка 1: неверный заголовок раздела"), std::string::npos);
    EXPECT_NE(errorOf("GoogleCom=127.0.0.1\n").find("строка 1"), std::string::npos);
}

TEST_F(EndpointsFile, UnreadableFileIsAnError)
{
    const QString missing = m_dir.filePath(QStringLiteral("missing.ini"));
    try {
        Endpoints::fromFile(missing);
        FAIL() << "no error";
    } catch (const EEndpoints& error) {
        EXPECT_NE(
            std::string(error.what()).find("Не удалось прочитать файл адресов " + missing.toStdString()),
            std::string::npos);
    }
    EXPECT_THROW(Endpoints::fromFile(m_dir.path()), EEndpoints);
}

TEST_F(EndpointsFile, EnvironmentNamesTheFile)
{
    const QByteArray saved = qgetenv("KESTROVA_ENDPOINTS");
    qputenv("KESTROVA_ENDPOINTS", write("[hosts]\nRamblerRu=127.0.0.1:9\n").toLocal8Bit());
    EXPECT_EQ(Endpoints::fromEnvironment().RamblerRu, "127.0.0.1:9");
    qunsetenv("KESTROVA_ENDPOINTS");
    EXPECT_EQ(Endpoints::fromEnvironment().RamblerRu, "");
    if (!saved.isNull())
        qputenv("KESTROVA_ENDPOINTS", saved);
}

TEST_F(EndpointsFile, UpdateSchemeAndTheExtraCertificatesAreReadUnderTheFilesRules)
{
    EXPECT_EQ(Endpoints::fromFile(write("")).updateScheme, UrlScheme::Https);
    EXPECT_EQ(Endpoints::fromFile(write("[update]\nScheme=http\n")).updateScheme, UrlScheme::Http);
    EXPECT_NE(errorOf("[update]\nScheme=ftp\n").find("строка 2: Scheme должен быть http или https"),
        std::string::npos);

    const QString ca = m_dir.filePath(QStringLiteral("ca.pem"));
    QFile file(ca);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("-----BEGIN CERTIFICATE-----\nMIIB\n-----END CERTIFICATE-----\n");
    file.close();
    const QByteArray line = "[tls]\nCaFile=" + ca.toUtf8() + "\n";
    EXPECT_TRUE(
        Endpoints::fromFile(write(line)).extraCaCertificates.startsWith("-----BEGIN CERTIFICATE-----"));
    ASSERT_EQ(::chmod(QFile::encodeName(ca).constData(), 0666), 0);
    EXPECT_NE(errorOf(line).find("строка 2: CaFile " + ca.toStdString() + " не прочитан"), std::string::npos)
        << errorOf(line);
    EXPECT_NE(errorOf("[tls]\nCaFile=" + m_dir.filePath("endpoints.ini").toUtf8() + "\n")
                  .find("не содержит сертификата PEM"),
        std::string::npos);
}

TEST_F(EndpointsFile, UpdateKeyIsSixtyFourHexDigits)
{
    EXPECT_TRUE(Endpoints::fromFile(write("")).updatePublicKey.isEmpty());
    const QByteArray hex = "00112233445566778899aabbccddeeff00112233445566778899AABBCCDDEEFF";
    const Endpoints endpoints = Endpoints::fromFile(write("[update]\nPublicKey = " + hex + "\n"));
    EXPECT_EQ(endpoints.updatePublicKey, QByteArray::fromHex(hex));
    EXPECT_EQ(endpoints.updatePublicKey.size(), 32);

    for (const QByteArray& bad : { hex.left(63), hex + "0", hex.left(62) + "zz", QByteArray() }) {
        EXPECT_NE(errorOf("[update]\nPublicKey=" + bad + "\n")
                      .find("строка 2: PublicKey должен состоять из 64 шестнадцатеричных"),
            std::string::npos)
            << bad.constData();
    }
}

namespace {

struct RefusedEndpointsFile {
    const char* name;
    std::function<QString(const QString& folder)> make; // the path to read, or empty to skip
    const char* reason;
};

class RefusedEndpoints : public ::testing::TestWithParam<RefusedEndpointsFile> { };

QString plainFile(const QString& folder, const QByteArray& content, QFile::Permissions permissions)
{
    const QString path = folder + QStringLiteral("/endpoints.ini");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        return {};
    file.close();
    QFile::setPermissions(path, permissions);
    return path;
}

constexpr auto kOwnerOnly = QFile::ReadOwner | QFile::WriteOwner;

const RefusedEndpointsFile kRefusedEndpoints[] = {
    { "Fifo",
        [](const QString& folder) {
            const QString path = folder + QStringLiteral("/endpoints.fifo");
            return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0 ? path : QString();
        },
        "Это не обычный файл." },
    { "EndlessDevice", [](const QString&) { return QStringLiteral("/dev/zero"); }, "Это не обычный файл." },
    { "LargerThan64KiB",
        [](const QString& folder) { return plainFile(folder, QByteArray(64 * 1024 + 1, ';'), kOwnerOnly); },
        "Файл больше 65536 байт." },
    { "WritableByOthers",
        [](const QString& folder) {
            return plainFile(folder, "[hosts]\n", kOwnerOnly | QFile::ReadOther | QFile::WriteOther);
        },
        "Его могут изменить другие пользователи; выполните: chmod go-w '%1'" },
    { "WritableByGroup",
        [](const QString& folder) { return plainFile(folder, "[hosts]\n", kOwnerOnly | QFile::WriteGroup); },
        "Его могут изменить другие пользователи; выполните: chmod go-w '%1'" },
    { "OfAnotherUser",
        [](const QString& folder) {
            const QString path = plainFile(folder, "[hosts]\n", kOwnerOnly | QFile::ReadOther);
            // Only root can give a file away; 65534 is "nobody".
            if (::geteuid() != 0 || ::chown(QFile::encodeName(path).constData(), 65534, 65534) != 0)
                return QString();
            return path;
        },
        "Файл принадлежит другому пользователю." },
};

TEST_P(RefusedEndpoints, IsRefusedWithItsReasonWithoutWaiting)
{
    QTemporaryDir dir;
    const QString path = GetParam().make(dir.path());
    if (path.isEmpty())
        GTEST_SKIP() << "cannot make this file here";
    try {
        Endpoints::fromFile(path);
        FAIL() << "no error";
    } catch (const EEndpoints& error) {
        EXPECT_EQ(QString::fromUtf8(error.what()),
            "Не удалось прочитать файл адресов " + path + ": "
                + QString::fromUtf8(GetParam().reason).replace("%1", path));
    }
}

INSTANTIATE_TEST_SUITE_P(Endpoints, RefusedEndpoints, ::testing::ValuesIn(kRefusedEndpoints),
    [](const auto& info) { return std::string(info.param.name); });

TEST(EndpointsFileBound, AFileOfExactly64KiBIsRead)
{
    QTemporaryDir dir;
    QByteArray content = "[hosts]\nRamblerRu=127.0.0.1:9\n";
    content.append(QByteArray(64 * 1024 - content.size(), ';'));
    const QString path = plainFile(dir.path(), content, kOwnerOnly | QFile::ReadGroup | QFile::ReadOther);
    EXPECT_EQ(Endpoints::fromFile(path).RamblerRu, "127.0.0.1:9");
}

} // namespace

TEST_F(EndpointsFile, TimingLimitsAreWholeNumbersAboveZero)
{
    const Endpoints defaults = Endpoints::fromFile(write(""));
    EXPECT_EQ(defaults.connectTimeoutMs, 30000);
    EXPECT_EQ(defaults.lowSpeedBytesPerSecond, 100);
    EXPECT_EQ(defaults.lowSpeedSeconds, 30);

    const Endpoints endpoints = Endpoints::fromFile(
        write("[timing]\nConnectTimeoutMs=250\nlowspeedbytespersecond=10\nLowSpeedSeconds=2\n"));
    EXPECT_EQ(endpoints.connectTimeoutMs, 250);
    EXPECT_EQ(endpoints.lowSpeedBytesPerSecond, 10);
    EXPECT_EQ(endpoints.lowSpeedSeconds, 2);

    const std::string path = m_dir.filePath(QStringLiteral("endpoints.ini")).toStdString();
    EXPECT_EQ(errorOf("[timing]\nLowSpeedSeconds=0\n"),
        "Файл адресов " + path + ", строка 2: LowSpeedSeconds должен быть не меньше 1");
    EXPECT_EQ(errorOf("[timing]\nConnectTimeoutMs=soon\n"),
        "Файл адресов " + path + ", строка 2: ConnectTimeoutMs должен быть целым числом, а не «soon»");
    EXPECT_EQ(Endpoints::fromFile(write("[timing]\nRequestIntervalMs=0\n")).requestIntervalMs, 0);
}
