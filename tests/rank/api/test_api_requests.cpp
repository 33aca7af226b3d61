#include "rank/api/ApiRequests.h"
#include "rank/api/Placeholders.h"

#include <gtest/gtest.h>

namespace {

ApiSourceDefinition serpSource(const QByteArray& url)
{
    ApiSourceDefinition source;
    source.offered = { SourceKind::Page, SourceKind::SerpJson };
    source.apiUrl = url;
    return source;
}

} // namespace

TEST(ApiRequests, YandexSearchBodyWritesItsNumbersAsStringsAndTheRegionWhenSet)
{
    ApiSourceDefinition source;
    source.offered = { SourceKind::YandexSearchApi };
    EXPECT_EQ(yandexSearchBody(source, QStringLiteral("окна \"пвх\""), 1, QStringLiteral("b1g")),
        QByteArray("{\"query\": {\"searchType\": \"SEARCH_TYPE_RU\", \"queryText\": \"окна \\\"пвх\\\"\", "
                   "\"page\": \"1\"}, \"groupSpec\": {\"groupMode\": \"GROUP_MODE_DEEP\", \"groupsOnPage\": "
                   "\"100\", "
                   "\"docsInGroup\": \"1\"}, \"folderId\": \"b1g\", \"responseFormat\": \"FORMAT_XML\"}"));
    source.yandexRegion = 213;
    source.groupsOnPage = 50;
    source.searchType = "SEARCH_TYPE_TR";
    EXPECT_EQ(yandexSearchBody(source, QStringLiteral("a\tb"), 0, QStringLiteral("b1g")),
        QByteArray(
            "{\"query\": {\"searchType\": \"SEARCH_TYPE_TR\", \"queryText\": \"a\\u0009b\", "
            "\"page\": \"0\"}, \"groupSpec\": {\"groupMode\": \"GROUP_MODE_DEEP\", \"groupsOnPage\": \"50\", "
            "\"docsInGroup\": \"1\"}, \"region\": \"213\", \"folderId\": \"b1g\", \"responseFormat\": "
            "\"FORMAT_XML\"}"));
}

TEST(ApiRequests, WordstatBodyNamesTheRegionWhenSet)
{
    ApiSourceDefinition source;
    source.offered = { SourceKind::YandexWordstatApi };
    EXPECT_EQ(wordstatBody(source, QStringLiteral("окна"), QStringLiteral("b1g")),
        QByteArray("{\"phrase\": \"окна\", \"numPhrases\": 1, \"devices\": [\"DEVICE_ALL\"], \"folderId\": "
                   "\"b1g\"}"));
    source.yandexRegion = 2;
    EXPECT_EQ(wordstatBody(source, QStringLiteral("окна"), QStringLiteral("b1g")),
        QByteArray(
            "{\"phrase\": \"окна\", \"numPhrases\": 1, \"regions\": [\"2\"], \"devices\": [\"DEVICE_ALL\"], "
            "\"folderId\": \"b1g\"}"));
}

TEST(ApiRequests, YandexAddressesFollowTheMode)
{
    ApiSourceDefinition source;
    source.offered = { SourceKind::YandexSearchApi };
    EXPECT_EQ(
        yandexSearchUrl(source, false), QByteArray("https://searchapi.api.cloud.yandex.net/v2/web/search"));
    EXPECT_EQ(yandexSearchUrl(source, true),
        QByteArray("https://searchapi.api.cloud.yandex.net/v2/web/searchAsync"));
    EXPECT_EQ(operationUrl(source, "sp1 x/y"),
        QByteArray("https://operation.api.cloud.yandex.net/operations/sp1%20x%2Fy"));
    EXPECT_EQ(yandexHeaders(QStringLiteral("AQVN1")), QList<QByteArray>({ "Authorization: Api-Key AQVN1" }));
}

struct SerpUrlRow {
    const char* name;
    QByteArray url;
    QString keyword;
    int start;
    QByteArray expected;
};

