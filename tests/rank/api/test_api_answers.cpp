#include "rank/api/ApiAnswer.h"

#include <gtest/gtest.h>

namespace {

QByteArray xmlWithGroups(const QByteArray& page, const QList<QByteArray>& links)
{
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"utf-8\"?><yandexsearch version=\"1.0\"><response>"
                     "<results><grouping attr=\"d\">"
        + page;
    for (const QByteArray& link : links)
        xml += "<group><categ/><doc id=\"x\"><url>" + link + "</url><domain>d</domain></doc></group>";
    return xml + "</grouping></results></response></yandexsearch>";
}

QByteArray searchJson(const QByteArray& xml)
{
    return "{\"rawData\": \"" + xml.toBase64() + "\"}";
}

QByteArray errorXml(const QByteArray& code)
{
    return "<yandexsearch version=\"1.0\"><response><error code=\"" + code
        + "\">message</error></response></yandexsearch>";
}

ApiSourceDefinition serpSource()
{
    ApiSourceDefinition source;
    source.offered = { SourceKind::SerpJson };
    return source;
}

} // namespace

TEST(YandexSearchAnswer, PositionsCountFromThePagesFirstGroup)
{
    const ApiAnswer answer
        = readYandexSearch(searchJson(xmlWithGroups("<page first=\"101\" last=\"102\">1</page>",
                               { "https://a.test/", "https://www.example.ru/p" })),
            1);
    ASSERT_EQ(answer.kind, AnswerKind::Results);
    ASSERT_EQ(answer.results.size(), 2);
    EXPECT_EQ(answer.results[0].position, 101);
    EXPECT_EQ(answer.results[1].position, 102);
    EXPECT_EQ(answer.results[1].link, QStringLiteral("https://www.example.ru/p"));
}

TEST(YandexSearchAnswer, APageThatDoesNotSayItsFirstIsCountedFromTheRequest)
{
    const ApiAnswer answer = readYandexXml(xmlWithGroups({}, { "https://a.test/" }), 201);
    ASSERT_EQ(answer.kind, AnswerKind::Results);
    EXPECT_EQ(answer.results[0].position, 201);
    EXPECT_EQ(readYandexXml(xmlWithGroups({}, {}), 1).kind, AnswerKind::NotFound);
}

struct ErrorRow {
    const char* code;
    AnswerKind kind;
    const char* detail;
};

class YandexErrors : public ::testing::TestWithParam<ErrorRow> { };

TEST_P(YandexErrors, MapToTheirReasons)
{
    const ErrorRow& row = GetParam();
    const ApiAnswer answer = readYandexSearch(searchJson(errorXml(row.code)), 1);
    EXPECT_EQ(answer.kind, row.kind);
    EXPECT_EQ(answer.detail, QString::fromUtf8(row.detail));
}

INSTANTIATE_TEST_SUITE_P(Codes, YandexErrors,
    ::testing::Values(
        ErrorRow { "15", AnswerKind::NotFound, "Yandex Search API: результатов нет (ошибка 15)" },
        ErrorRow {
            "55", AnswerKind::RetryLater, "Yandex Search API: слишком много запросов в секунду (ошибка 55)" },
        ErrorRow {
            "32", AnswerKind::Refused, "Yandex Search API: исчерпан суточный лимит запросов (ошибка 32)" },
        ErrorRow { "31", AnswerKind::Refused,
            "Yandex Search API: каталог Yandex Cloud не принят (ошибка 31): проверьте идентификатор каталога "
            "в "
            "«Источники результатов...»" },
        ErrorRow { "33", AnswerKind::Refused,
            "Yandex Search API: адрес, с которого идёт запрос, не разрешён (ошибка 33): проверьте настройки "
            "Search API в Yandex Cloud" },
        ErrorRow { "42", AnswerKind::Refused,
            "Yandex Search API: ключ API не принят (ошибка 42): проверьте ключ в «Источники "
            "результатов...»" },
        ErrorRow { "44", AnswerKind::Refused,
            "Yandex Search API: ключ API не принят (ошибка 44): проверьте ключ в «Источники "
            "результатов...»" },
        ErrorRow { "100", AnswerKind::Blocked,
            "Yandex Search API счёл запрос автоматическим (ошибка 100): проверка заблокирована; повторите "
            "позже" },
        ErrorRow { "20", AnswerKind::Refused, "Yandex Search API: ошибка 20: message" }));

