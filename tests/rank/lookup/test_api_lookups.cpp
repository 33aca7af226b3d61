#include "net/Endpoints.h"
#include "rank/RankTestHost.h"
#include "rank/lookup/DefinitionsFile.h"
#include "rank/lookup/EngineClients.h"
#include "rank/lookup/EngineLookups.h"
#include "rank/lookup/SearchRegion.h"
#include "support/RawHttpListener.h"

#include <atomic>
#include <gtest/gtest.h>

namespace {

const QString kYandexKey = QStringLiteral("AQVNyandexkey");
const QString kFolder = QStringLiteral("b1gfolder");
const QString kSerpKey = QStringLiteral("serpsecret77");

QByteArray yandexPage(int first, int count, int sitePosition)
{
    QByteArray xml
        = "<?xml version=\"1.0\" encoding=\"utf-8\"?><yandexsearch version=\"1.0\"><response><results>"
          "<grouping><page first=\""
        + QByteArray::number(first) + "\">0</page>";
    for (int position = first; position < first + count; ++position) {
        const QByteArray link = position == sitePosition
            ? "https://www.example.ru/okna/"
            : "https://other" + QByteArray::number(position) + ".test/";
        xml += "<group><doc><url>" + link + "</url></doc></group>";
    }
    return "{\"rawData\": \"" + (xml + "</grouping></results></response></yandexsearch>").toBase64() + "\"}";
}

QByteArray yandexError(int code)
{
    return "{\"rawData\": \""
        + ("<yandexsearch><response><error code=\"" + QByteArray::number(code)
            + "\">e</error></response></yandexsearch>")
              .toBase64()
        + "\"}";
}

QByteArray serpPage(int start, int count, int sitePosition)
{
    QByteArray json = "{\"organic_results\": [";
    for (int position = start + 1; position <= start + count; ++position) {
        const QByteArray link = position == sitePosition ? "https://example.ru/"
                                                         : "https://o.test/" + QByteArray::number(position);
        json += (position > start + 1 ? ", " : "") + QByteArray("{\"position\": ")
            + QByteArray::number(position) + ", \"link\": \"" + link + "\"}";
    }
    return json + "]}";
}

QByteArray bodyOf(const QByteArray& request)
{
    return request.mid(request.indexOf("\r\n\r\n") + 4);
}

QByteArray targetOf(const QByteArray& request)
{
    return request.split(' ').value(1);
}

// Which page a Yandex request asks for.
int pageAsked(const QByteArray& request)
{
    const QByteArray body = bodyOf(request);
    const qsizetype at = body.indexOf("\"page\": \"");
    return body.mid(at + 9, body.indexOf('"', at + 9) - at - 9).toInt();
}

RawHttpListener::Reply status(const QByteArray& line, const QByteArray& body = "{}")
{
    RawHttpListener::Reply reply = RawHttpListener::ok(body);
    reply.statusLine = line;
    return reply;
}

} // namespace

class ApiLookups : public ::testing::Test {
protected:
    void SetUp() override
    {
        Endpoints fast = Endpoints::defaults();
        fast.requestIntervalMs = 0;
        Endpoints::setCurrent(fast);
        m_host.site = QStringLiteral("http://www.example.ru/");
        m_host.keywords[0] = QStringLiteral("окна");
        m_host.keywords[1] = QStringLiteral("двери");
        for (Engine engine : kEngines)
            m_host.checked[engine] = true;
        define({});
    }

    void TearDown() override { Endpoints::setCurrent(Endpoints::defaults()); }

    // The built-in definitions with the API sources pointed at the test's server, and more lines for
    // the Yandex.ru section.
    void define(const QByteArray& yandexLines, const SearchRegion& region = {})
    {
        const QByteArray base = m_server.url("/");
        const QByteArray text = "[YandexRu]\nApiUrl=" + base + "v2/web/search\nOperationsUrl=" + base
            + "operations/\n" + yandexLines + "[GoogleCom]\nApiUrl=" + base
            + "search.json?q={keyword}&start={start}&gl={country}&api_key={key}\n[Wordstat]\nApiUrl=" + base
            + "v2/wordstat/topRequests\n";
        const ParsedDefinitions parsed = DefinitionsFile::parse(text, &EngineDefinitions::builtIn());
        ASSERT_TRUE(parsed.definitions) << DefinitionsFile::refusalText("t", parsed.problems).toStdString();
        m_clients.useDefinitions(
            definitionsForRegion(std::make_shared<const EngineDefinitions>(*parsed.definitions), region));
        useSources({ kYandexKey, kFolder, kSerpKey });
    }

