#include "rank/pattern/PatternLiterals.h"
#include "rank/pattern/RegExpr.h"

#include <gtest/gtest.h>

namespace {

// A run written with '.' for "any byte".
QByteArray shown(const PatternLiterals::Run& run)
{
    QByteArray text;
    for (const auto& item : run)
        text += item.any ? '.' : item.byte;
    return text;
}

struct LiteralCase {
    const char* pattern;
    const char* prefix;
    std::vector<QByteArray> required; // last run first
};

class PatternLiteralsRead : public ::testing::TestWithParam<LiteralCase> { };

struct SearchCase {
    const char* pattern;
    QByteArray subject;
    const char* firstMatch; // nullptr: none
};

class SearchWithLiterals : public ::testing::TestWithParam<SearchCase> { };

} // namespace

TEST_P(PatternLiteralsRead, PrefixAndRequiredRuns)
{
    const auto read = readPatternLiterals(GetParam().pattern);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->prefix, GetParam().prefix);
    std::vector<QByteArray> runs;
    for (const auto& run : read->required)
        runs.push_back(shown(run));
    EXPECT_EQ(runs, GetParam().required);
}

INSTANTIATE_TEST_SUITE_P(Patterns, PatternLiteralsRead,
    ::testing::Values(LiteralCase { "<li value=(\\d*?)>x", "<li value=", { ">x", "<li value=" } },
        LiteralCase { "ab*c", "a", { "c", "a" } }, LiteralCase { "a*bc", "", { "bc" } },
        LiteralCase { "ab+?c", "a", { "c", "a" } }, LiteralCase { "a{2}b", "", { "b" } },
        LiteralCase { "[ab]c", "", { "c" } }, LiteralCase { "site.ru", "site", { "site.ru" } },
        LiteralCase { "\\.ru\\-x", ".ru-x", { ".ru-x" } }, LiteralCase { "(a|b)c\\sd", "", { "d", "c" } },
        LiteralCase { "x[)|(]y", "x", { "y", "x" } }, LiteralCase { "", "", {} },
        LiteralCase { "<a href=\"(http://www.|http://)(a|aa)+b", "<a href=\"", { "b", "<a href=\"" } }));

TEST(PatternLiteralsRead, UncertainPatternsGiveNothing)
{
    for (const char* pattern : { "(?i)abc", "\\x41b", "a\\Qb\\E", "^ab", "ab$", "a{b", "a}", "(*UTF)a",
             "\\1a", "a[[:]|b:]", "a[\\Q]\\E]b" })
        EXPECT_FALSE(readPatternLiterals(pattern).has_value()) << pattern;
    EXPECT_TRUE(readAlternatives("(?i)a|b").empty());
}

TEST(PatternLiteralsRead, TopLevelAlternativesAreReadOneByOne)
{
    const auto alternatives = readAlternatives(R"(<b>.*? (\d+).*?</b>|<a href=.*?example.com.*?>(\d+?)</a>)");
    ASSERT_EQ(alternatives.size(), 2u);
    EXPECT_EQ(alternatives[0].prefix, "<b>");
    EXPECT_EQ(alternatives[1].prefix, "<a href=");
    std::vector<QByteArray> runs;
    for (const auto& run : alternatives[1].required)
        runs.push_back(shown(run));
    EXPECT_EQ(runs, (std::vector<QByteArray> { "</a>", ">", "example.com", "<a href=" }));
    EXPECT_EQ(readAlternatives("a(b|c)d").size(), 1u);
}

TEST(PatternLiteralsRead, RunIsFoundWithItsWildcards)
{
    PatternLiterals::Run run;
    for (char c : QByteArray("site.ru"))
        run.push_back({ c, c == '.' });
    const QByteArray subject = "site-rx site!ru site.ru";
    EXPECT_EQ(findLiteralRun(subject.constData(), subject.size(), run, 0), 8);
    EXPECT_EQ(findLiteralRun(subject.constData(), subject.size(), run, 9), 16);
    EXPECT_EQ(findLiteralRun(subject.constData(), subject.size() - 1, run, 9), -1);
}

// Passing over positions must never change what the search finds.
TEST_P(SearchWithLiterals, FindsTheSameFirstMatch)
{
    RegExpr re(GetParam().pattern);
    const bool found = re.exec(GetParam().subject);
    if (!GetParam().firstMatch) {
        EXPECT_FALSE(found);
        return;
    }
    ASSERT_TRUE(found);
    EXPECT_EQ(re.match(0), GetParam().firstMatch);
}

INSTANTIATE_TEST_SUITE_P(Subjects, SearchWithLiterals,
    ::testing::Values(SearchCase { "ab*c", "xabbbcac", "abbbc" }, SearchCase { "a*bc", "xbcaabc", "bc" },
        SearchCase { "site.ru", "site\nru", "site\nru" }, SearchCase { "site.ru", "siteru site", nullptr },
        SearchCase { "<li value=(\\d*?)>x", "<li value=12y <li value=3>x", "<li value=3>x" },
        SearchCase {
            "<b>(\\d+)</b>|<a href=.*?ex.com.*?>(\\d+?)</a>", "<a href=1>2</a> <b>7</b>", "<b>7</b>" },
        SearchCase { "<b>(\\d+)</b>|<a href=.*?ex.com.*?>(\\d+?)</a>", "<a href=ex.com>2</a> <b>7</b>",
            "<a href=ex.com>2</a>" },
        SearchCase { "x|", "abc", "" }, SearchCase { "(a|b)c", "aac", "ac" },
        SearchCase { "[<>]a", QByteArray("\0<a", 3), nullptr }, SearchCase { "a[[:]|b:]", "xb:]", "b:]" },
        SearchCase { "a[[:]|b:]x]", "zb:]x]", "b:]x]" }, SearchCase { "a[[:alpha:]]|b", "xbab", "b" }));
