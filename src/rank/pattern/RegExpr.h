#pragma once

#include <QByteArray>
#include <memory>
#include <stdexcept>
#include <string>

// A pattern that cannot be compiled, or a search that ran into a resource limit.
// Compile errors read "<description> (pos N)".
class ERegExpr : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
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

    void compile();                       // throws ERegExpr
    bool exec(const QByteArray& subject); // first match; replaces subject and match
    bool execNext();                      // next match after the current one, never overlapping
    QByteArray match(int group) const;    // empty when the group took no part or does not exist
    qsizetype matchPos(int group) const;  // -1 when the group took no part
    qsizetype matchLen(int group) const;

    const QByteArray& pattern() const { return m_pattern; }

private:
    struct Impl;
    QByteArray m_pattern;
    std::unique_ptr<Impl> d;
};