    void useSources(const SourceKeys& keys, bool scheduled = false)
    {
        SourceChoice choice;
        choice.engines.at(std::size_t(Engine::YandexRu)) = QStringLiteral("yandex-search-api");
        choice.engines.at(std::size_t(Engine::GoogleCom)) = QStringLiteral("serp-json");
        choice.wordstat = QStringLiteral("yandex-wordstat-api");
        m_clients.useSources(choice, keys, scheduled);
    }

    // Requests to one path (without the query).
    QList<QByteArray> requestsTo(const QByteArray& path) const
    {
        QList<QByteArray> found;
        for (const QByteArray& request : m_server.requests()) {
            if (targetOf(request).split('?').value(0) == path)
                found << request;
        }
        return found;
    }

    // Yandex answers with the site at sitePosition, Wordstat with 1520.
    void serveYandex(int sitePosition)
    {
        m_server.setScript([sitePosition](const QByteArray& request) {
            if (targetOf(request) == "/v2/wordstat/topRequests")
                return RawHttpListener::ok("{\"results\": [], \"totalCount\": \"1520\"}");
            return RawHttpListener::ok(yandexPage(pageAsked(request) * 100 + 1, 100, sitePosition));
        });
    }

    const RankTestHost::Cell& cell(const QString& name) { return m_host.cells[name]; }

    RawHttpListener m_server;
    RankTestHost m_host;
    EngineClients m_clients;
    EngineLookups m_lookups { m_host, m_clients };
};

TEST_F(ApiLookups, YandexCountsPositionsAcrossTwoRequestsAndColoursByTheEnginesPage)
{
    serveYandex(137);
    m_lookups.CheckYandexRu(1);
    EXPECT_EQ(cell("RankYandexRu1").text, QStringLiteral("137"));
    EXPECT_EQ(cell("RankYandexRu1").resultPage, 14);
    EXPECT_EQ(cell("CountYandexRu1").text, QStringLiteral("1520"));
    const QList<QByteArray> searches = requestsTo("/v2/web/search");
    ASSERT_EQ(searches.size(), 2);
    EXPECT_EQ(searches[0],
        "POST /v2/web/search HTTP/1.1\r\nContent-Type: application/json\r\nContent-Length: 228\r\n"
        "Cache-control: no-cache\r\nPragma: no-cache\r\nHost: "
            + m_server.hostPort()
            + "\r\nAccept: application/json\r\nUser-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT "
              "5.1)\r\nAuthorization: Api-Key AQVNyandexkey\r\n\r\n"
              "{\"query\": {\"searchType\": \"SEARCH_TYPE_RU\", \"queryText\": \"окна\", \"page\": \"0\"}, "
              "\"groupSpec\": {\"groupMode\": \"GROUP_MODE_DEEP\", \"groupsOnPage\": \"100\", "
              "\"docsInGroup\": "
              "\"1\"}, \"folderId\": \"b1gfolder\", \"responseFormat\": \"FORMAT_XML\"}");
    EXPECT_EQ(pageAsked(searches[1]), 1);
    EXPECT_EQ(m_clients.apiRequests()[SourceKind::YandexSearchApi], 2);
    EXPECT_EQ(m_clients.apiRequests()[SourceKind::YandexWordstatApi], 1);
}

TEST_F(ApiLookups, SerpRequestsStepByThePageSizeWithTheKeyAndTheRegion)
{
    SearchRegion region;
    region.googleCountry = QStringLiteral("ru");
    define({}, region);
    m_server.setScript([](const QByteArray& request) {
        return RawHttpListener::ok(serpPage(targetOf(request).contains("start=10&") ? 10 : 0, 10, 0));
    });
    m_lookups.CheckGoogleCom(1);
    const QList<QByteArray> sent = requestsTo("/search.json");
    ASSERT_EQ(sent.size(), 20);
    EXPECT_EQ(targetOf(sent[0]),
        QByteArray("/search.json?q=%D0%BE%D0%BA%D0%BD%D0%B0&start=0&gl=ru&api_key=serpsecret77"));
    EXPECT_EQ(targetOf(sent[19]),
        QByteArray("/search.json?q=%D0%BE%D0%BA%D0%BD%D0%B0&start=190&gl=ru&api_key=serpsecret77"));
    EXPECT_EQ(cell("RankGoogleCom1").text, QStringLiteral("n/a"));
    EXPECT_EQ(cell("RankGoogleCom1").resultPage, 50);
    EXPECT_EQ(cell("RankGoogleCom1").why.detail,
        QStringLiteral("Не найден среди первых 200 результатов (SERP JSON API)"));
}

