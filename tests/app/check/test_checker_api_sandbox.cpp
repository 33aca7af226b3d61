// The checker reading Yandex.ru, Google.com and the Wordstat count through the API services the
// sandbox plays, with the definitions file the sandbox writes for its ports and the keys in the
// environment; Rambler.ru read by its pages beside them.
#include "support/CheckerProgram.h"
#include "support/ProjectFiles.h"
#include "support/SandboxEngines.h"

#include <QDeadlineTimer>
#include <QDirIterator>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>

namespace {

const QString kYandexKeyVariable = QStringLiteral("KESTROVA_YANDEX_API_KEY");
const QString kFolderVariable = QStringLiteral("KESTROVA_YANDEX_FOLDER_ID");
const QString kSerpKeyVariable = QStringLiteral("KESTROVA_SERP_API_KEY");
const QString kFirst = QStringLiteral("пластиковые окна");
const QString kSecond = QStringLiteral("двери");

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QJsonObject cell(const QJsonObject& json, const QString& engine, int n)
{
    for (const QJsonValue& value : json[QStringLiteral("cells")].toArray()) {
        const QJsonObject object = value.toObject();
        if (object[QStringLiteral("engine")].toString() == engine && object[QStringLiteral("n")].toInt() == n)
            return object;
    }
    return {};
}

} // namespace

class CheckerApiSandbox : public ::testing::Test {
protected:
    struct Result {
        int exitCode = -1;
        QByteArray out;
        QByteArray err;
        QByteArray commandLine; // /proc/PID/cmdline, read while the check ran
        QJsonObject json;
    };

    void SetUp() override
    {
        ASSERT_TRUE(m_sandbox.started());
        ASSERT_TRUE(m_sandbox.command("cy 120\npr 4\ncount 1520"));
        TestProject project;
        project.checked = { "YandexRu", "GoogleCom", "RamblerRu" };
        project.keywords[0] = kFirst;
        project.keywords[1] = kSecond;
        ASSERT_TRUE(writeProjectFile(m_dir.filePath(QStringLiteral("site.zlt")), project));
    }

    // The sandbox's keys in the environment; a temporary home and no reachable keyring.
    QProcessEnvironment environment() const
    {
        QProcessEnvironment environment
            = checkerEnvironment(m_sandbox.endpointsFile(), m_dir.filePath(QStringLiteral("config")));
        environment.remove(QStringLiteral("KESTROVA_HISTORY"));
        environment.insert(QStringLiteral("HOME"), m_dir.filePath(QStringLiteral("home")));
        environment.insert(QStringLiteral("XDG_DATA_HOME"), m_dir.filePath(QStringLiteral("data")));
        environment.insert(QStringLiteral("XDG_CACHE_HOME"), m_dir.filePath(QStringLiteral("cache")));
        environment.insert(
            QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("unix:path=/nonexistent"));
        environment.insert(kYandexKeyVariable, QStringLiteral("sandbox-yandex-key"));
        environment.insert(kFolderVariable, QStringLiteral("sandbox-folder"));
        environment.insert(kSerpKeyVariable, QStringLiteral("sandbox-serp-key"));
        return environment;
    }

    // With untilService, the command line is read once that service got a request, while the check
    // still waits for its answers.
    Result check(const QProcessEnvironment& environment, const QStringList& more = {},
        const QString& untilService = {})
    {
        m_environment = environment;
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(checkerProgram(),
            QStringList { QStringLiteral("--json"), QStringLiteral("--engines"), m_definitions } + more
                + QStringList { m_dir.filePath(QStringLiteral("site.zlt")) });
        EXPECT_TRUE(process.waitForStarted(10000));
        Result result;
        if (!untilService.isEmpty()) {
            const QDeadlineTimer deadline(60000);
            while (m_sandbox.requests(untilService).isEmpty() && !deadline.hasExpired()
                && !process.waitForFinished(20)) { }
            result.commandLine = readFile(QStringLiteral("/proc/%1/cmdline").arg(process.processId()));
        }
        EXPECT_TRUE(process.waitForFinished(180000));
        result.exitCode = process.exitCode();
        result.out = process.readAllStandardOutput();
        result.err = process.readAllStandardError();
        result.json = QJsonDocument::fromJson(result.out).object();
        return result;
    }

    // The sandbox's definitions with more keys in the Yandex.ru section.
    void extendYandexSection(const QByteArray& keys)
    {
        QByteArray ini = readFile(m_definitions);
        ASSERT_TRUE(ini.contains("[YandexRu]\n"));
        ini.replace("[YandexRu]\n", "[YandexRu]\n" + keys);
        QFile file(m_definitions);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(ini);
    }

