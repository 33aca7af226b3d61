#pragma once

#include "rank/api/SourceKind.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

// How the Yandex Search API is asked: an answer at once, or an operation polled until done
// (a sixteenth of the price; scheduled checks only).
enum class ApiMode { Immediate, Deferred };

inline constexpr char kDefaultYandexSearchUrl[] = "https://searchapi.api.cloud.yandex.net/v2/web/search";
inline constexpr char kDefaultWordstatUrl[]
    = "https://searchapi.api.cloud.yandex.net/v2/wordstat/topRequests";
inline constexpr char kDefaultOperationsUrl[] = "https://operation.api.cloud.yandex.net/operations/";

// The sources a definitions section offers for its engine (or for the query count), and how its
// API source, when it offers one, is asked and read.
struct ApiSourceDefinition {
    QList<SourceKind> offered { SourceKind::Page }; // the first is the default
    QByteArray apiUrl; // empty: the default of the API source offered
    ApiMode mode = ApiMode::Immediate;
    QByteArray operationsUrl = kDefaultOperationsUrl; // the operation's id is appended
    int pollSeconds = 5;
    int pollLimitSeconds = 600;
    QByteArray searchType = "SEARCH_TYPE_RU";
    int groupsOnPage = 100;
    QByteArray apiKeyHeader; // serp-json: the key goes in this header; empty: by {key} in the URL
    QString resultsPath = QStringLiteral("organic_results"); // names joined by "."
    QString positionField = QStringLiteral("position");
    QString linkField = QStringLiteral("link");
    QString errorField = QStringLiteral("error");
    QString noResultsText = QStringLiteral("hasn't returned any results");
    int yandexRegion = 0; // the Yandex region of the check under way; 0: none

    // The API source the section offers, if any (a section offers one at most).
    std::optional<SourceKind> apiSource() const;
    // The source chosen by its code when the section offers it, else the first one offered.
    SourceKind inForce(const QString& chosenCode) const;
    // ApiUrl, or the documented address of the API source when the section gives none.
    QByteArray url() const;
};

// Why an API address cannot be used; empty when it can. It must be https, or plain http to a
// loopback host (127.0.0.0/8, ::1, localhost), and printable ASCII without spaces.
QString apiUrlProblem(const QString& url);
