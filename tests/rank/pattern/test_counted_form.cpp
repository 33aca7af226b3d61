// How patterns are written for the pattern engine so that it counts the work of every repetition,
// and which constructs are refused because their work cannot be counted.

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include "rank/pattern/CountedForm.h"
#include "rank/pattern/RegExpr.h"

#include <gtest/gtest.h>

namespace {

bool libraryItemMatches(const QByteArray& item, char byte)
{
    int error = 0;
    PCRE2_SIZE offset = 0;
    pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(item.constData()), PCRE2_SIZE(item.size()),
        PCRE2_DOTALL | PCRE2_ANCHORED, &error, &offset, nullptr);
    if (!code)
        return false;
    pcre2_match_data* data = pcre2_match_data_create_from_pattern(code, nullptr);
    const int result = pcre2_match(code, reinterpret_cast<PCRE2_SPTR>(&byte), 1, 0, 0, data, nullptr);
    pcre2_match_data_free(data);
    pcre2_code_free(code);
    return result > 0;
}

QByteArray counted(const QByteArray& pattern)
{
    return countedForm(pattern, libraryItemMatches).text;
}

struct Written {
    const char* pattern;
    const char* engineText;
};

class CountedFormRows : public ::testing::TestWithParam<Written> { };

} // namespace

TEST_P(CountedFormRows, IsWrittenSoThatEveryStepIsCounted)
{
    EXPECT_EQ(counted(GetParam().pattern), QByteArray(GetParam().engineText)) << GetParam().pattern;
}

INSTANTIATE_TEST_SUITE_P(Patterns, CountedFormRows,
    ::testing::Values(
        // A run that the next byte cannot continue is taken whole, in chunks, lazy or greedy.
        Written { "<li[^<>]*?>", "<li(?:[^<>]{1,8}+)*+>" }, Written { "<li[^<>]*>", "<li(?:[^<>]{1,8}+)*+>" },
        Written { "a\\s+<", "a\\s{1}(?:\\s{1,8}+)*+<" }, Written { "(\\d*?)>", "((?:\\d{1,8}+)*+)>" },
        Written { "x\\s*\\.", "x(?:\\s{1,8}+)*+\\." },
        // Possessive runs are taken in chunks whatever follows.
        Written { "a[^<]*+b", "a(?:[^<]{1,8}+)*+b" },
        // Greedy runs the next byte may continue give back one byte at a time, largest count first.
        Written { "a[^<]*b", "a(?:[^<]{8})*[^<]{0,7}b" },
        Written { "(\\d*)[^<]", "((?:\\d{8})*\\d{0,7})[^<]" }, Written { ".*x", "(?:.{8})*.{0,7}x" },
        Written { "a+", "a{1}(?:a{8})*a{0,7}" },
        // Lazy runs the next byte may continue are counted byte by byte already.
        Written { "<a href=\"(.*?)\"", "<a href=\"(.*?)\"" }, Written { "[^<>]*?value=", "[^<>]*?value=" },
        // A next byte that may be left out, or a repeated group's end, tells nothing.
        Written { "a[^<]*?b?c", "a[^<]*?b?c" }, Written { "(a[^<]*?)*b", "(a[^<]*?)*b" },
        // Counts stay as they are; a least count stays before the run.
        Written { "<b>(\\d{1,2})</b>", "<b>(\\d{1,2})</b>" }, Written { "a{60000}b", "a{60000}b" },
        Written { "a{20,}?b", "a{20}(?:a{1,8}+)*+b" }, Written { "a{20,}.", "a{20}(?:a{8})*a{0,7}." },
        // Classes, escapes and groups are items of their own; a literal brace is a byte.
        Written { "[]<]*>", "(?:[]<]{1,8}+)*+>" }, Written { "[\\]a]*b", "(?:[\\]a]{1,8}+)*+b" },
        Written { "(?:ab)*c", "(?:ab)*c" }, Written { "(?<n>a)*", "(?<n>a)*" }, Written { "a{x}b", "a{x}b" },
        // Every alternative, of a group or of the whole pattern, begins with a repetition that is
        // counted whenever the engine takes it up.
        Written { "(a|bc)d", "(\\x00?a|\\x00?bc)d" }, Written { "a|b", "\\x00?a|\\x00?b" },
        Written { "(?:(a|b)|c)*", "(?:\\x00?(\\x00?a|\\x00?b)|\\x00?c)*" },
        Written { "(?<n>a|b)", "(?<n>\\x00?a|\\x00?b)" }, Written { "(?P<n>a|b)", "(?P<n>\\x00?a|\\x00?b)" },
        Written { "[|]|x", "\\x00?[|]|\\x00?x" }));