    qsizetype requestsTo(const QString& service, const QByteArray& pathStart = "/") const
    {
        qsizetype count = 0;
        for (const SandboxEngines::Request& request : m_sandbox.requests(service))
            count += request.target.startsWith(pathStart);
        return count;
    }

    bool place(const QString& service, const QString& keyword, int position)
    {
        return m_sandbox.command("place " + service.toLatin1() + ' ' + QUrl::toPercentEncoding(keyword) + ' '
            + QByteArray::number(position));
    }

    // Each key only in the requests to its own service; in no file of the test's folders (the
    // project, the history, the settings), no output and not in the checker's arguments.
    void expectKeysOnlyWithTheirServices(const Result& result) const
    {
        const QByteArray serpKey = m_environment.value(kSerpKeyVariable).toUtf8();
        QList<QByteArray> yandexSecrets;
        for (const QString& name : { kYandexKeyVariable, kFolderVariable }) {
            if (m_environment.contains(name))
                yandexSecrets << m_environment.value(name).toUtf8();
        }
        QList<QByteArray> secrets = yandexSecrets;
        if (!serpKey.isEmpty())
            secrets << serpKey;
        QStringList files;
        for (QDirIterator it(m_dir.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
             it.hasNext();)
            files << it.next();
        EXPECT_TRUE(
            files.contains(m_dir.filePath(QStringLiteral("data/Tellvik/Kestrova Sertrix/history.sqlite"))))
            << files.join(u'\n').toStdString();
        for (const QByteArray& secret : secrets) {
            EXPECT_FALSE(result.out.contains(secret)) << secret.constData();
            EXPECT_FALSE(result.err.contains(secret)) << secret.constData();
            EXPECT_FALSE(result.commandLine.contains(secret)) << secret.constData();
            for (const QString& path : files)
                EXPECT_FALSE(readFile(path).contains(secret))
                    << path.toStdString() << ": " << secret.constData();
        }
        for (const SandboxEngines::Request& request : m_sandbox.requests()) {
            const QByteArray bytes = request.target + request.head + request.body;
            const bool yandexService = request.service == QLatin1String("YandexSearchApi")
                || request.service == QLatin1String("WordstatApi");
            for (const QByteArray& secret : secrets) {
                const bool own
                    = secret == serpKey ? request.service == QLatin1String("SerpApi") : yandexService;
                if (!own) {
                    EXPECT_FALSE(bytes.contains(secret))
                        << request.service.toStdString() << ": " << secret.constData();
                }
            }
        }
    }

    QTemporaryDir m_dir;
    const QString m_definitions = m_dir.filePath(QStringLiteral("api-sources.ini"));
    SandboxEngines m_sandbox { 2, { QStringLiteral("--api-definitions-out"), m_definitions } };
    QProcessEnvironment m_environment;
};

TEST_F(CheckerApiSandbox, PositionsAndCountsComeFromTheApisAndRamblerFromItsPages)
{
    // 101 and 11 are the first results of the second request, 200 the last of the deepest.
    ASSERT_TRUE(place(QStringLiteral("YandexSearchApi"), kFirst, 101));
    ASSERT_TRUE(place(QStringLiteral("YandexSearchApi"), kSecond, 200));
    ASSERT_TRUE(place(QStringLiteral("SerpApi"), kFirst, 11));
    ASSERT_TRUE(place(QStringLiteral("SerpApi"), kSecond, 200));
    ASSERT_TRUE(place(QStringLiteral("RamblerRu"), kFirst, 17));
    ASSERT_TRUE(place(QStringLiteral("RamblerRu"), kSecond, 3));
    const Result result = check(environment());
    ASSERT_EQ(result.exitCode, 0) << result.err.constData();

    struct Expected {
        const char* engine;
        int n;
        const char* rank;
        int page;
    };
    for (const Expected& row : { Expected { "YandexRu", 1, "101", 11 }, Expected { "YandexRu", 2, "200", 20 },
             Expected { "GoogleCom", 1, "11", 2 }, Expected { "GoogleCom", 2, "200", 20 },
             Expected { "RamblerRu", 1, "17", 2 }, Expected { "RamblerRu", 2, "3", 1 } }) {
        const QJsonObject found = cell(result.json, QString::fromLatin1(row.engine), row.n);
        EXPECT_EQ(found["rank"].toString(), row.rank) << row.engine << ' ' << row.n;
        EXPECT_EQ(found["page"].toInt(), row.page) << row.engine << ' ' << row.n;
        EXPECT_EQ(found["reason"].toString(), "found") << row.engine << ' ' << row.n;
    }
    for (int n : { 1, 2 }) {
        EXPECT_EQ(cell(result.json, "YandexRu", n)["count"].toString(), "1520");
        EXPECT_EQ(cell(result.json, "YandexRu", n)["count_detail"].toString(),
            QStringLiteral("Значение получено через Yandex Wordstat API"));
    }

    EXPECT_EQ(result.json["api_requests"].toObject(),
        QJsonObject({ { "yandex-search-api", 4 }, { "serp-json", 22 }, { "yandex-wordstat-api", 2 } }));
    // The history keeps what the check spent, on the check's first row of the CSV.
    QProcess csv;
    csv.setProcessEnvironment(environment());
    csv.start(checkerProgram(), { QStringLiteral("--history-csv"), m_dir.filePath(QStringLiteral("h.csv")) });
    ASSERT_TRUE(csv.waitForFinished(60000));
    const QList<QByteArray> rows = readFile(m_dir.filePath(QStringLiteral("h.csv"))).split('\n');
    ASSERT_GE(rows.size(), 3);
    EXPECT_TRUE(rows[0].endsWith(",yandex-search-api,serp-json,yandex-wordstat-api\r"))
        << rows[0].constData();
    EXPECT_TRUE(rows[1].endsWith(",4,22,2\r")) << rows[1].constData();
    EXPECT_TRUE(rows[2].endsWith(",,,\r")) << rows[2].constData();
    EXPECT_EQ(requestsTo(QStringLiteral("YandexSearchApi"), "/v2/web/search"), 4);
    EXPECT_EQ(requestsTo(QStringLiteral("SerpApi"), "/search.json?"), 22);
    EXPECT_EQ(requestsTo(QStringLiteral("WordstatApi"), "/v2/wordstat/topRequests"), 2);
    EXPECT_EQ(requestsTo(QStringLiteral("RamblerRu"), "/srch?"), 3);
    for (const QString& page :
        { QStringLiteral("YandexRu"), QStringLiteral("GoogleCom"), QStringLiteral("Wordstat") })
        EXPECT_EQ(requestsTo(page), 0) << page.toStdString();
    EXPECT_TRUE(
        result.err.startsWith(QStringLiteral("Запросов к API — не больше 46: Yandex Search API — 4, SERP "
                                             "JSON API — 40, Yandex Wordstat API — 2\n")
                                  .toUtf8()))
        << result.err.constData();
    // The keys do reach their own services, so the scan below sees them where they are.
    EXPECT_TRUE(
        m_sandbox.requests(QStringLiteral("SerpApi")).value(0).target.contains("&api_key=sandbox-serp-key"));
    for (const QString& service : { QStringLiteral("YandexSearchApi"), QStringLiteral("WordstatApi") }) {
        const SandboxEngines::Request request = m_sandbox.requests(service).value(0);
        EXPECT_TRUE(request.head.contains("\r\nAuthorization: Api-Key sandbox-yandex-key\r\n"));
        EXPECT_TRUE(request.body.contains("\"sandbox-folder\""));
    }
    expectKeysOnlyWithTheirServices(result);
}

struct RefusalRow {
    const char* name;
    const char* command; // to the sandbox before the check
    QString variable; // a key variable changed, or removed when value is null
    const char* value;
    const char* engine;
    const char* service;
    int requests; // what the service received in the whole check
    const char* detail;
};

void PrintTo(const RefusalRow& row, std::ostream* os)
{
    *os << row.name;
}

class RefusedSource : public CheckerApiSandbox, public ::testing::WithParamInterface<RefusalRow> { };

TEST_P(RefusedSource, RefusesTheEnginesCellsAndAsksNoMore)
{
    const RefusalRow& row = GetParam();
    if (*row.command) {
        ASSERT_TRUE(m_sandbox.command(row.command));
    }
    QProcessEnvironment changed = environment();
    if (!row.variable.isEmpty()) {
        if (row.value)
            changed.insert(row.variable, QString::fromLatin1(row.value));
        else
            changed.remove(row.variable);
    }
    const Result result = check(changed);
    ASSERT_FALSE(result.json.isEmpty()) << result.err.constData();
    for (int n : { 1, 2 })
        EXPECT_EQ(cell(result.json, row.engine, n)["reason"].toString(), "refused") << n;
    EXPECT_EQ(cell(result.json, row.engine, 1)["detail"].toString(), QString::fromUtf8(row.detail));
    EXPECT_EQ(requestsTo(QString::fromLatin1(row.service)), row.requests);
    EXPECT_EQ(cell(result.json, "RamblerRu", 1)["reason"].toString(), "found");
    expectKeysOnlyWithTheirServices(result);
}

INSTANTIATE_TEST_SUITE_P(Keys, RefusedSource,
    ::testing::Values(
        RefusalRow { "wrongYandexKey", "", kYandexKeyVariable, "AQVNwrongkey0001", "YandexRu",
            "YandexSearchApi", 1,
            "Yandex Search API: ключ API не принят (HTTP 401): проверьте ключ в «Источники результатов...»" },
        RefusalRow { "wrongFolder", "", kFolderVariable, "b1gwrongfolder", "YandexRu", "YandexSearchApi", 1,
            "Yandex Search API: ключ API не принят (HTTP 403): проверьте ключ в «Источники результатов...»" },
        RefusalRow { "wrongSerpKey", "", kSerpKeyVariable, "wrongserpkey0001", "GoogleCom", "SerpApi", 1,
            "SERP JSON API: ключ API не принят (HTTP 401): проверьте ключ в «Источники результатов...»" },
        RefusalRow { "noSerpKey", "", kSerpKeyVariable, nullptr, "GoogleCom", "SerpApi", 0,
            "SERP JSON API: ключ API не задан: «Источники результатов...»" },
        RefusalRow { "dailyLimit", "apilimit YandexSearchApi", {}, nullptr, "YandexRu", "YandexSearchApi", 1,
            "Yandex Search API: исчерпан суточный лимит запросов (ошибка 32)" }),
    [](const auto& info) { return std::string(info.param.name); });

struct DeferredRow {
    const char* name;
    QByteArray keys; // more keys of the Yandex.ru section
    int slowPolls; // polls an operation answers "not done"
    const char* reason;
    const char* detail;
    // Operation requests of the whole check; a bound that passes leaves one or two a keyword,
    // depending on how long each poll took.
    int minPolls;
    int maxPolls;
};

void PrintTo(const DeferredRow& row, std::ostream* os)
{
    *os << row.name;
}

class DeferredSearch : public CheckerApiSandbox, public ::testing::WithParamInterface<DeferredRow> { };

TEST_P(DeferredSearch, PollsTheOperationsOfAScheduledCheck)
{
    const DeferredRow& row = GetParam();
    extendYandexSection("Mode=deferred\n" + row.keys);
    ASSERT_TRUE(place(QStringLiteral("YandexSearchApi"), kFirst, 7));
    ASSERT_TRUE(place(QStringLiteral("YandexSearchApi"), kSecond, 3));
    ASSERT_TRUE(m_sandbox.command("slowop " + QByteArray::number(row.slowPolls)));
    const Result result
        = check(environment(), { QStringLiteral("--scheduled") }, QStringLiteral("YandexSearchApi"));
    ASSERT_FALSE(result.json.isEmpty()) << result.err.constData();

    const QJsonObject first = cell(result.json, "YandexRu", 1);
    EXPECT_EQ(first["reason"].toString(), row.reason);
    EXPECT_EQ(first["detail"].toString(), QString::fromUtf8(row.detail));
    EXPECT_EQ(requestsTo(QStringLiteral("YandexSearchApi"), "/v2/web/searchAsync"), 2);
    const qsizetype polls = requestsTo(QStringLiteral("YandexSearchApi"), "/operations/");
    EXPECT_GE(polls, row.minPolls);
    EXPECT_LE(polls, row.maxPolls);
    EXPECT_EQ(requestsTo(QStringLiteral("YandexSearchApi")), 2 + polls) << "an immediate search was sent";
    EXPECT_EQ(result.json["api_requests"].toObject()["yandex-search-api"].toInt(), 2);

    EXPECT_TRUE(result.commandLine.contains(QByteArray("--scheduled\0", 12)))
        << result.commandLine.constData();
    expectKeysOnlyWithTheirServices(result);
}

INSTANTIATE_TEST_SUITE_P(Operations, DeferredSearch,
    ::testing::Values(DeferredRow { "polled", "", 2, "found", "Найден на странице 1", 6, 6 },
        DeferredRow { "boundPassed", "PollLimitSeconds=2\n", 1000, "failed",
            "Yandex Search API: отложенный поиск не завершился за 2 с; "
            "повторите проверку позже или увеличьте PollLimitSeconds",
            2, 4 }),
    [](const auto& info) { return std::string(info.param.name); });