struct DamageRow {
    const char* name;
    QByteArray json;
    const char* detail;
};

class DamagedAnswers : public ::testing::TestWithParam<DamageRow> { };

TEST_P(DamagedAnswers, AreUnrecognisedWithTheSourceNamed)
{
    const ApiAnswer answer = readYandexSearch(GetParam().json, 1);
    EXPECT_EQ(answer.kind, AnswerKind::Unrecognised);
    EXPECT_EQ(answer.detail, QString::fromUtf8(GetParam().detail));
}

INSTANTIATE_TEST_SUITE_P(Yandex, DamagedAnswers,
    ::testing::Values(
        DamageRow { "notJson", "<html>", "Ответ источника Yandex Search API не распознан: не JSON-объект" },
        DamageRow { "noRawData", "{\"raw\": \"\"}",
            "Ответ источника Yandex Search API не распознан: нет поля rawData" },
        DamageRow { "badBase64", "{\"rawData\": \"PHlh*bmRl\"}",
            "Ответ источника Yandex Search API не распознан: rawData — не Base64" },
        DamageRow { "neitherResultsNorError",
            searchJson("<yandexsearch><response><found>3</found></response></yandexsearch>"),
            "Ответ источника Yandex Search API не распознан: в XML нет ни результатов, ни ошибки" },
        DamageRow { "brokenXml", searchJson("<yandexsearch><response><results><grouping><group>"),
            "Ответ источника Yandex Search API не распознан: повреждённый XML" },
        DamageRow { "doctype", searchJson("<!DOCTYPE y [<!ENTITY a \"b\">]><yandexsearch/>"),
            "Ответ источника Yandex Search API не распознан: XML с объявлением DTD" }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(YandexOperation, IsPendingUntilDoneThenReadsItsResponse)
{
    const ApiAnswer pending = readOperation("{\"id\": \"sp1abc\", \"done\": false}", 1);
    EXPECT_EQ(pending.kind, AnswerKind::Pending);
    EXPECT_EQ(pending.operationId, QByteArray("sp1abc"));
    const ApiAnswer done = readOperation("{\"id\": \"sp1abc\", \"done\": true, \"response\": {\"rawData\": \""
            + xmlWithGroups("<page first=\"1\">0</page>", { "https://www.example.ru/" }).toBase64() + "\"}}",
        1);
    ASSERT_EQ(done.kind, AnswerKind::Results);
    EXPECT_EQ(done.results[0].position, 1);
    const ApiAnswer failed = readOperation(
        "{\"id\": \"sp1\", \"done\": true, \"error\": {\"code\": 8, \"message\": \"quota\"}}", 1);
    EXPECT_EQ(failed.kind, AnswerKind::Refused);
    EXPECT_EQ(failed.detail, QStringLiteral("Yandex Search API: операция завершилась ошибкой: quota"));
    EXPECT_EQ(readOperation("{\"done\": false}", 1).kind, AnswerKind::Unrecognised);
}

TEST(SerpJsonAnswer, ReadsPositionsAndLinks)
{
    const ApiAnswer answer = readSerpJson("{\"organic_results\": [{\"position\": 11, \"link\": "
                                          "\"https://a.test/\"}, {\"link\": \"https://b.test/\"}]}",
        serpSource(), 10);
    ASSERT_EQ(answer.kind, AnswerKind::Results);
    ASSERT_EQ(answer.results.size(), 2);
    EXPECT_EQ(answer.results[0].position, 11);
    EXPECT_EQ(answer.results[1].position, 12); // counted when the item does not say
    EXPECT_EQ(answer.results[1].link, QStringLiteral("https://b.test/"));
}

TEST(SerpJsonAnswer, FollowsTheDefinitionsFieldNames)
{
    ApiSourceDefinition source = serpSource();
    source.resultsPath = QStringLiteral("data.items");
    source.positionField = QStringLiteral("rank");
    source.linkField = QStringLiteral("url");
    source.errorField = QStringLiteral("status.message");
    const ApiAnswer answer = readSerpJson(
        "{\"data\": {\"items\": [{\"rank\": \"3\", \"url\": \"https://c.test/\"}]}}", source, 0);
    ASSERT_EQ(answer.kind, AnswerKind::Results);
    EXPECT_EQ(answer.results[0].position, 3);
    EXPECT_EQ(
        readSerpJson("{\"status\": {\"message\": \"Invalid key\"}}", source, 0).kind, AnswerKind::Refused);
}

struct SerpRow {
    const char* name;
    QByteArray json;
    AnswerKind kind;
    const char* detail;
};

class SerpAnswers : public ::testing::TestWithParam<SerpRow> { };

TEST_P(SerpAnswers, TellTheirErrors)
{
    const ApiAnswer answer = readSerpJson(GetParam().json, serpSource(), 0);
    EXPECT_EQ(answer.kind, GetParam().kind);
    EXPECT_EQ(answer.detail, QString::fromUtf8(GetParam().detail));
}

INSTANTIATE_TEST_SUITE_P(Errors, SerpAnswers,
    ::testing::Values(
        SerpRow { "noResults", "{\"error\": \"Google hasn't returned any results for this query.\"}",
            AnswerKind::NotFound, "SERP JSON API: результатов нет" },
        SerpRow { "invalidKey", "{\"error\": \"Invalid API key. Your API key should be here.\"}",
            AnswerKind::Refused,
            "SERP JSON API: источник отказал: «Invalid API key. Your API key should be here.»" },
        SerpRow { "emptyList", "{\"organic_results\": []}", AnswerKind::NotFound,
            "SERP JSON API: результатов больше нет" },
        SerpRow { "noList", "{\"search_metadata\": {}}", AnswerKind::Unrecognised,
            "Ответ источника SERP JSON API не распознан: нет списка organic_results" },
        SerpRow { "linkNotText", "{\"organic_results\": [{\"link\": 5}]}", AnswerKind::Unrecognised,
            "Ответ источника SERP JSON API не распознан: ссылка результата 1 — не текст" }),
    [](const auto& info) { return std::string(info.param.name); });

struct CountRow {
    const char* name;
    QByteArray json;
    qint64 count; // -1: unrecognised
};

class WordstatCounts : public ::testing::TestWithParam<CountRow> { };

TEST_P(WordstatCounts, ReadTotalCountAsStringOrNumber)
{
    const ApiAnswer answer = readWordstat(GetParam().json);
    EXPECT_EQ(answer.kind, GetParam().count < 0 ? AnswerKind::Unrecognised : AnswerKind::Results);
    EXPECT_EQ(answer.count, GetParam().count);
}

INSTANTIATE_TEST_SUITE_P(TotalCount, WordstatCounts,
    ::testing::Values(CountRow { "string", "{\"totalCount\": \"1520\", \"results\": []}", 1520 },
        CountRow { "number", "{\"totalCount\": 1520}", 1520 },
        CountRow { "zero", "{\"totalCount\": \"0\"}", 0 },
        CountRow { "negative", "{\"totalCount\": \"-5\"}", -1 },
        CountRow { "fraction", "{\"totalCount\": 1.5}", -1 },
        CountRow { "missing", "{\"results\": []}", -1 }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ApiStatus, TooManyRequestsIsRetriedAndAKeyRefusalIsRefused)
{
    EXPECT_EQ(answerToStatus(SourceKind::SerpJson, 429).kind, AnswerKind::RetryLater);
    const ApiAnswer refused = answerToStatus(SourceKind::SerpJson, 401);
    EXPECT_EQ(refused.kind, AnswerKind::Refused);
    EXPECT_EQ(refused.detail,
        QStringLiteral(
            "SERP JSON API: ключ API не принят (HTTP 401): проверьте ключ в «Источники результатов...»"));
    EXPECT_EQ(answerToStatus(SourceKind::YandexSearchApi, 403).kind, AnswerKind::Refused);
    EXPECT_EQ(answerToStatus(SourceKind::YandexSearchApi, 500).kind, AnswerKind::Unrecognised);
}
