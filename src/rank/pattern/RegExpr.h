#pragma once

#include <QByteArray>
#include <memory>
#include <stdexcept>
#include <string>

// A pattern that cannot be compiled, or a search that ran into a resource limit.
// Compile errors read "<description> (pos N)"; a search that exceeds the engine's limits
// (a pattern built from a careless site address) is abandoned with this error, never "not found".
class ERegExpr : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A page whose search ran out of its budget: the page is too complex to read.
class EPageTooComplex : public ERegExpr {
public:
    using ERegExpr::ERegExpr;
};

// One compiled pattern of the program's dialect: Perl-style leftmost-first search over
// bytes, "." crossing line breaks, \s = space, tab, LF, CR, FF only, \w = ASCII word bytes.
// Subjects are matched up to their first NUL byte. Compilation happens at the first
// search (patterns built from a typed site address fail there), or by compile().
class RegExpr {
public:
    explicit RegExpr(QByteArray pattern);
    ~RegExpr();
    RegExpr(const RegExpr&) = delete;
    RegExpr& operator=(const RegExpr&) = delete;

    // Throws ERegExpr.
    void compile();
    // First match; replaces the subject and the match. Throws ERegExpr (compile error, limit).
    bool exec(const QByteArray& subject);
    // Next match after the current one, never overlapping; false without a current match.
    bool execNext();
    // Empty when the group took no part or does not exist; group 0 is the whole match.
    QByteArray match(int group) const;
    // -1 and 0 when the group took no part or does not exist.
    qsizetype matchPos(int group) const;
    qsizetype matchLen(int group) const;

    const QByteArray& pattern() const { return m_pattern; }

private:
    bool search(qsizetype start);

    struct Impl;
    QByteArray m_pattern;
    std::unique_ptr<Impl> d;
};
