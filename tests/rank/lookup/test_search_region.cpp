#include "rank/lookup/DefinitionsFile.h"
#include "rank/lookup/EngineDefinitions.h"
#include "rank/lookup/SearchRegion.h"

#include <gtest/gtest.h>

namespace {

const SearchRegion kMoscow { 213, QStringLiteral("ru"), QStringLiteral("ru") };

struct Filling {
    const char* name;
    QByteArray urlTemplate;
    SearchRegion region;
    QByteArray url;
};

class RegionFilling : public ::testing::TestWithParam<Filling> { };

TEST_P(RegionFilling, PlaceholdersTakeTheRegionOrLeaveTheirParameterOut)
{
    EXPECT_EQ(withRegion(GetParam().urlTemplate, GetParam().region), GetParam().url);
}

INSTANTIATE_TEST_SUITE_P(Templates, RegionFilling,
    ::testing::Values(Filling { "WithoutPlaceholdersUnchanged", "/yandpage?&p={page}&nl=0&text={keyword}",
                          kMoscow, "/yandpage?&p={page}&nl=0&text={keyword}" },
        Filling { "EveryPart", "/search?q={keyword}&lr={region}&gl={country}&hl={language}", kMoscow,
            "/search?q={keyword}&lr=213&gl=ru&hl=ru" },
        Filling {
            "UnsetLastParameterGoes", "/search?text={keyword}&lr={region}", {}, "/search?text={keyword}" },
        Filling {
            "UnsetFirstParameterGoes", "/search?lr={region}&text={keyword}", {}, "/search?text={keyword}" },
        Filling { "UnsetOnlyParameterGoesWithItsMark", "/search?lr={region}", {}, "/search" },
        Filling { "UnsetInThePathIsEmpty", "/r/{region}/s?q={keyword}", {}, "/r//s?q={keyword}" },
        Filling { "UnsetPartOfAValueIsEmpty", "/s?q={keyword}&loc=x{country}", {}, "/s?q={keyword}&loc=x" },
        Filling { "OnlyTheUnsetPartGoes", "/s?q={keyword}&gl={country}&hl={language}",
            { 0, QStringLiteral("ua"), {} }, "/s?q={keyword}&gl=ua" },
        Filling {
            "LanguageWithItsSubtag", "/s?hl={language}", { 0, {}, QStringLiteral("pt-BR") }, "/s?hl=pt-BR" },
        // A value never reaches the request line raw, also one that no input would let through.
        Filling { "ValuesArePercentEncoded", "/s?gl={country}&hl={language}",
            { 0, QStringLiteral("a b"), QStringLiteral("x&y={region}\r\n") },
            "/s?gl=a%20b&hl=x%26y%3D%7Bregion%7D%0D%0A" }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SearchRegion, TheDefinitionsOfACheckAreFilledAndTheBuiltInOnesStayAsTheyAre)
{
    const auto builtIn = std::make_shared<const EngineDefinitions>(EngineDefinitions::builtIn());
    const auto same = definitionsForRegion(builtIn, kMoscow);
    for (Engine engine : kEngines)
        EXPECT_EQ(same->engine(engine).urlTemplate, builtIn->engine(engine).urlTemplate);
    EXPECT_EQ(same->wordstat.urlTemplate, builtIn->wordstat.urlTemplate);

    const ParsedDefinitions parsed
        = DefinitionsFile::parse("[YandexRu]\nUrl=/yandpage?&p={page}&text={keyword}&lr={region}\n"
                                 "[Wordstat]\nUrl=/stat/wordsstat.pl?text={keyword}&lr={region}\n",
            &EngineDefinitions::builtIn());
    ASSERT_TRUE(parsed.definitions);
    const auto regional
        = definitionsForRegion(std::make_shared<const EngineDefinitions>(*parsed.definitions), kMoscow);
    EXPECT_EQ(regional->engine(Engine::YandexRu).urlTemplate, "/yandpage?&p={page}&text={keyword}&lr=213");
    EXPECT_EQ(regional->wordstat.urlTemplate, "/stat/wordsstat.pl?text={keyword}&lr=213");
    EXPECT_EQ(regional->version, parsed.definitions->version);
}

struct Input {
    const char* name;
    QString yandex, country, language;
    std::optional<SearchRegion> region;
    QString problem;
};

class RegionInput : public ::testing::TestWithParam<Input> { };

TEST_P(RegionInput, IsTakenOrRefusedWithItsReason)
{
    QString problem;
    const Input& input = GetParam();
    EXPECT_EQ(regionFromInput(input.yandex, input.country, input.language, &problem), input.region);
    EXPECT_EQ(problem, input.problem);
}

const QString kIdProblem
    = QStringLiteral("Регион Яндекса — номер от 1 до 999999999 (например, 213 — Москва).");
const QString kCountryProblem = QStringLiteral("Страна Google — две латинские буквы (например, ru).");
const QString kLanguageProblem = QStringLiteral(
    "Язык Google — две или три латинские буквы, можно с уточнением через дефис (например, ru или pt-BR).");

INSTANTIATE_TEST_SUITE_P(Fields, RegionInput,
    ::testing::Values(Input { "AllEmptyIsNone", {}, {}, {}, SearchRegion {}, {} },
        Input { "Moscow", " 213 ", "RU", "ru", kMoscow, {} },
        Input { "AnyIdOutsideTheList", "999999999", {}, {}, SearchRegion { 999999999, {}, {} }, {} },
        Input { "Zero", "0", {}, {}, std::nullopt, kIdProblem },
        Input { "Negative", "-213", {}, {}, std::nullopt, kIdProblem },
        Input { "TooLong", "1000000000", {}, {}, std::nullopt, kIdProblem },
        Input { "NotDigits", "Москва", {}, {}, std::nullopt, kIdProblem },
        Input { "CountryOfThree", {}, "rus", {}, std::nullopt, kCountryProblem },
        Input { "CountryNotLatin", {}, "ру", {}, std::nullopt, kCountryProblem },
        Input { "LanguageOfOne", {}, {}, "r", std::nullopt, kLanguageProblem },
        Input { "LanguageWithASpace", {}, {}, "ru RU", std::nullopt, kLanguageProblem }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SearchRegion, TextsNameTheListedRegionAndKeepAnyOtherId)
{
    EXPECT_EQ(regionHeading(kMoscow), QStringLiteral("Москва (213)"));
    EXPECT_EQ(regionText(kMoscow), QStringLiteral("Москва (213), Google: gl=ru, hl=ru"));
    EXPECT_EQ(regionCode(kMoscow), QStringLiteral("lr=213 gl=ru hl=ru"));
    const SearchRegion unlisted { 100500, {}, {} };
    EXPECT_EQ(regionHeading(unlisted), QStringLiteral("100500"));
    EXPECT_EQ(regionCode(unlisted), QStringLiteral("lr=100500"));
    const SearchRegion googleOnly { 0, QStringLiteral("kz"), QStringLiteral("ru") };
    EXPECT_EQ(regionHeading(googleOnly), QStringLiteral("Google: gl=kz, hl=ru"));
    EXPECT_EQ(regionCode(SearchRegion {}), QString());
    EXPECT_EQ(regionHeading(SearchRegion {}), QString());
    EXPECT_EQ(regionText(SearchRegion { 2, {}, {} }), QStringLiteral("Санкт-Петербург (2)"));
    EXPECT_EQ(regionText(SearchRegion { 65, {}, {} }), QStringLiteral("Новосибирск (65)"));
}

} // namespace
