#pragma once

#include "net/HttpVersion.h"
#include "rank/lookup/Engine.h"

#include <QAnyStringView>
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

// How a keyword goes into an engine's URL.
enum class KeywordEncoding {
    Utf8Percent, // every UTF-16 code unit as percent-encoded UTF-8
    SpacesAsPercent20, // the ANSI bytes as typed, spaces as "%20"
};

// How a result page is read.
enum class PageRule {
    // The program counts the entries; the site's position is pageSize * page + its index.
    // A page without the site leads on to the next one.
    CountedToTheEnd,
    // As above, but a page with fewer than pageSize entries ends the list.
    CountedEndsOnShortPage,
    // The pattern followed by the site key finds the site's entry; group 1 holds the engine's
    // own number of it.
    EngineNumbered,
};

// Where an engine's Count column reads the monthly query count of a keyword: the host's key in the
// endpoint configuration, the path and query ("{keyword}" is replaced), and the pattern whose
// group 1 holds the figure.
struct QueryCountSource {
    QString host;
    QByteArray urlTemplate;
    QByteArray pattern;
};

// Everything the program knows of one engine. Plain data, so that rows could come from a file.
struct EngineRow {
    Engine engine;
    // Component names ("Rank" + key + n, "CheckBox" + key) and the key of the engine's host in the
    // endpoint configuration, which holds its default host.
    QString key;
    QString caption;
    QString reportCaption; // row 7 of the report
    QString gauge; // the gauge's component name
    bool tickedInNewProject;
    HttpVersion httpVersion;
    // Path and query; "{keyword}" and "{page}" are replaced, {page} by pageStep * page + pageOffset
    // for the zero-based page number.
    QByteArray urlTemplate;
    int pageStep;
    int pageOffset;
    KeywordEncoding keywordEncoding;
    QByteArray resultPattern; // in the program's pattern dialect
    int linkGroup; // counted rules: the group holding an entry's link
    PageRule pageRule;
    int pageSize; // counted rules: entries on a full page
    // The engine whose Count column shows the monthly query count has its source; the other
    // columns show "-".
    std::optional<QueryCountSource> queryCount = std::nullopt;

    bool hasQueryCount() const { return queryCount.has_value(); }
};

const EngineRow& engineRow(Engine engine);
// The keys of all engines, in the order of kEngines.
QStringList engineKeys();
// The engine a key names; nothing for a key no row has.
std::optional<Engine> engineByKey(QAnyStringView key);

// The URL of one result page (zero-based) on the given host, keyword already encoded.
QByteArray resultPageUrl(const EngineRow& row, const QString& host, int page, const QByteArray& keyword);

// The name of the query parameter that carries a placeholder ("{keyword}" or "{page}").
QByteArray queryParameterOf(const EngineRow& row, const QByteArray& placeholder);
