#pragma once

#include "rank/api/ApiSourceDefinition.h"

#include <QByteArray>
#include <QList>
#include <QString>

// What one answer of an API source says.
enum class AnswerKind {
    Results, // results (possibly fewer than asked: the list ended), or the count
    NotFound, // the source has no results for the keyword (from this place on)
    RetryLater, // too many requests: ask again after a pause
    Refused, // the source will not answer this check (key, limit, folder): do not ask again
    Blocked, // the source took the request for a robot's
    Unrecognised, // an answer that cannot be read
    Pending, // a deferred search that is not done yet
};

struct ApiResult {
    int position = 0; // counted from 1 across the pages of the answer
    QString link;
};

struct ApiAnswer {
    AnswerKind kind = AnswerKind::Unrecognised;
    QList<ApiResult> results;
    qint64 count = -1; // Wordstat: the keyword's monthly count
    QByteArray operationId; // a deferred search: the operation to poll
    QString detail; // Russian, naming the source; empty for Results

    static ApiAnswer unrecognised(SourceKind source, const QString& why);
    static ApiAnswer refused(SourceKind source, const QString& why);
};

// The largest answer read; a larger one is unrecognised.
inline constexpr qsizetype kMaxAnswerBytes = 8 * 1024 * 1024;
// The most results read from one answer.
inline constexpr int kMaxAnswerResults = 1000;

// What an HTTP status outside 2xx says: 429 is RetryLater, 401 and 403 Refused (the key); anything
// else is a failed request (Unrecognised here, the caller retries it).
ApiAnswer answerToStatus(SourceKind source, int status);

// Yandex Search API: the JSON with rawData (Base64 of the XML). firstIfUnsaid numbers the first
// group of a page that does not say its own.
ApiAnswer readYandexSearch(const QByteArray& json, int firstIfUnsaid);
// The XML result itself.
ApiAnswer readYandexXml(const QByteArray& xml, int firstIfUnsaid);
// A deferred search's operation: Pending with its id until done, then what its rawData says.
ApiAnswer readOperation(const QByteArray& json, int firstIfUnsaid);

// A SERP JSON API's answer for the results from start (0-based) on.
ApiAnswer readSerpJson(const QByteArray& json, const ApiSourceDefinition& source, int start);

// Wordstat topRequests: totalCount, as a JSON string or a number.
ApiAnswer readWordstat(const QByteArray& json);
