#pragma once

#include "net/HttpVersion.h"
#include "net/UrlScheme.h"
#include "rank/api/ApiSourceDefinition.h"
#include "rank/api/Placeholders.h"
#include "rank/lookup/BlockedReply.h"
#include "rank/lookup/Engine.h"

#include <QByteArray>
#include <QString>

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

// How one engine is asked and how its result pages are read: the part of an engine that the
// engine definitions give, and that a definitions file may change.
struct EngineDefinition {
    Engine engine;
    QString key; // the engine's section in the definitions and its host's key in the endpoints
    QString host; // "host" or "host:port"
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
    UrlScheme scheme = UrlScheme::Http;
    // How a reply that refuses results to a program looks; HTTP 429 is one without any marker.
    QList<BlockMarker> blocked;
    // The sources offered for the engine's column, and how its API source is asked.
    ApiSourceDefinition api;
};

// A service read for one figure: the query count of a keyword, the citation index or the PageRank
// of the site. The placeholder ("{keyword}" or "{site}") is replaced in the URL, the form and the
// pattern; the figure is the first group of the pattern that matched a text.
struct ServiceDefinition {
    QString key; // the section in the definitions and the host's key in the endpoints
    QString host;
    QByteArray urlTemplate; // path and query
    QByteArray form; // a form line sent by POST; empty: the service is asked by GET
    QByteArray pattern;
    UrlScheme scheme = UrlScheme::Http;
    // Wordstat: the sources offered for the query count, and how its API source is asked.
    ApiSourceDefinition api;
};

// "http://host" or "https://host": where the request line's path and query go.
QByteArray serviceOrigin(const ServiceDefinition& service, const QString& host);

// The URL of one result page (zero-based) on the given host, keyword already encoded.
QByteArray resultPageUrl(
    const EngineDefinition& engine, const QString& host, int page, const QByteArray& keyword);

// The name of the query parameter that carries a placeholder ("{keyword}" or "{page}").
QByteArray queryParameterOf(const EngineDefinition& engine, const QByteArray& placeholder);
