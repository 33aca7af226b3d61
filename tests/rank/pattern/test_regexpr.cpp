#include "rank/pattern/RegExpr.h"

#include <QList>
#include <gtest/gtest.h>

namespace {

const QByteArray kGoogleEntry = R"re(<div[^<>]*?>\s*?(<h2[^<>]*?>)*?\s*?<a href="(.*?)")re";

QList<QByteArray> allMatches(RegExpr& re, const QByteArray& subject, int group)
{
    QList<QByteArray> found;
    for (bool ok = re.exec(subject); ok; ok = re.execNext())
        found.append(re.match(group));
    return found;
}

bool matches(const QByteArray& pattern, const QByteArray& subject)
{
    RegExpr re(pattern);
    return re.exec(subject);
}

std::string compileError(const QByteArray& pattern)
{
    RegExpr re(pattern);
    try {
        re.compile();
    } catch (const ERegExpr& e) {
        return e.what();
    }
    return "compiled";
}

} // namespace

TEST(RegExpr, LazyGroupStopsAtTheFirstQuoteAndWalksEntriesInOrder)
{
    RegExpr re(R"re(<a href="(.*?)")re");
    const QByteArray line = R"(<p><a href="http://one.ru/a">One</a> <a href="http://two.ru/">Two</a></p>)";
    ASSERT_TRUE(re.exec(line));
    EXPECT_EQ(re.match(1), "http://one.ru/a");
    EXPECT_EQ(re.matchPos(1), 12);
    EXPECT_EQ(re.matchLen(1), 15);
    ASSERT_TRUE(re.execNext());
    EXPECT_EQ(re.match(1), "http://two.ru/");
    EXPECT_FALSE(re.execNext());
    EXPECT_FALSE(re.execNext());
}

TEST(RegExpr, GoogleEntryWithAndWithoutHeading)
{
    RegExpr re(kGoogleEntry);
    const QByteArray page = "<div class=g>\n<h2 class=r><a href=\"http://first.ru/\">1</a></h2></div>"
                            "<div class=g><a href=\"http://second.ru/\">2</a></div>";
    ASSERT_TRUE(re.exec(page));
    EXPECT_EQ(re.match(1), "<h2 class=r>");
    EXPECT_EQ(re.match(2), "http://first.ru/");
    ASSERT_TRUE(re.execNext());
    EXPECT_EQ(re.match(1), "");
    EXPECT_EQ(re.matchPos(1), -1);
    EXPECT_EQ(re.match(2), "http://second.ru/");
    EXPECT_FALSE(re.execNext());

    ASSERT_TRUE(re.exec("<div><h2 a><h2 b><a href=\"x\""));
    EXPECT_EQ(re.match(1), "<h2 b>"); // the last repetition
}

TEST(RegExpr, LineBreaksBetweenTagsAndInsideAttributes)
{
    RegExpr yandex(R"re(<li[^<>]*?>\s*?<h3>\s*?<a href="(.*?)")re");
    EXPECT_EQ(
        allMatches(yandex, "<li class=\"b\">\r\n<h3>\n<a href=\"http://a.ru/\"><li>\n\n<h3><a href=\"b\"", 1),
        (QList<QByteArray> { "http://a.ru/", "b" }));

    RegExpr rambler(R"re(<li>\s*?<div class="ttl">\s*?<a onclick=".*?" href="(.*?)")re");
    ASSERT_TRUE(
        rambler.exec("<li>\r\n<div class=\"ttl\">\t<a onclick=\"go(1,\r\n'x')\" href=\"http://r.ru/\">"));
    EXPECT_EQ(rambler.match(1), "http://r.ru/");
}

TEST(RegExpr, CharacterClassesAreAsciiAndCLocale)
{
    for (const char* space : { " ", "\t", "\n", "\r", "\f" })
        EXPECT_TRUE(matches(R"(a\sb)", QByteArray("a") + space + "b")) << int(*space);
    EXPECT_FALSE(matches(R"(a\sb)",
        "a\xA0"
        "b"));
    EXPECT_FALSE(matches(R"(a\sb)",
        "a\x0B"
        "b"));
    EXPECT_FALSE(matches(R"(a[\s]b)",
        "a\x0B"
        "b"));
    EXPECT_FALSE(matches(R"(a\s*?b)",
        "a \x0B"
        "b"));
    EXPECT_TRUE(matches(R"(a\Sb)",
        "a\x0B"
        "b"));

    RegExpr word(R"(\w+)");
    ASSERT_TRUE(word.exec("\xCF\xF0\xE8\xE2\xE5\xF2 ab_09Z \xC0"));
    EXPECT_EQ(word.match(0), "ab_09Z");
    EXPECT_FALSE(matches(R"([\w])", "\xE0\xFF\xB8"));
    EXPECT_FALSE(matches(R"(\d)", "\xB2\xB3\xB9"));
    EXPECT_FALSE(matches(R"([_a-z\d\-\.])", "ABC/\xE0"));
}

