#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

// A pattern that cannot be compiled, or a search that could not be completed.
// Compile errors read "<description> (pos N)"; a search is never reported as "not found" when
// it was abandoned.
class ERegExpr : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reading a page needed more work than its budget allows (a page built to make the search
// backtrack, or a pattern made from a careless site address); the search is abandoned.
class EPageTooComplex : public ERegExpr {
public:
    using ERegExpr::ERegExpr;
};

// The work that reading one subject may take, shared by exec() and every execNext() after it:
// unitsPerByte for every byte of the subject, plus baseUnits. A unit is one step of the pattern
// engine's backtracking.
struct PageBudget {
    qint64 unitsPerByte = 8;
    qint64 baseUnits = 1 << 18;
};

// One compiled pattern of the program's dialect: Perl-style leftmost-first search over
// bytes, "." crossing line breaks, \s = space, tab, LF, CR, FF only, \w = ASCII word bytes.
// Subjects are matched up to their first NUL byte. Compilation happens at the first
// search (patterns built from a typed site address fail there), or by compile().
// The work of reading one subject is bounded by its length (PageBudget): a search that would go
// beyond throws EPageTooComplex.
class RegExpr {
public:
    explicit RegExpr(QByteArray pattern);
    ~RegExpr();
    RegExpr(const RegExpr&) = delete;
    RegExpr& operator=(const RegExpr&) = delete;

    // Throws ERegExpr.
    void compile();
    // First match; replaces the subject and the match and starts the subject's budget.
    // Throws ERegExpr (compile error) and EPageTooComplex.
    bool exec(const QByteArray& subject);
    // The same for a subject whose bytes before its first NUL are known to be searchedLength (a
    // subject read before by another pattern, as its searchedLength() says).
    bool exec(const QByteArray& subject, qsizetype searchedLength);
    // Next match after the current one, never overlapping; false without a current match.
    // Throws EPageTooComplex.
    bool execNext();
    // Empty when the group took no part or does not exist; group 0 is the whole match.
    QByteArray match(int group) const;
    // -1 and 0 when the group took no part or does not exist.
    qsizetype matchPos(int group) const;
    qsizetype matchLen(int group) const;

    const QByteArray& pattern() const { return m_pattern; }
    // The pattern's capturing groups; compiles it first (throws ERegExpr).
    int groupCount();
    // The bytes of the current subject that are searched: those before its first NUL.
    qsizetype searchedLength() const;

    // Applies from the next exec().
    void setBudget(const PageBudget& budget) { m_budget = budget; }
    // Units the current subject may take in all, and the units it has taken so far.
    qint64 budgetLimit() const;
    qint64 budgetUsed() const;
    // Starting positions the pattern engine was run at, or charged as such, for the current
    // subject: none when every candidate was passed over by the literal pre-scan.
    qint64 attempts() const;

private:
    // A match found at the position, and the limit of the try it finished within: every limit is a
    // power of two, and the try before it, with half the limit, ran out.
    struct Attempt {
        bool found = false;
        qint64 finishedWithin = 0;
    };
    enum class Candidate { Viable, NotHere, NoneLater };

    bool search(qsizetype start);
    qint64 searchCandidates(qsizetype start, qsizetype last, qint64 stretchLimit);
    bool searchStretches(qsizetype start);
    bool matchPossibleFrom(qsizetype from);
    qint64 candidatesWithin(
        qsizetype first, qsizetype last, qint64 unitsPerCandidate, qsizetype& misses) const;
    void chargeStretch(qsizetype first, qsizetype last, qsizetype matchLength, qint64 unitsPerCandidate);
    void chargeCandidatesAhead(qsizetype first, qsizetype last, qint64 unitsPerCandidate);
    void setLimits(uint32_t matchUnits, size_t offsetLimit);
    [[noreturn]] static void fail(int result);
    qsizetype nextCandidate(qsizetype from, qsizetype* misses = nullptr) const;
    bool requiredRunsFrom(size_t alternative, qsizetype from);
    Candidate viability(qsizetype position);
    Attempt attemptAt(qsizetype position);
    void charge(qint64 units);
    [[noreturn]] void budgetExhausted() const;

    struct Impl;
    QByteArray m_pattern;
    PageBudget m_budget;
    std::unique_ptr<Impl> d;
};
