#include "support/SandboxEngines.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

namespace {

struct Answer {
    int status = 0;
    QByteArray body;
};

// One request over its own connection, which the server closes after the answer.
Answer exchange(const QString& host, const QByteArray& method, const QByteArray& target,
    const QByteArray& headers = {}, const QByteArray& body = {})
{
    QTcpSocket socket;
    const qsizetype colon = host.lastIndexOf(QLatin1Char(':'));
    socket.connectToHost(host.left(colon), host.mid(colon + 1).toUShort());
    if (!socket.waitForConnected(5000))
        return {};
    socket.write(method + ' ' + target + " HTTP/1.0\r\nHost: " + host.toLatin1() + "\r\n" + headers
        + "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body);
    QByteArray data;
    while (socket.waitForReadyRead(5000))
        data += socket.readAll();
    data += socket.readAll();
    const qsizetype headEnd = data.indexOf("\r\n\r\n");
    return { data.mid(9, 3).toInt(), headEnd < 0 ? QByteArray() : data.mid(headEnd + 4) };
}

const QByteArray kYandexKey = "Authorization: Api-Key sandbox-yandex-key\r\n";

QByteArray searchBody(const QByteArray& keyword, const QByteArray& page, const QByteArray& groups = "\"100\"",
    const QByteArray& folder = "sandbox-folder")
{
    return R"({"query":{"searchType":"SEARCH_TYPE_RU","queryText":")" + keyword + R"(","page":)" + page
        + R"(},"groupSpec":{"groupMode":"GROUP_MODE_DEEP","groupsOnPage":)" + groups
        + R"(,"docsInGroup":"1"},"region":"213","folderId":")" + folder
        + R"(","responseFormat":"FORMAT_XML"})";
}

QByteArray rawXml(const QByteArray& json)
{
    const QString rawData = QJsonDocument::fromJson(json).object().value("rawData").toString();
    return QByteArray::fromBase64(rawData.toLatin1());
}

struct YandexResults {
    QStringList urls; // of the groups, in order
    QString first, last; // the page's attributes
    QString errorCode, errorText;
};

YandexResults readYandexXml(const QByteArray& xml)
{
    YandexResults read;
    QXmlStreamReader reader(xml);
    QStringList path;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()) {
            path << reader.name().toString();
            const QString at = path.join('/');
            if (at == "yandexsearch/response/results/grouping/group/doc/url")
                read.urls << reader.readElementText(), path.removeLast();
            else if (at == "yandexsearch/response/results/grouping/page")
                read.first = reader.attributes().value("first").toString(),
                read.last = reader.attributes().value("last").toString();
            else if (at == "yandexsearch/response/error")
                read.errorCode = reader.attributes().value("code").toString(),
                read.errorText = reader.readElementText(), path.removeLast();
        } else if (reader.isEndElement()) {
            path.removeLast();
        }
    }
    EXPECT_FALSE(reader.hasError()) << reader.errorString().toStdString();
    return read;
}

// The site's position through the Yandex page engine: the value of its entry, on any of 20 pages.
int pagePosition(SandboxEngines& sandbox, const QByteArray& keyword)
{
    const QRegularExpression entry(
        QStringLiteral("<li[^>]*value=(\\d+)><div class=\"title\">.*?www\\.example\\.ru"));
    for (int page = 0; page < 20; ++page) {
        const Answer answer = exchange(sandbox.host("YandexRu"), "GET",
            "/yandpage?&p=" + QByteArray::number(page) + "&nl=0&text=" + keyword);
        for (const QByteArray& line : answer.body.split('\n')) {
            if (const auto match = entry.match(QString::fromLatin1(line)); match.hasMatch())
                return match.captured(1).toInt();
        }
    }
    return 0;
}

const QString kSiteLink = QStringLiteral("https://www.example.ru/catalog/page.html");

} // namespace

