#pragma once

#include "rank/api/ApiAnswer.h"
#include "rank/lookup/Engine.h"
#include "rank/lookup/PageScans.h"

#include <QString>
#include <functional>

class EngineClients;
class HttpClient;
class LookupHost;
struct EngineDefinition;

// The lookups of the engines whose source in force is an API, and the Wordstat count through its
// API. They read as deep as page reading would (twenty pages of the engine's page size) in as few
// requests as the source allows, and match the site against each result's link by the rule of
// page reading. Keywords are Unicode text here.
class ApiScans {
public:
    ApiScans(LookupHost& host, EngineClients& clients);

    ScanResult scan(Engine engine, const QString& keyword);
    ScanResult wordstatCount(const QString& keyword);

    // The longest pause before a request asked again after "too many requests".
    static constexpr int kMaxRetryPauseMs = 60000;

private:
    using Send = std::function<QByteArray(HttpClient&)>;
    using Read = std::function<ApiAnswer(const QByteArray&)>;
    // One request with the retries of all lookups: a failed request or "too many requests" is asked
    // again after a growing pause, up to the attempts of a page. Nothing, with the outcome in why,
    // when it ends without an answer.
    std::optional<ApiAnswer> ask(
        SourceKind source, HttpClient& client, const Send& send, const Read& read, bool billed, Outcome& why);

    ScanResult scanYandex(const EngineDefinition& row, const QString& keyword);
    ScanResult scanSerp(const EngineDefinition& row, const QString& keyword);
    // A deferred Yandex search: the operation polled until done or past its time bound.
    std::optional<ApiAnswer> askDeferred(
        const EngineDefinition& row, const QByteArray& body, int first, Outcome& why);
    // The outcome of an answer that ends the scan (anything but results), its detail without keys.
    ScanResult endedBy(const ApiAnswer& answer, int depth, SourceKind source);
    // The key the source needs is missing or unusable: refused before any request.
    std::optional<Outcome> missingKey(SourceKind source) const;
    QString withoutKeys(QString text) const;
    QByteArray siteKey() const;

    LookupHost& m_host;
    EngineClients& m_clients;
};
