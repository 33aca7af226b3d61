#include "support/CheckerProgram.h"
#include "support/ProjectFiles.h"
#include "support/RawHttpListener.h"
#include "support/SandboxEngines.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QByteArray kKey = "AQVNcheckerkey42";
const QByteArray kFolder = "b1gcheckerfolder";

QByteArray yandexAnswer(int sitePosition)
{
    QByteArray xml = "<yandexsearch><response><results><grouping><page first=\"1\">0</page>";
    for (int position = 1; position <= 10; ++position)
        xml += "<group><doc><url>"
            + (position == sitePosition ? QByteArray("https://www.example.ru/")
                                        : "https://o" + QByteArray::number(position) + ".test/")
            + "</url></doc></group>";
    return "{\"rawData\": \"" + (xml + "</grouping></results></response></yandexsearch>").toBase64() + "\"}";
}

} // namespace

class CheckerSources : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_sandbox.started());
        ASSERT_TRUE(m_sandbox.command("cy 120\npr 4"));
        m_projectPath = m_dir.filePath(QStringLiteral("site.zlt"));
        TestProject project;
        project.checked = { "YandexRu" };
        project.keywords[0] = QStringLiteral("окна");
        ASSERT_TRUE(writeProjectFile(m_projectPath, project));
        m_enginesPath = m_dir.filePath(QStringLiteral("api.ini"));
        QFile engines(m_enginesPath);
        ASSERT_TRUE(engines.open(QIODevice::WriteOnly));
        engines.write("[definitions]\nVersion=2026.12.8\n[YandexRu]\nApiUrl=" + m_api.url("/v2/web/search")
            + "\n[Wordstat]\nApiUrl=" + m_api.url("/v2/wordstat/topRequests") + "\n");
        m_api.setScript([](const QByteArray& request) {
            if (request.startsWith("POST /v2/wordstat/topRequests "))
                return RawHttpListener::ok("{\"totalCount\": \"1520\"}");
            return RawHttpListener::ok(yandexAnswer(5));
        });
    }

    struct Result {
        int exitCode = -1;
        QByteArray out;
        QByteArray err;
    };

    Result check(const QStringList& arguments, bool withKeys = true)
    {
        QProcessEnvironment environment
            = checkerEnvironment(m_sandbox.endpointsFile(), m_dir.filePath(QStringLiteral("config")));
        environment.insert(
            QStringLiteral("KESTROVA_HISTORY"), m_dir.filePath(QStringLiteral("history.sqlite")));
        if (withKeys) {
            environment.insert(QStringLiteral("KESTROVA_YANDEX_API_KEY"), QString::fromLatin1(kKey));
            environment.insert(QStringLiteral("KESTROVA_YANDEX_FOLDER_ID"), QString::fromLatin1(kFolder));
        }
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(checkerProgram(), arguments);
        EXPECT_TRUE(process.waitForFinished(120000));
        return { process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError() };
    }

    QTemporaryDir m_dir;
    SandboxEngines m_sandbox { 2 };
    RawHttpListener m_api;
    QString m_projectPath;
    QString m_enginesPath;
};

// The keys' way through a check, its plan and what it must never show are the end-to-end tests'
// through the sandbox; here the option itself.
TEST_F(CheckerSources, AChosenApiSourceIsReadAndCounted)
{
    const Result result = check({ "--json", "--engines", m_enginesPath, "--source",
        "YandexRu=yandex-search-api", "--source=Wordstat=yandex-wordstat-api", m_projectPath });
    ASSERT_EQ(result.exitCode, 0) << result.err.constData();
    const QJsonObject json = QJsonDocument::fromJson(result.out).object();
    const QJsonObject cell = json["cells"].toArray()[0].toObject();
    EXPECT_EQ(cell["rank"].toString(), "5");
    EXPECT_EQ(cell["count"].toString(), "1520");
    EXPECT_EQ(json["api_requests"].toObject(),
        QJsonObject({ { "yandex-search-api", 1 }, { "serp-json", 0 }, { "yandex-wordstat-api", 1 } }));
    EXPECT_TRUE(m_sandbox.requests(QStringLiteral("YandexRu")).isEmpty());
    EXPECT_TRUE(m_sandbox.requests(QStringLiteral("Wordstat")).isEmpty());
}

TEST_F(CheckerSources, WithoutAChoicePagesAreReadAndNoApiIsAsked)
{
    ASSERT_TRUE(m_sandbox.command("place YandexRu окна 7"));
    const Result result = check({ "--json", "--engines", m_enginesPath, m_projectPath });
    ASSERT_EQ(result.exitCode, 0) << result.err.constData();
    EXPECT_TRUE(m_api.requests().isEmpty());
    EXPECT_FALSE(m_sandbox.requests(QStringLiteral("YandexRu")).isEmpty());
    EXPECT_FALSE(result.err.contains("Запросов к API"));
}

struct SourceUsageRow {
    const char* name;
    QStringList arguments;
    const char* message;
};

class SourceUsage : public CheckerSources, public ::testing::WithParamInterface<SourceUsageRow> { };

TEST_P(SourceUsage, IsRefusedWithoutACheck)
{
    QStringList arguments = GetParam().arguments;
    arguments << m_projectPath;
    const Result result = check(arguments);
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_TRUE(result.err.contains(GetParam().message)) << result.err.constData();
    EXPECT_TRUE(m_api.requests().isEmpty());
    EXPECT_TRUE(m_sandbox.requests(QStringLiteral("YandexRu")).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Arguments, SourceUsage,
    ::testing::Values(SourceUsageRow { "unknownCode", { "--source", "YandexRu=xml" },
                          "--source требует ПОИСКОВИК=ИСТОЧНИК, где ИСТОЧНИК — page, yandex-search-api, "
                          "serp-json или yandex-wordstat-api" },
        SourceUsageRow {
            "unknownEngine", { "--source", "Bing=page" }, "--source: неизвестный поисковик Bing" },
        SourceUsageRow { "twice", { "--source", "YandexRu=page", "--source", "YandexRu=page" },
            "--source YandexRu указан дважды" },
        SourceUsageRow { "notOffered", { "--source", "YandexRu=serp-json" },
            "--source YandexRu=serp-json: описания поисковиков не предлагают такого источника" }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CheckerSources, CheckEnginesListsTheSourceKeys)
{
    const Result result = check({ "--check-engines", m_enginesPath });
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_TRUE(result.out.endsWith(
        "Они меняют:\n  [definitions] Version\n  [YandexRu] ApiUrl\n  [Wordstat] ApiUrl\n"))
        << result.out.constData();
}
