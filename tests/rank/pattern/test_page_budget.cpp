#include "rank/lookup/EngineDefinitions.h"
#include "rank/pattern/RegExpr.h"

#include <QList>
#include <gtest/gtest.h>

namespace {

// The engines' result patterns as their lookups use them; the numbered ones get the site key.
struct EnginePattern {
    std::string engine;
    QByteArray pattern;
    bool numbered;
};

std::vector<EnginePattern> enginePatterns()
{
    std::vector<EnginePattern> patterns;
    for (Engine engine : kEngines) {
        const EngineDefinition& row = builtInEngine(engine);
        patterns.push_back(
            { row.key.toStdString(), row.resultPattern, row.pageRule == PageRule::EngineNumbered });
    }
    return patterns;
}

const QByteArray kGoogle = builtInEngine(Engine::GoogleCom).resultPattern;
const QByteArray kYandex = builtInEngine(Engine::YandexRu).resultPattern;
const QByteArray kAport = builtInEngine(Engine::AportRu).resultPattern;

// The texts every pattern needs after an entry's start, so that no page is passed over whole.
const QByteArray kTail = "<p>http://example.com/ b <a href=\"http://site.ru/\"></p>";

QByteArray liValueDigits(int n)
{
    return "<li value=" + QByteArray(n, '7') + kTail;
}
QByteArray divSpaces(int n)
{
    return "<div>" + QByteArray(n, ' ') + "<a href=x \"" + kTail;
}
QByteArray openQuotes(int n)
{
    QByteArray page;
    while (page.size() < n)
        page += "<div class=g><h2><a href=\"http://x <li class=r value=1><h3><a href=\"x "
                "<li>\n<div class=\"ttl\">\n<a onclick=\"x <li value=1>\n<span class=title>\n<a href=\"x ";
    return page + kTail;
}
QByteArray runOfA(int n)
{
    return QByteArray(n, 'a') + kTail;
}
QByteArray longLinks(int n)
{
    QByteArray page;
    const QByteArray as(30, 'a');
    while (page.size() < n)
        page += "<li value=7>\n<span class=title>\n<a href=\"http://" + as
            + "\"><li class=\"r\" value=7><div class=\"title\"><i></i><a href=\"http://" + as
            + "\"></a></div></li>\n";
    return page + kTail;
}

struct Family {
    const char* name;
    QByteArray (*page)(int);
    QByteArray siteKey;
};

const Family kFamilies[] = {
    { "li_value_digits", liValueDigits, "example.com" },
    { "div_spaces", divSpaces, "example.com" },
    { "open_quotes", openQuotes, "example.com" },
    { "quantified_address", longLinks, "(a|aa)+b" },
};

// Reads a page as the lookups do: every entry, or the first entry holding the site.
int readPage(RegExpr& re, const QByteArray& page, bool numbered)
{
    int entries = 0;
    for (bool ok = re.exec(page); ok; ok = !numbered && re.execNext())
        ++entries;
    return entries;
}

constexpr PageBudget kTightBudget { 8, 4096 };

class HostilePage : public ::testing::TestWithParam<std::tuple<EnginePattern, Family>> { };

} // namespace

// Whatever a page holds, reading it takes at most its budget: it is read, or refused as too
// complex, never worked on beyond.
TEST_P(HostilePage, ReadingStaysWithinABudgetProportionalToThePage)
{
    const auto& [engine, family] = GetParam();
    for (int size : { 2000, 8000, 32000 }) {
        RegExpr re(engine.numbered ? engine.pattern + family.siteKey : engine.pattern);
        re.setBudget(kTightBudget);
        const QByteArray page = family.page(size);
        try {
            readPage(re, page, engine.numbered);
            EXPECT_LE(re.budgetUsed(), re.budgetLimit()) << size;
        } catch (const EPageTooComplex& e) {
            EXPECT_TRUE(std::string(e.what()).starts_with("Страница слишком сложна для чтения")) << e.what();
        }
        EXPECT_EQ(re.budgetLimit(), kTightBudget.baseUnits + kTightBudget.unitsPerByte * page.size());
    }
}

INSTANTIATE_TEST_SUITE_P(Families, HostilePage,
    ::testing::Combine(::testing::ValuesIn(enginePatterns()), ::testing::ValuesIn(kFamilies)),
    [](const auto& info) { return std::get<0>(info.param).engine + "_" + std::get<1>(info.param).name; });

namespace {

struct Quadratic {
    const char* name;
    QByteArray pattern;
    QByteArray (*page)(int);
};

class QuadraticPage : public ::testing::TestWithParam<Quadratic> { };

} // namespace

