#include "support/CheckerProgram.h"
#include "support/ProjectFiles.h"
#include "support/SandboxEngines.h"
#include "support/TestCertificates.h"
#include "support/TinyProxy.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// A whole check by kestrova-check against the sandbox serving every engine over TLS.
class CheckerOverHttps : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_sandbox.started());
        m_definitions = m_dir.filePath(QStringLiteral("https.ini"));
        QFile file(m_definitions);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        // Every engine and service asked over https.
        file.write("[definitions]\nVersion=2026.12.8.1\n");
        for (const char* section : { "GoogleCom", "GoogleRu", "YandexRu", "RamblerRu", "AportRu", "MSNCom",
                 "Wordstat", "YandexCY", "PageRank" })
            file.write("[" + QByteArray(section) + "]\nScheme=https\n");
        file.close();
        m_project = m_dir.filePath(QStringLiteral("site.zlt"));
        TestProject project;
        project.checked = { "GoogleCom", "YandexRu", "RamblerRu" };
        project.keywords[0] = QStringLiteral("kw1");
        project.keywords[1] = QStringLiteral("kw2");
        project.keywords[2] = QStringLiteral("kw3");
        ASSERT_TRUE(writeProjectFile(m_project, project));
        ASSERT_TRUE(
            m_sandbox.command("place GoogleCom kw1 13\nplace RamblerRu * 4\nplace YandexRu * 7\ncount 1520\n"
                              "cy 120\npr 4"));
    }

    QJsonObject check(const QStringList& proxyArguments, const QString& password = {})
    {
        QProcess process;
        QProcessEnvironment environment
            = checkerEnvironment(m_sandbox.endpointsFile(), m_dir.filePath(QStringLiteral("config")));
        if (!password.isEmpty())
            environment.insert(QStringLiteral("KESTROVA_PROXY_PASSWORD"), password);
        process.setProcessEnvironment(environment);
        process.start(checkerProgram(),
            QStringList { "--json", "--no-history", "--engines", m_definitions } + proxyArguments
                + QStringList { m_project });
        EXPECT_TRUE(process.waitForFinished(120000));
        m_err = process.readAllStandardError();
        m_exitCode = process.exitCode();
        return QJsonDocument::fromJson(process.readAllStandardOutput()).object();
    }

    static QJsonObject cell(const QJsonObject& json, const QString& engine, int n)
    {
        for (const QJsonValue& value : json["cells"].toArray()) {
            const QJsonObject object = value.toObject();
            if (object["engine"].toString() == engine && object["n"].toInt() == n)
                return object;
        }
        return {};
    }

    QList<quint16> servicePorts() const
    {
        QList<quint16> ports;
        for (const char* service :
            { "GoogleCom", "YandexRu", "RamblerRu", "Wordstat", "YandexCY", "PageRank" })
            ports << m_sandbox.host(QLatin1String(service)).section(u':', 1).toUShort();
        return ports;
    }

    TestCertificates m_certificates;
    SandboxEngines m_sandbox { 2, m_certificates.loopback().certificate, m_certificates.loopback().key,
        m_certificates.trustedFile() };
    QTemporaryDir m_dir;
    QString m_definitions;
    QString m_project;
    QByteArray m_err;
    int m_exitCode = -1;
};

TEST_F(CheckerOverHttps, DirectlyEveryFigureIsRead)
{
    const QJsonObject json = check({});
    EXPECT_EQ(m_exitCode, 0) << m_err.constData();
    EXPECT_EQ(cell(json, "GoogleCom", 1)["rank"].toString(), QStringLiteral("13"));
    EXPECT_EQ(cell(json, "YandexRu", 2)["rank"].toString(), QStringLiteral("7"));
    EXPECT_EQ(cell(json, "YandexRu", 2)["count"].toString(), QStringLiteral("1520"));
    EXPECT_EQ(cell(json, "RamblerRu", 3)["rank"].toString(), QStringLiteral("4"));
    EXPECT_EQ(json["cy"].toString(), QStringLiteral("120"));
    EXPECT_EQ(json["pr"].toString(), QStringLiteral("4"));
    EXPECT_FALSE(m_sandbox.requests(QStringLiteral("YandexCY")).isEmpty());
}

TEST_F(CheckerOverHttps, ThroughTheProxyWithACaptchaOnOneEngine)
{
    TinyProxy proxy(QStringLiteral("kestrova"), QStringLiteral("s3cret"), servicePorts());
    ASSERT_TRUE(m_sandbox.command("captcha YandexRu"));
    const QStringList viaProxy { "--proxy", "127.0.0.1:" + QString::number(proxy.port()), "--proxy-user",
        "kestrova", "--region", "213" };

    const QJsonObject json = check(viaProxy, QStringLiteral("s3cret"));
    EXPECT_EQ(m_exitCode, 0) << m_err.constData();
    EXPECT_EQ(json["region"].toObject()["yandex"].toInt(), 213);

    EXPECT_EQ(cell(json, "GoogleCom", 1)["rank"].toString(), QStringLiteral("13"));
    EXPECT_EQ(cell(json, "RamblerRu", 2)["rank"].toString(), QStringLiteral("4"));
    for (int n = 1; n <= 3; ++n) {
        const QJsonObject yandex = cell(json, "YandexRu", n);
        EXPECT_EQ(yandex["reason"].toString(), QStringLiteral("blocked")) << n;
        EXPECT_EQ(yandex["rank"].toString(), QStringLiteral("n/a")) << n;
        EXPECT_EQ(yandex["count"].toString(), QStringLiteral("1520")) << n;
    }
    EXPECT_EQ(cell(json, "YandexRu", 1)["detail"].toString(),
        QStringLiteral(
            "Яндекс показал капчу: проверка программой заблокирована; повторите позже, смените прокси или "
            "используйте API-источник"));
    EXPECT_EQ(cell(json, "YandexRu", 3)["detail"].toString(),
        QStringLiteral("проверка пропущена: поисковик блокирует запросы"));
    EXPECT_EQ(m_sandbox.requests(QStringLiteral("YandexRu")).size(), 2);
    EXPECT_EQ(json["cy"].toString(), QStringLiteral("120"));
    const QByteArray log = proxy.log();
    EXPECT_TRUE(log.contains(
        "CONNECT 127.0.0.1:" + m_sandbox.host(QStringLiteral("GoogleCom")).section(u':', 1).toLatin1()))
        << log.constData();
    EXPECT_FALSE(log.contains("GET http")) << log.constData();
    for (const auto& request : m_sandbox.requests())
        EXPECT_FALSE(request.head.contains("Proxy-Authorization")) << request.head.constData();

    m_sandbox.clearRequests();
    const QJsonObject refused = check(viaProxy, QStringLiteral("wrong"));
    EXPECT_EQ(m_exitCode, 3) << m_err.constData(); // not one request answered
    EXPECT_EQ(cell(refused, "GoogleCom", 1)["reason"].toString(), QStringLiteral("failed"));
    EXPECT_TRUE(m_sandbox.requests().isEmpty());
}

} // namespace
