#pragma once

// The plain PCRE2 search the program's searches must agree with: the pattern compiled with the
// program's options and searched from each start in one call by the interpreter, as the dialect
// defines it. Used to check that the ways RegExpr saves work never change a match.

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include "rank/pattern/RegExpr.h"

#include <QByteArray>
#include <QList>
#include <cstdlib>
#include <optional>

namespace ReferenceSearch {

struct Span {
    qsizetype start;
    qsizetype length;
    bool operator==(const Span&) const = default;
};

using Match = QList<Span>; // group 0 first; -1 for groups that took no part

// Texts on which the reference is not the dialect's meaning: the vertical tab (\s of the C
// locale), and constructs whose effect depends on how the starting positions are tried.
inline bool comparable(const QByteArray& pattern, const QByteArray& subject)
{
    return !subject.contains('\x0B') && !pattern.contains('\x0B') && !pattern.contains("(*")
        && !pattern.contains("\\G") && !pattern.contains("\\K") && !pattern.contains("(?C")
        && !pattern.contains("\\x0") && !pattern.contains("\\v") && !pattern.contains("\\cK")
        && !pattern.contains("\\013") && !pattern.contains("\\o");
}

// The pattern compiled for the plain search; with machine code when it is searched many times.
class Reference {
public:
    Reference(const QByteArray& pattern, bool jit)
    {
        int errorCode = 0;
        PCRE2_SIZE errorOffset = 0;
        m_code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.constData()), PCRE2_SIZE(pattern.size()),
            PCRE2_DOTALL | PCRE2_NEVER_UTF | PCRE2_NEVER_UCP | PCRE2_NEVER_BACKSLASH_C, &errorCode,
            &errorOffset, nullptr);
        if (!m_code)
            return;
        m_jit = jit && pcre2_jit_compile(m_code, PCRE2_JIT_COMPLETE) == 0;
        m_data = pcre2_match_data_create_from_pattern(m_code, nullptr);
        m_context = pcre2_match_context_create(nullptr);
        pcre2_set_match_limit(m_context, 50000);
        pcre2_set_depth_limit(m_context, 10000);
    }
    ~Reference()
    {
        pcre2_match_context_free(m_context);
        pcre2_match_data_free(m_data);
        pcre2_code_free(m_code);
    }
    Reference(const Reference&) = delete;
    Reference& operator=(const Reference&) = delete;

    // Every match, as exec() and execNext() walk them; nothing when the reference gave up.
    std::optional<QList<Match>> allMatches(const QByteArray& subject, int most) const
    {
        if (!m_code)
            return std::nullopt;
        const qsizetype nul = subject.indexOf('\0');
        const qsizetype length = nul < 0 ? subject.size() : nul;
        QList<Match> matches;
        for (qsizetype start = 0; length > 0 && start <= length && matches.size() < most;) {
            const int result = pcre2_match(m_code, reinterpret_cast<PCRE2_SPTR>(subject.constData()),
                PCRE2_SIZE(length), PCRE2_SIZE(start), m_jit ? 0 : PCRE2_NO_JIT, m_data, m_context);
            if (result == PCRE2_ERROR_NOMATCH)
                break;
            if (result < 0)
                return std::nullopt;
            const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(m_data);
            const uint32_t pairs = pcre2_get_ovector_count(m_data);
            Match match;
            for (uint32_t g = 0; g < pairs; ++g) {
                if (ovector[2 * g] == PCRE2_UNSET)
                    match.append({ -1, 0 });
                else
                    match.append(
                        { qsizetype(ovector[2 * g]), qsizetype(ovector[2 * g + 1] - ovector[2 * g]) });
            }
            matches.append(match);
            start = ovector[0] == ovector[1] ? qsizetype(ovector[1]) + 1 : qsizetype(ovector[1]);
        }
        return matches;
    }

private:
    pcre2_code* m_code = nullptr;
    pcre2_match_data* m_data = nullptr;
    pcre2_match_context* m_context = nullptr;
    bool m_jit = false;
};

// The same walk through RegExpr; nothing when the page was too complex.
inline std::optional<QList<Match>> programMatches(
    RegExpr& re, const QByteArray& subject, int groups, int most)
{
    QList<Match> matches;
    try {
        for (bool ok = re.exec(subject); ok && matches.size() < most; ok = re.execNext()) {
            Match match;
            for (int g = 0; g <= groups; ++g)
                match.append({ re.matchPos(g), re.matchLen(g) });
            matches.append(match);
        }
    } catch (const EPageTooComplex&) {
        return std::nullopt;
    }
    return matches;
}

// Aborts, so that the fuzzer keeps the input, when the two searches disagree.
inline void expectSameMatches(
    RegExpr& re, const Reference& reference, const QByteArray& pattern, const QByteArray& subject)
{
    constexpr int kMost = 64;
    if (!comparable(pattern, subject))
        return;
    const auto expected = reference.allMatches(subject, kMost);
    if (!expected)
        return;
    const int groups = expected->isEmpty() ? 0 : int(expected->front().size()) - 1;
    const auto program = programMatches(re, subject, groups, kMost);
    if (!program)
        return;
    if (*program != *expected)
        std::abort();
}

inline void expectSameMatches(RegExpr& re, const QByteArray& pattern, const QByteArray& subject)
{
    if (comparable(pattern, subject))
        expectSameMatches(re, Reference(pattern, false), pattern, subject);
}

} // namespace ReferenceSearch