// Pages on which a backtracking search does work growing with the square of their length (or
// worse) are given up within the budget that a page of results of the same length reads in.
TEST_P(QuadraticPage, IsTooComplexWhereAResultPageOfItsLengthIsRead)
{
    const QByteArray hostile = GetParam().page(20000);
    RegExpr re(GetParam().pattern);
    re.setBudget(kTightBudget);
    EXPECT_THROW(re.exec(hostile), EPageTooComplex);
    EXPECT_GT(re.budgetUsed(), re.budgetLimit());

    QByteArray results;
    for (int n = 1; results.size() < hostile.size(); ++n)
        results += "<li value=" + QByteArray::number(n) + ">\n<span class=title>\n<a href=\"http://www.site"
            + QByteArray::number(n)
            + ".ru/\">T</a></span></li>\n<div class=g>\n<h2 class=r><a href=\"http://s"
            + QByteArray::number(n) + ".ru/\">T</a></h2></div>\n<li class=\"r\" value="
            + QByteArray::number(n) + "><div class=\"title\"><i></i><a href=\"http://site"
            + QByteArray::number(n) + ".ru/\"></a></div></li>\n";
    results += "<li value=99>\n<span class=title>\n<a href=\"http://www.aaab/\">";
    results += "<li class=\"r\" value=99><div class=\"title\"><i></i><a href=\"http://aaab/\">";
    EXPECT_TRUE(re.exec(results));
    EXPECT_LE(re.budgetUsed(), re.budgetLimit());
}

