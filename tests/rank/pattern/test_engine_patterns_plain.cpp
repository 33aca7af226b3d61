// The engines' own patterns against plain PCRE2 on pages mixing every engine's entries with entries
// whose long attributes need more work than a short search allows: every entry found, in its place
// and with its groups, is the one the library finds by itself.

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include "rank/lookup/EngineDefinitions.h"
#include "rank/pattern/RegExpr.h"

#include <QList>
#include <gtest/gtest.h>

namespace {

using Groups = QList<qsizetype>; // start and length of every group of one match, group 0 first

QList<Groups> libraryMatches(const QByteArray& pattern, const QByteArray& page)
{
    int error = 0;
    PCRE2_SIZE offset = 0;
    pcre2_code* code
        = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.constData()), PCRE2_SIZE(pattern.size()),
            PCRE2_DOTALL | PCRE2_NEVER_UTF | PCRE2_NEVER_UCP, &error, &offset, nullptr);
    if (!code) {
        ADD_FAILURE() << "plain PCRE2 cannot compile " << pattern.constData();
        return {};
    }
    pcre2_match_data* data = pcre2_match_data_create_from_pattern(code, nullptr);
    QList<Groups> found;
    for (PCRE2_SIZE start = 0; start <= PCRE2_SIZE(page.size());) {
        const int count = pcre2_match(code, reinterpret_cast<PCRE2_SPTR>(page.constData()),
            PCRE2_SIZE(page.size()), start, 0, data, nullptr);
        if (count < 0)
            break;
        const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(data);
        Groups groups;
        for (uint32_t g = 0; g < pcre2_get_ovector_count(data); ++g) {
            const bool set = ovector[2 * g] != PCRE2_UNSET;
            groups << (set ? qsizetype(ovector[2 * g]) : -1)
                   << (set ? qsizetype(ovector[2 * g + 1] - ovector[2 * g]) : 0);
        }
        found.append(groups);
        start = ovector[0] == ovector[1] ? ovector[1] + 1 : ovector[1];
    }
    pcre2_match_data_free(data);
    pcre2_code_free(code);
    return found;
}

QList<Groups> budgetedMatches(const QByteArray& pattern, const QByteArray& page, int groupCount)
{
    RegExpr re(pattern);
    QList<Groups> found;
    for (bool ok = re.exec(page); ok; ok = re.execNext()) {
        Groups groups;
        for (int g = 0; g <= groupCount; ++g)
            groups << re.matchPos(g) << re.matchLen(g);
        found.append(groups);
    }
    return found;
}

// Entries of all six layouts; every third one's opening tag holds a long run of attributes.
QByteArray mixedPage(int padding)
{
    const QByteArray pad(padding, ' ');
    QByteArray page;
    for (int n = 1; n <= 30; ++n) {
        const QByteArray k = QByteArray::number(n);
        const QByteArray extra
            = n % 3 == 0 ? " data-x=\"" + QByteArray(padding, 'x') + "\"" + pad : QByteArray();
        page += "<div class=g" + extra + ">\n<h2 class=r><a href=\"http://www.site" + k
            + ".ru/\">T</a></h2></div>\n";
        page += "<li class=\"r\" value=" + k + extra + ">\n<div class=\"title\"" + extra
            + ">\n<i class=\"ic\">\n</i>\n<a class=\"l\" href=\"http://site" + k
            + ".net/\">T</a></div></li>\n";
        page += "<li>\n<div class=\"ttl\">\n<a onclick=\"return rc(this,{pos:" + k + "})\" href=\"http://s"
            + k + ".org/\">T</a></div></li>\n";
        page += "<li value=" + k + ">\n<span class=title>\n<a href=\"http://www.a" + k
            + ".ru/\">T</a></span></li>\n";
        page += "<li class=\"b\"" + extra + " num=\"" + k + "\">\n  <h3>\n<a href=\"http://m" + k
            + ".ru/\">T</a></h3></li>\n";
    }
    return page;
}

class EnginePatternOnMixedPage : public ::testing::TestWithParam<std::tuple<Engine, int>> { };

} // namespace

TEST_P(EnginePatternOnMixedPage, FindsWhatPlainPcre2Finds)
{
    const auto [engine, padding] = GetParam();
    const QByteArray page = mixedPage(padding);
    const EngineDefinition& row = builtInEngine(engine);
    QList<QByteArray> patterns { row.resultPattern };
    if (row.pageRule == PageRule::EngineNumbered)
        patterns << row.resultPattern + "(site|www.a)1[0-9].(ru|net)";
    for (const QByteArray& pattern : patterns) {
        const QList<Groups> expected = libraryMatches(pattern, page);
        ASSERT_FALSE(expected.isEmpty()) << pattern.constData();
        EXPECT_EQ(budgetedMatches(pattern, page, int(expected.first().size() / 2) - 1), expected)
            << pattern.constData() << " padding " << padding;
    }
}

INSTANTIATE_TEST_SUITE_P(Engines, EnginePatternOnMixedPage,
    ::testing::Combine(::testing::ValuesIn(kEngines), ::testing::Values(0, 40, 400, 4000)),
    [](const auto& info) {
        return builtInEngine(std::get<0>(info.param)).key.toStdString() + "_padding"
            + std::to_string(std::get<1>(info.param));
    });