class SerpUrls : public ::testing::TestWithParam<SerpUrlRow> { };

TEST_P(SerpUrls, FillEveryPlaceholderOnce)
{
    const SerpUrlRow& row = GetParam();
    EXPECT_EQ(serpUrl(serpSource(row.url), row.keyword, row.start, QStringLiteral("k+1")), row.expected);
}

INSTANTIATE_TEST_SUITE_P(Templates, SerpUrls,
    ::testing::Values(
        SerpUrlRow { "cyrillic", "https://s.test/search.json?q={keyword}&start={start}&api_key={key}",
            QStringLiteral("окна пвх"), 10,
            "https://s.test/"
            "search.json?q=%D0%BE%D0%BA%D0%BD%D0%B0%20%D0%BF%D0%B2%D1%85&start=10&api_key=k%2B1" },
        // A keyword that spells a placeholder stays the keyword.
        SerpUrlRow { "placeholderInKeyword", "https://s.test/?start={start}&q={keyword}&k={key}",
            QStringLiteral("{key}{start}"), 0, "https://s.test/?start=0&q=%7Bkey%7D%7Bstart%7D&k=k%2B1" },
        SerpUrlRow { "reservedCharacters", "https://s.test/?q={keyword}&k={key}", QStringLiteral("a&b=c#d"),
            0, "https://s.test/?q=a%26b%3Dc%23d&k=k%2B1" }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ApiRequests, AKeyHeaderKeepsTheKeyOutOfTheUrl)
{
    ApiSourceDefinition source = serpSource("https://s.test/?q={keyword}");
    source.apiKeyHeader = "X-API-KEY";
    EXPECT_EQ(serpUrl(source, QStringLiteral("kw"), 0, QStringLiteral("secret")),
        QByteArray("https://s.test/?q=kw"));
    EXPECT_EQ(serpHeaders(source, QStringLiteral("secret")), QList<QByteArray>({ "X-API-KEY: secret" }));
}

TEST(ApiRequests, FillPlaceholdersReadsTheTemplateOnce)
{
    EXPECT_EQ(fillPlaceholders("{a}-{b}-{c}", { { "{a}", "{b}" }, { "{b}", "B" } }), QByteArray("{b}-B-{c}"));
}

struct AddressRow {
    const char* name;
    QString url;
    bool accepted;
};

class ApiAddresses : public ::testing::TestWithParam<AddressRow> { };

TEST_P(ApiAddresses, AreHttpsOrLoopback)
{
    const AddressRow& row = GetParam();
    EXPECT_EQ(apiUrlProblem(row.url).isEmpty(), row.accepted) << apiUrlProblem(row.url).toStdString();
}

INSTANTIATE_TEST_SUITE_P(Urls, ApiAddresses,
    ::testing::Values(
        AddressRow { "https", QStringLiteral("https://searchapi.api.cloud.yandex.net/v2/web/search"), true },
        AddressRow { "loopbackV4", QStringLiteral("http://127.0.0.1:8080/v2/web/search"), true },
        AddressRow { "loopbackNet", QStringLiteral("http://127.3.2.1/x"), true },
        AddressRow { "loopbackV6", QStringLiteral("http://[::1]:9/x"), true },
        AddressRow { "localhost", QStringLiteral("http://localhost:9/x?q={keyword}"), true },
        AddressRow { "plainHttp", QStringLiteral("http://searchapi.example.net/x"), false },
        AddressRow { "lookalike", QStringLiteral("http://127.0.0.1.example.net/x"), false },
        AddressRow { "userInfo", QStringLiteral("https://user:pw@example.net/x"), false },
        AddressRow { "otherScheme", QStringLiteral("ftp://127.0.0.1/x"), false },
        AddressRow { "space", QStringLiteral("https://example.net/a b"), false },
        AddressRow { "noHost", QStringLiteral("https:///x"), false }),
    [](const auto& info) { return std::string(info.param.name); });