TEST_F(ApiLookups, TheRegionGoesIntoTheYandexAndWordstatBodies)
{
    SearchRegion region;
    region.yandex = 213;
    define({}, region);
    serveYandex(3);
    m_lookups.CheckYandexRu(1);
    EXPECT_TRUE(
        bodyOf(requestsTo("/v2/web/search").value(0)).contains(", \"region\": \"213\", \"folderId\""));
    EXPECT_TRUE(bodyOf(requestsTo("/v2/wordstat/topRequests").value(0)).contains("\"regions\": [\"213\"]"));
}

struct ErrorRow {
    const char* name;
    Engine engine;
    RawHttpListener::Reply reply;
    const char* reason;
    const char* detail;
};

class ApiErrors : public ApiLookups, public ::testing::WithParamInterface<ErrorRow> { };

TEST_P(ApiErrors, EndTheLookupWithTheirReason)
{
    const ErrorRow& row = GetParam();
    m_server.setScript([&row](const QByteArray& request) {
        if (targetOf(request) == "/v2/wordstat/topRequests")
            return RawHttpListener::ok("{\"totalCount\": 7}");
        return row.reply;
    });
    m_lookups.check(row.engine, 1);
    const RankTestHost::Cell& written = cell(RankTestHost::rankCell(row.engine, 1));
    EXPECT_EQ(reasonCode(written.why.reason), QLatin1String(row.reason));
    EXPECT_EQ(written.why.detail, QString::fromUtf8(row.detail));
    EXPECT_EQ(written.text, QStringLiteral("n/a"));
}

