#pragma once

#include "rank/lookup/EngineDefinition.h"
#include "rank/pattern/RegExpr.h"

#include <QByteArray>
#include <optional>

// What one result page says about the site.
struct PageReading {
    // Entries the engine's pattern found: up to and including the site's one when it was found.
    int entries = 0;
    // The site's position: counted by the program, or the engine's own number of the entry.
    std::optional<QByteArray> position;
    // What reading the page cost: budget units of its searches, and the positions at which the
    // pattern engine was run (none when the literal pre-scan passed over the whole page).
    qint64 budgetUsed = 0;
    qint64 attempts = 0;
};

// Reads an engine's result pages for one site key (the site address as SiteKey gives it,
// in the ANSI code page). Patterns are compiled at the first page read.
// Throws EPageTooComplex for a page that exhausts its search budget, and ERegExpr, its text
// starting with kSiteAddressError, when the site address makes the pattern invalid.
class PageReader {
public:
    PageReader(const EngineDefinition& row, const QByteArray& siteKey);

    // pageIndex is zero-based; counted positions depend on it.
    PageReading read(const QByteArray& page, int pageIndex);

private:
    PageReading readCounted(const QByteArray& page, int pageIndex);
    PageReading readNumbered(const QByteArray& page);
    bool linkNamesSite(const QByteArray& page, qsizetype linkPos, qsizetype linkLen) const;

    const EngineDefinition& m_row;
    QByteArray m_siteKey;
    RegExpr m_entries;
    std::optional<RegExpr> m_siteEntry; // numbered rules: the entry pattern followed by the site key
};

// The start of the error text of a pattern that the site address made invalid.
extern const char kSiteAddressError[];

// Compiles a pattern that holds the site address; a compile error says that the address caused it.
void compileWithSiteAddress(RegExpr& pattern);

// One page of one engine, as the lookups read it.
PageReading readResultPage(
    const EngineDefinition& row, const QByteArray& page, const QByteArray& siteKey, int pageIndex);