// Two requests of 100 read the top 200; the site stands where the Yandex result pages show it.
TEST(SandboxApi, YandexSearchAgreesWithTheResultPagesAcrossTwoRequests)
{
    SandboxEngines sandbox;
    ASSERT_TRUE(sandbox.command("place YandexRu placed 101"));
    const QList<QByteArray> keywords = { "placed", "alpha", "beta", "gamma", "delta", "epsilon" };
    for (const QByteArray& keyword : keywords) {
        QStringList urls;
        for (const QByteArray& page : { QByteArray("\"0\""), QByteArray("1") }) {
            const Answer answer = exchange(sandbox.host("YandexSearchApi"), "POST", "/v2/web/search",
                kYandexKey, searchBody(keyword, page));
            ASSERT_EQ(answer.status, 200) << answer.body.constData();
            const YandexResults read = readYandexXml(rawXml(answer.body));
            ASSERT_EQ(read.urls.size(), 100);
            EXPECT_EQ(read.first, page == "1" ? "101" : "1");
            EXPECT_EQ(read.last, page == "1" ? "200" : "100");
            urls += read.urls;
        }
        EXPECT_EQ(urls[1], "https://www.site-2.ru/");
        const int position = int(urls.indexOf(kSiteLink)) + 1;
        EXPECT_EQ(position, pagePosition(sandbox, keyword)) << keyword.constData();
        if (keyword == "placed") {
            EXPECT_EQ(position, 101);
        }
    }
    // Past the depth of twenty pages: nothing found.
    const Answer beyond = exchange(
        sandbox.host("YandexSearchApi"), "POST", "/v2/web/search", kYandexKey, searchBody("alpha", "2"));
    EXPECT_EQ(readYandexXml(rawXml(beyond.body)).errorCode, "15");

    // The log keeps the request's region and the key only in the head it came with.
    const QList<SandboxEngines::Request> log = sandbox.requests("YandexSearchApi");
    ASSERT_FALSE(log.isEmpty());
    EXPECT_TRUE(log.first().body.contains(R"("region":"213")"));
    EXPECT_TRUE(log.first().head.contains("\r\nAuthorization: Api-Key sandbox-yandex-key\r\n"));
}

TEST(SandboxApi, SerpResultsCountFromStartAndAgreeWithTheGooglePages)
{
    SandboxEngines sandbox;
    ASSERT_TRUE(sandbox.command("place GoogleCom %D0%BA%D0%BE%D1%82 11"));
    const QString host = sandbox.host("SerpApi");
    const QByteArray query
        = "/search.json?engine=google&q=%D0%BA%D0%BE%D1%82&num=10&gl=ru&hl=ru&location=Moscow";
    // The key in the address or in a header.
    const Answer first = exchange(host, "GET", query + "&start=0&api_key=sandbox-serp-key");
    const Answer second = exchange(host, "GET", query + "&start=10", "X-API-KEY: sandbox-serp-key\r\n");
    ASSERT_EQ(first.status, 200);
    ASSERT_EQ(second.status, 200) << second.body.constData();
    const QJsonObject json = QJsonDocument::fromJson(second.body).object();
    EXPECT_EQ(json["search_metadata"].toObject()["status"].toString(), "Success");
    EXPECT_EQ(json["search_parameters"].toObject()["q"].toString(), QStringLiteral("кот"));
    const QJsonArray results = json["organic_results"].toArray();
    ASSERT_EQ(results.size(), 10);
    EXPECT_EQ(results[0].toObject()["position"].toInt(), 11);
    EXPECT_EQ(results[0].toObject()["link"].toString(), kSiteLink);
    EXPECT_EQ(results[9].toObject()["position"].toInt(), 20);
    EXPECT_EQ(QJsonDocument::fromJson(first.body)["organic_results"][0]["link"].toString(),
        "https://www.site-1.ru/");
    EXPECT_FALSE(second.body.contains("sandbox-serp-key"));
}