INSTANTIATE_TEST_SUITE_P(Answers, ApiErrors,
    ::testing::Values(
        ErrorRow { "keyRefused", Engine::YandexRu, RawHttpListener::ok(yandexError(42)), "refused",
            "Yandex Search API: ключ API не принят (ошибка 42): проверьте ключ в «Источники "
            "результатов...»" },
        ErrorRow { "nothingFound", Engine::YandexRu, RawHttpListener::ok(yandexError(15)), "not-found",
            "Не найден среди первых 200 результатов (Yandex Search API)" },
        ErrorRow { "robot", Engine::YandexRu, RawHttpListener::ok(yandexError(100)), "blocked",
            "Yandex Search API счёл запрос автоматическим (ошибка 100): проверка заблокирована; повторите "
            "позже" },
        ErrorRow { "unauthorised", Engine::GoogleCom, status("HTTP/1.1 401 Unauthorized"), "refused",
            "SERP JSON API: ключ API не принят (HTTP 401): проверьте ключ в «Источники результатов...»" },
        // A provider that repeats the key in its error text: the key never reaches the cell.
        ErrorRow { "keyInTheErrorText", Engine::GoogleCom,
            RawHttpListener::ok("{\"error\": \"Invalid API key serpsecret77.\"}"), "refused",
            "SERP JSON API: источник отказал: «Invalid API key ….»" },
        ErrorRow { "serverError", Engine::GoogleCom, status("HTTP/1.1 500 Internal Server Error"), "failed",
            "Запрос не удался 6 раз: сервер ответил кодом HTTP 500" }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ApiLookups, ARefusedKeyStopsTheEnginesOtherKeywords)
{
    m_server.setScript([](const QByteArray& request) {
        if (targetOf(request) == "/v2/wordstat/topRequests")
            return RawHttpListener::ok("{\"totalCount\": 7}");
        return RawHttpListener::ok(yandexError(42));
    });
    m_lookups.CheckYandexRu(1);
    m_lookups.CheckYandexRu(2);
    EXPECT_EQ(requestsTo("/v2/web/search").size(), 1);
    EXPECT_EQ(cell("RankYandexRu2").why.reason, Reason::Refused);
    EXPECT_EQ(cell("RankYandexRu2").why.detail, cell("RankYandexRu1").why.detail);
    EXPECT_EQ(cell("CountYandexRu2").text, QStringLiteral("7")); // the count's source did not refuse
}

struct MissingKeyRow {
    const char* name;
    SourceKeys keys;
    const char* detail;
};

class MissingKeys : public ApiLookups, public ::testing::WithParamInterface<MissingKeyRow> { };

TEST_P(MissingKeys, AreRefusedWithoutARequest)
{
    useSources(GetParam().keys);
    m_lookups.CheckYandexRu(1);
    EXPECT_TRUE(m_server.requests().isEmpty());
    EXPECT_EQ(cell("RankYandexRu1").why.reason, Reason::Refused);
    EXPECT_EQ(cell("RankYandexRu1").why.detail, QString::fromUtf8(GetParam().detail));
    EXPECT_EQ(cell("CountYandexRu1").why.reason, Reason::Refused);
    EXPECT_EQ(m_clients.lastFailure(), cell("RankYandexRu1").why.detail);
}

INSTANTIATE_TEST_SUITE_P(Keys, MissingKeys,
    ::testing::Values(MissingKeyRow { "key", { {}, kFolder, {} },
                          "Yandex Search API: ключ API не задан: «Источники результатов...»" },
        MissingKeyRow { "folder", { kYandexKey, {}, {} },
            "Yandex Search API: идентификатор каталога не задан: «Источники результатов...»" },
        MissingKeyRow { "lineBreak", { QStringLiteral("a\r\nX-Evil: 1"), kFolder, {} },
            "Yandex Search API: в ключе API недопустимые знаки: «Источники результатов...»" }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ApiLookups, TooManyRequestsIsAskedAgainAfterAPause)
{
    std::atomic<int> searches = 0;
    m_server.setScript([&searches](const QByteArray& request) {
        if (targetOf(request) == "/v2/wordstat/topRequests")
            return RawHttpListener::ok("{\"totalCount\": 7}");
        if (++searches == 1)
            return status("HTTP/1.1 429 Too Many Requests");
        if (searches == 2)
            return RawHttpListener::ok(yandexError(55));
        return RawHttpListener::ok(yandexPage(1, 100, 5));
    });
    m_lookups.CheckYandexRu(1);
    EXPECT_EQ(cell("RankYandexRu1").text, QStringLiteral("5"));
    EXPECT_EQ(searches, 3);
    // The answered ones are billed; a 429 is not.
    EXPECT_EQ(m_clients.apiRequests()[SourceKind::YandexSearchApi], 2);
}

TEST_F(ApiLookups, AScheduledCheckPollsTheDeferredSearchUntilDone)
{
    define("Mode=deferred\nPollSeconds=1\n");
    useSources({ kYandexKey, kFolder, kSerpKey }, true);
    std::atomic<int> polls = 0;
    m_server.setScript([&polls](const QByteArray& request) {
        const QByteArray target = targetOf(request);
        if (target == "/v2/wordstat/topRequests")
            return RawHttpListener::ok("{\"totalCount\": 7}");
        if (target == "/v2/web/searchAsync")
            return RawHttpListener::ok("{\"id\": \"sp1op\", \"done\": false}");
        if (++polls < 2)
            return RawHttpListener::ok("{\"id\": \"sp1op\", \"done\": false}");
        QByteArray done = yandexPage(1, 100, 9);
        return RawHttpListener::ok("{\"id\": \"sp1op\", \"done\": true, \"response\": " + done + "}");
    });
    m_lookups.CheckYandexRu(1);
    EXPECT_EQ(cell("RankYandexRu1").text, QStringLiteral("9"));
    EXPECT_EQ(requestsTo("/v2/web/searchAsync").size(), 1);
    const QList<QByteArray> sentPolls = requestsTo("/operations/sp1op");
    ASSERT_EQ(sentPolls.size(), 2);
    EXPECT_TRUE(sentPolls[0].startsWith("GET /operations/sp1op HTTP/1.1\r\n"));
    EXPECT_TRUE(sentPolls[0].contains("\r\nAuthorization: Api-Key AQVNyandexkey\r\n"));
    EXPECT_EQ(m_clients.apiRequests()[SourceKind::YandexSearchApi], 1);
    EXPECT_EQ(m_clients.apiPolls(), 2);
}

TEST_F(ApiLookups, ACheckByHandAsksADeferredSourceAtOnce)
{
    define("Mode=deferred\n");
    serveYandex(4);
    m_lookups.CheckYandexRu(1);
    EXPECT_EQ(cell("RankYandexRu1").text, QStringLiteral("4"));
    EXPECT_TRUE(requestsTo("/v2/web/searchAsync").isEmpty());
}

TEST_F(ApiLookups, TheMostRequestsFollowTheDepthAndTheTickedEngines)
{
    std::array<bool, kEngines.size()> ticked {};
    ticked.at(std::size_t(Engine::YandexRu)) = true;
    ticked.at(std::size_t(Engine::GoogleCom)) = true;
    const ApiRequestCounts most = m_clients.mostApiRequests(ticked, 3);
    EXPECT_EQ(most[SourceKind::YandexSearchApi], 6); // two of 100 for the top 200
    EXPECT_EQ(most[SourceKind::SerpJson], 60); // twenty of ten
    EXPECT_EQ(most[SourceKind::YandexWordstatApi], 3);
    ticked.at(std::size_t(Engine::YandexRu)) = false;
    EXPECT_EQ(m_clients.mostApiRequests(ticked, 3)[SourceKind::YandexWordstatApi], 0);
}
