#pragma once

#include "rank/api/ApiSourceDefinition.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The requests of the API sources, byte for byte. Keywords are Unicode text; JSON bodies carry them
// as UTF-8, URLs percent-encoded. 64-bit numbers go into the JSON as strings, as the Yandex Cloud
// documentation writes them.

// A JSON string literal of the text, quotes included.
QByteArray jsonText(const QString& text);

// Whether a key or folder id can go into a header or a URL as it is: printable ASCII without
// spaces, at most 512 characters.
bool isUsableKey(const QString& key);

// Yandex Search API v2: the body of one page (from 0) of groupsOnPage results.
QByteArray yandexSearchBody(
    const ApiSourceDefinition& source, const QString& keyword, int page, const QString& folderId);
// Where it goes: ApiUrl, or for a deferred search ApiUrl + "Async" (".../v2/web/searchAsync").
QByteArray yandexSearchUrl(const ApiSourceDefinition& source, bool deferred);
// The address that tells the state of a deferred search.
QByteArray operationUrl(const ApiSourceDefinition& source, const QByteArray& operationId);
// "Authorization: Api-Key KEY", for every Yandex Cloud request.
QList<QByteArray> yandexHeaders(const QString& apiKey);

// The Wordstat topRequests body of one keyword.
QByteArray wordstatBody(const ApiSourceDefinition& source, const QString& keyword, const QString& folderId);

// The SERP JSON API's URL of the results from start (0 for the first) on; the region's parts are
// filled already. The key goes in by {key} unless the definitions name a header for it.
QByteArray serpUrl(
    const ApiSourceDefinition& source, const QString& keyword, int start, const QString& apiKey);
QList<QByteArray> serpHeaders(const ApiSourceDefinition& source, const QString& apiKey);