TEST(RegExpr, CaseSensitiveAndLeftmostFirst)
{
    EXPECT_FALSE(matches("<div", "<DIV class=g><Div>"));

    RegExpr re(R"(<a href="(http://www.|http://)example.com)");
    ASSERT_TRUE(re.exec(R"(<a href="http://www.example.com/">)"));
    EXPECT_EQ(re.match(1), "http://www.");
    ASSERT_TRUE(re.exec(R"(<a href="http://example.com/">)"));
    EXPECT_EQ(re.match(1), "http://");
    EXPECT_FALSE(re.exec(R"(<a href="http://www.Example.com/">)"));
}

TEST(RegExpr, SubjectEndsAtTheFirstNulByte)
{
    RegExpr re(R"re(<a href="(.*?)")re");
    const QByteArray page("<a href=\"before\">\0<a href=\"after\">", 35);
    EXPECT_EQ(allMatches(re, page, 1), QList<QByteArray> { "before" });
    EXPECT_FALSE(re.exec(QByteArray("\0<a href=\"after\">", 18)));
    EXPECT_FALSE(matches("a.b", QByteArray("a\0b", 3)));
    EXPECT_FALSE(matches("x*", ""));
}

TEST(RegExpr, NextMatchAdvancesPastEmptyMatches)
{
    RegExpr re(R"(\d*)");
    QList<QPair<qsizetype, QByteArray>> found;
    for (bool ok = re.exec("a12b"); ok; ok = re.execNext())
        found.append({ re.matchPos(0), re.match(0) });
    const QList<QPair<qsizetype, QByteArray>> expected { { 0, "" }, { 1, "12" }, { 3, "" }, { 4, "" } };
    EXPECT_EQ(found, expected);

    RegExpr fresh("a");
    EXPECT_FALSE(fresh.execNext());
    EXPECT_FALSE(fresh.exec("b"));
    EXPECT_FALSE(fresh.execNext());
}

TEST(RegExpr, GroupTextOfMissingGroupsIsEmpty)
{
    RegExpr re("(a)|(b)(c)?(d)(e)(f)(g)(h)(i)(j)(k)(l)(m)(n)");
    ASSERT_TRUE(re.exec("xbdefghijklmn"));
    EXPECT_EQ(re.match(0), "bdefghijklmn");
    EXPECT_EQ(re.match(1), "");
    EXPECT_EQ(re.match(2), "b");
    EXPECT_EQ(re.match(3), "");
    EXPECT_EQ(re.match(14), "n");
    EXPECT_EQ(re.match(15), "");
    EXPECT_EQ(re.match(-1), "");
    EXPECT_EQ(re.matchPos(15), -1);
    EXPECT_EQ(re.matchLen(1), 0);
}

TEST(RegExpr, CompileErrorsNameThePosition)
{
    EXPECT_EQ(compileError("<a href=(.*?"), "missing closing parenthesis (pos 12)");
    EXPECT_EQ(compileError("[_a-z"), "missing terminating ] for character class (pos 5)");
    EXPECT_EQ(compileError("site\\"), "\\ at end of pattern (pos 5)");
    EXPECT_EQ(compileError("*site"), "quantifier does not follow a repeatable item (pos 1)");
    EXPECT_EQ(compileError("a|+b"), "quantifier does not follow a repeatable item (pos 3)");
    EXPECT_EQ(compileError("site)x"), "unmatched closing parenthesis (pos 5)");
    EXPECT_EQ(compileError(kGoogleEntry), "compiled");
}

TEST(RegExpr, PatternFromATypedAddressFailsAtFirstUse)
{
    const QByteArray typedSite = "example.com(/";
    RegExpr re("<a href=\"(http://www.|http://)" + typedSite);
    EXPECT_THROW(re.exec("<a href=\"http://example.com(/\">"), ERegExpr);
    EXPECT_THROW(re.exec(""), ERegExpr);
}

TEST(RegExpr, RunawaySearchIsAnErrorNotANotFound)
{
    RegExpr re("(a+)+b");
    const QByteArray subject = QByteArray(40, 'a') + "!b";
    try {
        re.exec(subject);
        FAIL() << "the search ended normally";
    } catch (const EPageTooComplex& e) {
        EXPECT_TRUE(std::string(e.what()).starts_with("Страница слишком сложна для чтения")) << e.what();
    }
}

TEST(RegExpr, CountPatternStaysWithinLimitsOnALargePageWithoutTheSite)
{
    QByteArray page;
    while (page.size() < 1024 * 1024)
        page += "<tr><td><a href=\"http://other.ru/catalog/\">Other site</a></td><td>&nbsp;</td></tr>\r\n";
    page += "<b>Total 12345</b>";
    RegExpr re(R"(<b>.*? (\d+).*?</b>|<a href=.*?example.com.*?>(\d+?)</a>)");
    ASSERT_TRUE(re.exec(page));
    EXPECT_EQ(re.match(1), "12345");
    EXPECT_EQ(re.match(2), "");
}
