// The budgeted search against plain PCRE2 on generated patterns and pages: every match (its
// place and its groups) must be the one the library finds by itself. The patterns mix what the
// literal pre-scan reads (literal runs, ".", prefixes, top-level alternatives) with what it
// passes over, and the pages are built from few bytes so that runs overlap and nearly match.

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include "rank/pattern/RegExpr.h"

#include <QList>
#include <gtest/gtest.h>
#include <random>

namespace {

constexpr std::uint32_t kSeed = 20240607;
constexpr int kPatterns = 800;
constexpr int kPagesPerPattern = 6;

struct Found {
    qsizetype pos;
    qsizetype len;
    qsizetype groupPos;
    qsizetype groupLen;
    bool operator==(const Found&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Found& f)
{
    return out << '(' << f.pos << ',' << f.len << " g1 " << f.groupPos << ',' << f.groupLen << ')';
}

class Generator {
public:
    explicit Generator(std::uint32_t seed)
        : m_random(seed)
    {
    }

    int below(int n) { return int(m_random() % std::uint32_t(n)); }

    char pageByte()
    {
        static constexpr char kBytes[] = "aaaaabbbc<>\n";
        return kBytes[below(int(sizeof kBytes) - 1)];
    }

    QByteArray literal()
    {
        static constexpr char kBytes[] = "aaabbc<>";
        QByteArray run;
        const int length = 1 + below(4);
        for (int i = 0; i < length; ++i)
            run += kBytes[below(int(sizeof kBytes) - 1)];
        return run;
    }

    QByteArray item()
    {
        switch (below(20)) {
        case 0:
        case 1:
        case 2:
            return ".";
        case 3:
            return ".*?";
        case 4:
            return "[ab]";
        case 5:
            return "[^<>]*?";
        case 6:
            return literal() + "+";
        case 7:
            return "b?";
        case 8:
            return "\\s*?";
        case 9:
            return '(' + literal() + '|' + literal() + ')';
        // Repetitions the engine is given in chunks.
        case 10:
            return "[ab]*";
        case 11:
            return "a*";
        case 12:
            return "[^<>]*";
        case 13:
            return "[ab]*+";
        case 14:
            return "a{2,}?";
        case 15:
            return "a{17}";
        default:
            return literal();
        }
    }

    QByteArray alternative()
    {
        QByteArray made;
        const int items = 1 + below(5);
        const int grouped = below(items + 1); // no group when it falls past the end
        for (int i = 0; i < items; ++i)
            made += i == grouped ? '(' + item() + ')' : item();
        return made;
    }

    QByteArray pattern()
    {
        QByteArray made = alternative();
        if (below(4) == 0)
            made += '|' + alternative();
        return made;
    }

    // Now and then a run long enough for repetitions to take more than one chunk of it.
    QByteArray page()
    {
        QByteArray made;
        const int length = below(48);
        for (int i = 0; i < length; ++i)
            made += below(16) == 0 ? QByteArray(16 + below(24), pageByte()) : QByteArray(1, pageByte());
        return made;
    }

    // The pattern's own bytes with "." as any byte, a byte now and then doubled or left out: pages
    // that hold matches, near misses and overlapping runs.
    QByteArray nearly(const QByteArray& pattern)
    {
        QByteArray made;
        for (qsizetype i = 0; i < pattern.size(); ++i) {
            const char c = pattern[i];
            if (c == '\\') {
                ++i;
                made += ' ';
                continue;
            }
            if (QByteArray("()?*+[]^|").contains(c))
                continue;
            const char byte = c == '.' ? pageByte() : c;
            const int fate = below(10);
            if (fate == 0)
                continue;
            made += byte;
            if (fate == 1)
                made += byte;
        }
        return made;
    }

private:
    std::mt19937 m_random;
};

// Plain PCRE2, leftmost-first, the next search after the end of a match (one byte further after
// an empty one). An empty page is no page: the program reads nothing in it.
QList<Found> libraryMatches(const QByteArray& pattern, const QByteArray& page)
{
    int error = 0;
    PCRE2_SIZE offset = 0;
    pcre2_code* code
        = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.constData()), PCRE2_SIZE(pattern.size()),
            PCRE2_DOTALL | PCRE2_NEVER_UTF | PCRE2_NEVER_UCP, &error, &offset, nullptr);
    if (!code)
        ADD_FAILURE() << "plain PCRE2 cannot compile " << pattern.constData();
    if (!code)
        return {};
    pcre2_jit_compile(code, PCRE2_JIT_COMPLETE);
    pcre2_match_data* data = pcre2_match_data_create_from_pattern(code, nullptr);
    QList<Found> found;
    for (PCRE2_SIZE start = 0; !page.isEmpty() && start <= PCRE2_SIZE(page.size());) {
        if (pcre2_match(code, reinterpret_cast<PCRE2_SPTR>(page.constData()), PCRE2_SIZE(page.size()), start,
                0, data, nullptr)
            < 0)
            break;
        const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(data);
        const bool group = pcre2_get_ovector_count(data) > 1 && ovector[2] != PCRE2_UNSET;
        found.append({ qsizetype(ovector[0]), qsizetype(ovector[1] - ovector[0]),
            group ? qsizetype(ovector[2]) : -1, group ? qsizetype(ovector[3] - ovector[2]) : 0 });
        start = ovector[0] == ovector[1] ? ovector[1] + 1 : ovector[1];
    }
    pcre2_match_data_free(data);
    pcre2_code_free(code);
    return found;
}

// Some generated patterns backtrack to the cube of a short page: the budget here is wide enough for
// them, as what is compared is the matches.
QList<Found> budgetedMatches(const QByteArray& pattern, const QByteArray& page)
{
    RegExpr re(pattern);
    re.setBudget(PageBudget { 8, 1 << 24 });
    QList<Found> found;
    for (bool ok = re.exec(page); ok; ok = re.execNext())
        found.append({ re.matchPos(0), re.matchLen(0), re.matchPos(1), re.matchLen(1) });
    return found;
}

TEST(PatternDifferential, EveryMatchIsTheOneTheLibraryFinds)
{
    Generator generate(kSeed);
    int cases = 0, withMatches = 0;
    for (int p = 0; p < kPatterns; ++p) {
        const QByteArray pattern = generate.pattern();
        for (int s = 0; s < kPagesPerPattern; ++s) {
            // Two pages in three carry the pattern's own bytes, so that many searches find something.
            QByteArray page = generate.page();
            for (int copies = s % 3; copies > 0; --copies)
                page.insert(generate.below(int(page.size()) + 1), generate.nearly(pattern));
            const QList<Found> expected = libraryMatches(pattern, page);
            ASSERT_EQ(budgetedMatches(pattern, page), expected)
                << "pattern " << pattern.constData() << "\npage " << page.toPercentEncoding().constData();
            ++cases;
            withMatches += expected.isEmpty() ? 0 : 1;
        }
    }
    EXPECT_EQ(cases, kPatterns * kPagesPerPattern);
    // The generator is worth its cases only while many of them find something.
    EXPECT_GT(withMatches, cases / 4);
}

} // namespace
