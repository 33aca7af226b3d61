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

TEST(PatternLiteralsRead, LastRunIsFoundFromTheEnd)
{
    const RunNeedle needle = runNeedle([] {
        PatternLiterals::Run run;
        for (char c : QByteArray("site.ru"))
            run.push_back({ c, c == '.' });
        return run;
    }());
    const QByteArray subject = "site-ru site!ru site.rx";
    EXPECT_EQ(findLastLiteralRun(subject.constData(), subject.size(), needle), 8);
    EXPECT_EQ(findLastLiteralRun(subject.constData(), 14, needle), 0);
    EXPECT_EQ(findLastLiteralRun(subject.constData(), 6, needle), -1);
    EXPECT_EQ(findLastLiteralRun("ru", 2, needle), -1);
}

// The counts go sixteen bytes at a time and sum their lanes every 255 rounds: lengths around both.
TEST(PatternLiteralsRead, BytesAndPairsAreCountedOverEveryLength)
{
    QByteArray subject;
    for (int i = 0; i < 255 * 16 * 2 + 40; ++i)
        subject += "<li<"[i % 4 == 3 ? 3 : (i * 7) % 3];
    for (qsizetype length :
        { 0, 1, 15, 16, 17, 33, 255 * 16 - 1, 255 * 16, 255 * 16 + 1, 255 * 16 * 2 + 39 }) {
        qsizetype bytes = 0, pairs = 0;
        for (qsizetype i = 0; i < length; ++i) {
            bytes += subject[i] == '<' ? 1 : 0;
            pairs += i + 1 < length && subject[i] == '<' && subject[i + 1] == 'l' ? 1 : 0;
        }
        EXPECT_EQ(countByte(subject.constData(), length, '<'), bytes) << length;
        EXPECT_EQ(countPairs(subject.constData(), length, '<', 'l'), pairs) << length;
    }
    const QByteArray full(255 * 16 * 3 + 5, '<'); // every lane full in every round
    EXPECT_EQ(countByte(full.constData(), full.size(), '<'), full.size());
    EXPECT_EQ(countPairs(full.constData(), full.size(), '<', '<'), full.size() - 1);
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