// Each misbehaviour as the provider words it, for its count, then the normal answer again.
TEST(SandboxApi, ErrorsAreAnsweredAsTheProvidersDo)
{
    struct Row {
        QByteArray command;
        QString service;
        QByteArray headers;
        QByteArray body; // SerpApi: the target
        int status;
        QByteArray expected; // the answer's body, or for Yandex "code:text" of the XML error
    };
    const QByteArray serp = "/search.json?engine=google&q=abc&start=0&num=10&api_key=sandbox-serp-key";
    const QByteArray wordstat = R"({"phrase":"abc","numPhrases":"1","folderId":"sandbox-folder"})";
    const QList<Row> rows = {
        { "apierror YandexSearchApi 15 1", "YandexSearchApi", kYandexKey, searchBody("a", "0"), 200,
            "15:Искомая комбинация слов нигде не встречается" },
        { "apilimit YandexSearchApi 1", "YandexSearchApi", kYandexKey, searchBody("a", "0"), 200,
            "32:Лимит запросов исчерпан" },
        { "apierror YandexSearchApi 55 1", "YandexSearchApi", kYandexKey, searchBody("a", "0"), 200,
            "55:Превышено допустимое число запросов в секунду" },
        { "apierror YandexSearchApi 100 1 Robot", "YandexSearchApi", kYandexKey, searchBody("a", "0"), 200,
            "100:Robot" },
        { "", "YandexSearchApi", "Authorization: Api-Key wrong\r\n", searchBody("a", "0"), 401,
            R"({"code":16,"details":[],"message":"Unknown api key"})" },
        { "", "YandexSearchApi", kYandexKey, searchBody("a", "0", "100", "other"), 403,
            R"({"code":7,"details":[],"message":"Permission denied to the folder"})" },
        { "", "WordstatApi", "", wordstat, 401, R"({"code":16,"details":[],"message":"Unknown api key"})" },
        { "apilimit WordstatApi 1", "WordstatApi", kYandexKey, wordstat, 429,
            R"({"code":8,"details":[],"message":"The daily quota of Wordstat requests is exhausted"})" },
        { "", "SerpApi", "", serp.chopped(3) + "bad", 401,
            R"({"error":"Invalid API key. Your API key should be here: https://serpapi.com/manage-api-key"})" },
        { "apierror SerpApi 200 1", "SerpApi", "", serp, 200,
            R"({"error":"Google hasn't returned any results for this query."})" },
        { "apilimit SerpApi 1", "SerpApi", "", serp, 429,
            R"({"error":"Your account has run out of searches."})" },
        { "toomany SerpApi 1", "SerpApi", "", serp, 429,
            R"({"error":"Your account has run out of searches."})" },
        { "toomany YandexSearchApi 1", "YandexSearchApi", kYandexKey, searchBody("a", "0"), 429,
            R"({"code":8,"details":[],"message":"Too many requests"})" },
    };
    SandboxEngines sandbox;
    for (const Row& row : rows) {
        ASSERT_TRUE(sandbox.command("reset\n" + row.command)) << row.command.constData();
        const QString host = sandbox.host(row.service);
        const bool isSerp = row.service == "SerpApi";
        const QByteArray target = isSerp   ? row.body
            : row.service == "WordstatApi" ? QByteArray("/v2/wordstat/topRequests")
                                           : QByteArray("/v2/web/search");
        const auto ask = [&] {
            return exchange(
                host, isSerp ? "GET" : "POST", target, row.headers, isSerp ? QByteArray() : row.body);
        };
        const Answer answer = ask();
        EXPECT_EQ(answer.status, row.status) << row.command.constData();
        if (row.service == "YandexSearchApi" && row.status == 200) {
            const YandexResults read = readYandexXml(rawXml(answer.body));
            EXPECT_EQ(read.errorCode + ":" + read.errorText, QString::fromUtf8(row.expected));
        } else if (!row.expected.isEmpty()) {
            EXPECT_EQ(answer.body, row.expected) << row.command.constData();
        }
        if (!row.command.isEmpty()) {
            EXPECT_EQ(ask().status, 200) << "after " << row.command.constData();
        }
    }
    EXPECT_FALSE(sandbox.command("apierror GoogleCom 15"));
    EXPECT_FALSE(sandbox.command("apierror SerpApi 15"));
    EXPECT_FALSE(sandbox.command("apidamage SerpApi xml"));
}

TEST(SandboxApi, DamagedAnswersCannotBeRead)
{
    SandboxEngines sandbox;
    const QString yandex = sandbox.host("YandexSearchApi");
    ASSERT_TRUE(sandbox.command("apidamage YandexSearchApi base64 1\napidamage YandexSearchApi xml 1\n"
                                "apidamage YandexSearchApi json 1\napidamage SerpApi json 1"));
    const auto search
        = [&] { return exchange(yandex, "POST", "/v2/web/search", kYandexKey, searchBody("a", "0")); };
    const QString rawData = QJsonDocument::fromJson(search().body)["rawData"].toString();
    EXPECT_FALSE(QByteArray::fromBase64Encoding(rawData.toLatin1(), QByteArray::AbortOnBase64DecodingErrors));
    const YandexResults empty = readYandexXml(rawXml(search().body));
    EXPECT_TRUE(empty.urls.isEmpty() && empty.errorCode.isEmpty());
    QJsonParseError error;
    QJsonDocument::fromJson(search().body, &error);
    EXPECT_NE(error.error, QJsonParseError::NoError);
    QJsonDocument::fromJson(
        exchange(sandbox.host("SerpApi"), "GET", "/search.json?engine=google&q=a&api_key=sandbox-serp-key")
            .body,
        &error);
    EXPECT_NE(error.error, QJsonParseError::NoError);
    EXPECT_EQ(readYandexXml(rawXml(search().body)).urls.size(), 100);
}

// A deferred search is done after the polls set; an error queued for it is in its result.
TEST(SandboxApi, OperationIsDoneAfterItsPolls)
{
    SandboxEngines sandbox;
    const QString host = sandbox.host("YandexSearchApi");
    for (const int polls : { 0, 3 }) {
        ASSERT_TRUE(sandbox.command("slowop " + QByteArray::number(polls)));
        const Answer started
            = exchange(host, "POST", "/v2/web/searchAsync", kYandexKey, searchBody("a", "0"));
        ASSERT_EQ(started.status, 200);
        const QJsonObject operation = QJsonDocument::fromJson(started.body).object();
        EXPECT_FALSE(operation["done"].toBool());
        EXPECT_EQ(operation["description"].toString(), "WEB search async");
        const QByteArray target = "/operations/" + operation["id"].toString().toLatin1();
        for (int poll = 0; poll < polls; ++poll)
            EXPECT_FALSE(
                QJsonDocument::fromJson(exchange(host, "GET", target, kYandexKey).body)["done"].toBool());
        const QJsonObject done
            = QJsonDocument::fromJson(exchange(host, "GET", target, kYandexKey).body).object();
        EXPECT_TRUE(done["done"].toBool());
        const QByteArray xml = QByteArray::fromBase64(done["response"]["rawData"].toString().toLatin1());
        EXPECT_EQ(readYandexXml(xml).urls.size(), 100);
    }
    EXPECT_EQ(exchange(host, "GET", "/operations/sprqunknown", kYandexKey).body,
        R"({"code":5,"details":[],"message":"Operation not found"})");
    EXPECT_EQ(exchange(host, "GET", "/operations/sprq0000000000000001").status, 401);

    ASSERT_TRUE(sandbox.command("slowop 1\napierror YandexSearchApi 55 1"));
    const Answer started = exchange(host, "POST", "/v2/web/searchAsync", kYandexKey, searchBody("a", "0"));
    const QByteArray target
        = "/operations/" + QJsonDocument::fromJson(started.body)["id"].toString().toLatin1();
    exchange(host, "GET", target, kYandexKey);
    const QJsonObject done = QJsonDocument::fromJson(exchange(host, "GET", target, kYandexKey).body).object();
    EXPECT_EQ(
        readYandexXml(QByteArray::fromBase64(done["response"]["rawData"].toString().toLatin1())).errorCode,
        "55");
}

TEST(SandboxApi, WordstatTotalCountAsStringOrNumber)
{
    SandboxEngines sandbox;
    const auto ask = [&](const QByteArray& numPhrases) {
        return exchange(sandbox.host("WordstatApi"), "POST", "/v2/wordstat/topRequests", kYandexKey,
            R"({"phrase":"кот","numPhrases":)" + numPhrases
                + R"(,"regions":["213"],"devices":["DEVICE_ALL"],"folderId":"sandbox-folder"})");
    };
    ASSERT_TRUE(sandbox.command("count Wordstat 12345"));
    EXPECT_EQ(ask("\"1\"").body,
        R"({"associations":[],"results":[{"count":"12345","phrase":"кот"}],"totalCount":"12345"})");
    ASSERT_TRUE(sandbox.command("totalnumber"));
    EXPECT_EQ(ask("1").body,
        R"({"associations":[],"results":[{"count":12345,"phrase":"кот"}],"totalCount":12345})");
    EXPECT_EQ(ask("\"x\"").status, 400);
}

TEST(SandboxApi, KeysAndDefinitionsForThePorts)
{
    QTemporaryDir dir;
    const QString definitions = dir.filePath("engines.ini");
    SandboxEngines sandbox(5,
        { "--api-key", "k1", "--folder-id", "f1", "--serp-api-key", "s1", "--api-definitions-out",
            definitions });
    ASSERT_TRUE(sandbox.started());
    const QString yandex = sandbox.host("YandexSearchApi");
    EXPECT_EQ(
        exchange(yandex, "POST", "/v2/web/search", kYandexKey, searchBody("a", "0", "1", "f1")).status, 401);
    EXPECT_EQ(exchange(yandex, "POST", "/v2/web/search", "Authorization: Api-Key k1\r\n",
                  searchBody("a", "0", "1", "f1"))
                  .status,
        200);
    EXPECT_EQ(exchange(sandbox.host("SerpApi"), "GET", "/search.json?engine=google&q=a", "X-API-KEY: s1\r\n")
                  .status,
        200);

    QFile file(definitions);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray yandexOrigin = "http://" + yandex.toLatin1();
    EXPECT_EQ(file.readAll(),
        "; Result sources by API, played by ks-sandbox on 127.0.0.1.\n"
        "[YandexRu]\nSource=yandex-search-api, page\nApiUrl="
            + yandexOrigin + "/v2/web/search\nOperationsUrl=" + yandexOrigin
            + "/operations/\nPollSeconds=1\n\n[GoogleCom]\nSource=serp-json, page\nApiUrl=http://"
            + sandbox.host("SerpApi").toLatin1()
            + "/search.json?engine=google&q={keyword}&start={start}&num=10&gl={country}&hl={language}"
              "&location={region}&api_key={key}\n\n[Wordstat]\nSource=yandex-wordstat-api, "
              "page\nApiUrl=http://"
            + sandbox.host("WordstatApi").toLatin1() + "/v2/wordstat/topRequests\n");
}