INSTANTIATE_TEST_SUITE_P(Pages, QuadraticPage,
    ::testing::Values(Quadratic { "google_div_spaces", kGoogle, divSpaces },
        Quadratic { "aport_quantified_address", kAport + "(a|aa)+b", longLinks },
        Quadratic { "yandex_quantified_address", kYandex + "(a|aa)+b", longLinks },
        // Repetitions the pattern engine runs through without counting, taken up again from every
        // byte of one long run.
        Quadratic { "greedy_class_run", "a[^<]*b", runOfA },
        Quadratic { "greedy_byte_run", "a\\w*b", runOfA },
        Quadratic { "possessive_class_run", "a[^<b]*+b", runOfA }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PageBudget, IsSharedByTheFirstAndEveryNextMatchOfOnePage)
{
    QByteArray page;
    for (int n = 0; n < 200; ++n)
        page += "<div class=g><a href=\"http://site" + QByteArray::number(n) + ".ru/\">T</a></div>\n";
    RegExpr re(kGoogle);
    re.setBudget({ 0, 1000 });
    ASSERT_TRUE(re.exec(page));
    int entries = 1;
    try {
        while (re.execNext())
            ++entries;
        FAIL() << "the whole page was read within a budget made for a few entries";
    } catch (const EPageTooComplex&) {
    }
    EXPECT_GT(entries, 1);
    EXPECT_LT(entries, 200);

    // The next page starts with a budget of its own.
    EXPECT_TRUE(re.exec(page));
    EXPECT_EQ(re.match(2), "http://site0.ru/");
}

TEST(PageBudget, DefaultBudgetReadsALargeResultPageWhole)
{
    QByteArray page;
    while (page.size() < 1024 * 1024)
        page += "<div class=g>\n<h2 class=r><a href=\"http://www.site.ru/page.html\" class=l>Title</a></h2>"
                "<div class=s>Snippet text &hellip; more words<br><cite>site.ru/</cite></div></div>\n";
    RegExpr re(kGoogle);
    int entries = 0;
    for (bool ok = re.exec(page); ok; ok = re.execNext())
        ++entries;
    EXPECT_GT(entries, 5000);
    EXPECT_LT(re.budgetUsed(), re.budgetLimit() / 4);
}

// A tight budget has the search run over short stretches of the page, one after the other: a
// match is found wherever it starts, at the first byte of a stretch or at its last.
TEST(PageBudget, ShortStretchesFindEveryMatch)
{
    for (int gap = 1; gap < 120; ++gap) {
        QByteArray page;
        QList<qsizetype> expected;
        for (int n = 0; n < 12; ++n) {
            page += QByteArray(gap, 'b');
            expected.append(page.size());
            page += "ab";
        }
        RegExpr re("ab");
        re.setBudget({ 1, 400 });
        QList<qsizetype> found;
        for (bool ok = re.exec(page); ok; ok = re.execNext())
            found.append(re.matchPos(0));
        EXPECT_EQ(found, expected) << "gap " << gap;
        EXPECT_LE(re.budgetUsed(), re.budgetLimit()) << "gap " << gap;
    }
}

// A count is run through in one step of the engine's: every try is charged for the bytes it may
// pass over, so a page of tries that each pass over thousands of bytes is given up after a few.
TEST(PageBudget, ACountIsChargedForTheBytesItMayPassOver)
{
    const QByteArray page = QByteArray(20000, 'a') + 'y';
    RegExpr anywhere(".{4000}y"); // no byte tells where it can start: every position is tried
    anywhere.setBudget(kTightBudget);
    EXPECT_THROW(anywhere.exec(page), EPageTooComplex);
    EXPECT_LT(anywhere.attempts(), 1000);

    RegExpr oneRun("a{4000}b");
    oneRun.setBudget(kTightBudget);
    EXPECT_TRUE(oneRun.exec(QByteArray(3990, 'c') + QByteArray(4000, 'a') + 'b'));
    EXPECT_LE(oneRun.budgetUsed(), oneRun.budgetLimit());
}

namespace {

// A page of the given size: opening, then near-misses, then closing.
QByteArray nearMisses(
    const QByteArray& opening, const QByteArray& nearMiss, const QByteArray& closing, int size)
{
    QByteArray page = opening;
    while (page.size() < size)
        page += nearMiss;
    return page + closing;
}

} // namespace

// One near-miss that needs thousands of steps and one real entry let a stretch allow each later
// position as many; every candidate of a stretch is charged all it allows, so a page of near-misses
// just within that is given up, not read to its end at a fraction of its cost.
TEST(PageBudget, APrimedLimitIsChargedInFullForEveryLaterCandidate)
{
    const QByteArray google = "<div class=g><a href=\"http://site.ru/\">T</a></div>\n";
    const QByteArray yandex = "<li value=1><div class=\"title\"><i></i><a href=\"http://other.ru/\">T</a>\n";
    const struct {
        Engine engine;
        QByteArray page;
    } rows[] = {
        { Engine::GoogleCom,
            nearMisses("<div>" + QByteArray(70, ' ') + "x" + google,
                "<div>" + QByteArray(44, ' ') + "x" + QByteArray(24, 'x'), google, 256 * 1024) },
        { Engine::YandexRu,
            nearMisses("<li value=" + QByteArray(70, '7') + "<" + yandex,
                "<li value=" + QByteArray(36, '7') + "<" + QByteArray(24, 'x'), yandex + "example.com",
                256 * 1024) },
    };
    for (const auto& row : rows) {
        RegExpr re(builtInEngine(row.engine).resultPattern);
        int entries = 0;
        try {
            for (bool ok = re.exec(row.page); ok; ok = re.execNext())
                ++entries;
            ADD_FAILURE() << "a page of near-misses was read to its end with " << re.budgetUsed() << " of "
                          << re.budgetLimit() << " units";
        } catch (const EPageTooComplex&) {
            EXPECT_GT(re.budgetUsed(), re.budgetLimit());
        }
        EXPECT_LE(entries, 1);
    }
}

// The pattern engine counts no step for taking up the next alternative: every alternative is charged.
TEST(PageBudget, EveryAlternativeTakenUpIsCharged)
{
    QByteArray words;
    for (int i = 0; i < 2000; ++i)
        words += (i ? "|w" : "w") + QByteArray::number(i) + 'q';
    RegExpr inGroup("<a href=\"(?:" + words + ")\"");
    ASSERT_TRUE(inGroup.exec("<a href=\"w7x <a href=\"w1999q\""));
    EXPECT_GE(inGroup.budgetUsed(), 2 * 2000);

    // Groups that backtrack into each other: two to the twentieth ways for every candidate.
    QByteArray inTurn = "<a href=\"";
    for (int i = 0; i < 20; ++i)
        inTurn += "(a|a)";
    RegExpr captured(inTurn + "x");
    captured.setBudget(kTightBudget);
    EXPECT_THROW(captured.exec(nearMisses("", "<a href=\"" + QByteArray(24, 'a'), "<a href=\"aaaa x", 4000)),
        EPageTooComplex);
    EXPECT_LE(captured.attempts(), 2);
}

// A literal is compared within one step: every step is charged for the literal bytes it may pass over.
TEST(PageBudget, ALongLiteralIsChargedForItsBytes)
{
    RegExpr re("." + QByteArray(8000, 'a') + "b");
    EXPECT_THROW(re.exec(QByteArray(28000, 'a') + "b"), EPageTooComplex);
    EXPECT_LT(re.attempts(), 1000);
}
