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

} // namespace