namespace {

struct Refused {
    const char* pattern;
    const char* message;
};

class RefusedConstructs : public ::testing::TestWithParam<Refused> { };

} // namespace

TEST_P(RefusedConstructs, AreRefusedWithTheirPosition)
{
    try {
        counted(GetParam().pattern);
        ADD_FAILURE() << "accepted " << GetParam().pattern;
    } catch (const ERegExpr& e) {
        EXPECT_STREQ(e.what(), GetParam().message);
    }
}

INSTANTIATE_TEST_SUITE_P(Patterns, RefusedConstructs,
    ::testing::Values(
        Refused {
            "a(?>b*)c", "язык шаблонов знает только простые, незахватывающие и именованные группы (pos 2)" },
        Refused {
            "a(?=b)", "язык шаблонов знает только простые, незахватывающие и именованные группы (pos 2)" },
        Refused {
            "(?<!a)b", "язык шаблонов знает только простые, незахватывающие и именованные группы (pos 1)" },
        Refused {
            "(?i)a", "язык шаблонов знает только простые, незахватывающие и именованные группы (pos 1)" },
        Refused {
            "a(*COMMIT)b", "глаголы управления перебором, как (*COMMIT), не входят в язык шаблонов (pos 2)" },
        Refused { "(ab)*+c", "сверхжадное повторение группы не входит в язык шаблонов (pos 5)" },
        Refused { "\\Qa*\\E", "кавычки \\Q...\\E не входят в язык шаблонов (pos 1)" },
        Refused { "[\\Q]\\E]", "кавычки \\Q...\\E не входят в язык шаблонов (pos 2)" },
        Refused { "(a)\\1*", "такая escape-последовательность не входит в язык шаблонов (pos 5)" }));

// How many bytes one step of the engine's may pass over: what every step is charged for.
TEST(CountedForm, TellsTheMostBytesOneStepMayPassOver)
{
    const auto bytesPerStep
        = [](const char* pattern) { return countedForm(pattern, libraryItemMatches).bytesPerStep; };
    EXPECT_EQ(bytesPerStep("<a href=\"(.*?)\""), 3);
    EXPECT_EQ(bytesPerStep("<b>(\\d{1,2})</b>"), 2);
    EXPECT_EQ(bytesPerStep("<li[^<>]*?>"), 8);
    EXPECT_EQ(bytesPerStep("a{20}b{1,30}c{5,}?"), 5 + 20 + 30);
    EXPECT_EQ(bytesPerStep("a[^<]*b{60000}"), 8 + 60000);
    EXPECT_EQ(bytesPerStep("x(ab){1000}y"), 1 + 4 * 1000);
    // A ranged group is charged for its most repetitions, not its fewest.
    EXPECT_EQ(bytesPerStep("x(ab){1,1000}y"), 1 + 4 * 1000);
    // The literal bytes and classes between two counted steps, a quarter byte each: the path out of an
    // alternative goes on after its group from the longest alternative's end.
    EXPECT_EQ(bytesPerStep(QByteArray(400, 'a') + ".b"), 101);
    EXPECT_EQ(
        bytesPerStep("x*" + QByteArray(200, 'a') + "(b|" + QByteArray(300, 'c') + ")" + QByteArray(200, 'd')),
        (300 + 1 + 200 + 3) / 4);
    // Taking up an alternative counts as a step over a chunk.
    EXPECT_EQ(bytesPerStep("a|b"), 8);
}

// What the engine is given matches what the pattern matches, at the same places, with the same
// groups: RegExpr runs the counted form.
TEST(CountedForm, RegExprFindsWhatThePatternFinds)
{
    const QByteArray page = "<li class=x>  <h3> <a href=\"http://a.ru/\">" + QByteArray(40, 'a') + "b<li>";
    RegExpr entries("<li[^<>]*?>\\s*?<h3>\\s*?<a href=\"(.*?)\"");
    ASSERT_TRUE(entries.exec(page));
    EXPECT_EQ(entries.match(1), "http://a.ru/");
    RegExpr run("(a+)b");
    ASSERT_TRUE(run.exec(page));
    EXPECT_EQ(run.matchLen(1), 40);
    RegExpr refused("a(?>b)");
    EXPECT_THROW(refused.compile(), ERegExpr);
}
