#pragma once

#include "rank/lookup/BlockedReply.h"
#include "rank/lookup/LookupOutcome.h"

#include <QByteArray>
#include <functional>
#include <optional>

class EngineClients;
class HttpClient;
class LookupHost;

// How an attempt treats a pause.
enum class AttemptRule {
    // Engine pages: after its wait an attempt waits while the check is paused, then sends.
    PageScan,
    // CY and PageRank: no pause wait, so a stop asked for at any time before the request is sent
    // sends nothing, and a stop during the request ends it at once.
    Metric,
};

// A page, or why there is none (Reason::Stopped, Reason::Failed or Reason::Blocked).
struct Fetched {
    std::optional<QByteArray> page;
    Outcome why;
};

// The retry step of all lookups: every attempt runs the preparation (if any), waits for the
// request interval, ends on a stop, waits while paused (page scans), then sends. A failed request
// is counted and tried again; more than five failures end it. The count lives as long as this
// object, so an engine that counts per page makes one per page, one that counts per scan one
// per scan.
class RequestAttempts {
public:
    RequestAttempts(LookupHost& host, EngineClients& clients, HttpClient& client,
        AttemptRule rule = AttemptRule::PageScan);

    // Runs before each attempt's wait (the metrics apply the connection settings there).
    void setPreparation(std::function<void()> prepare) { m_prepare = std::move(prepare); }
    // The refusal signs of the engine asked: a reply that refuses ends the attempts at once, since
    // asking again only makes it worse. A page's body is judged by the caller, who knows whether
    // it holds results.
    void setBlockMarkers(Engine engine, const QList<BlockMarker>& markers);

    Fetched fetch(const QByteArray& url); // GET
    Fetched fetch(const std::function<QByteArray(HttpClient&)>& send);

    static constexpr int kMaxFailures = 5;

private:
    // Why the last reply is a refusal; failed: the reply failed the request, so its body is no page.
    std::optional<Outcome> refusal(bool failed) const;

    LookupHost& m_host;
    EngineClients& m_clients;
    HttpClient& m_client;
    AttemptRule m_rule;
    std::function<void()> m_prepare;
    std::optional<Engine> m_blockEngine;
    QList<BlockMarker> m_blockMarkers;
    int m_failures = 0;
};
