#include "rank/lookup/RequestAttempts.h"

#include "net/HttpClient.h"
#include "rank/lookup/EngineClients.h"
#include "rank/lookup/LookupHost.h"
#include "rank/lookup/WaitOneSecond.h"

RequestAttempts::RequestAttempts(
    LookupHost& host, EngineClients& clients, HttpClient& client, AttemptRule rule)
    : m_host(host)
    , m_clients(clients)
    , m_client(client)
    , m_rule(rule)
{
}

void RequestAttempts::setBlockMarkers(Engine engine, const QList<BlockMarker>& markers)
{
    m_blockEngine = engine;
    m_blockMarkers = markers;
}

std::optional<Outcome> RequestAttempts::refusal(bool failed) const
{
    if (!m_blockEngine)
        return std::nullopt;
    const LastReply& last = m_client.lastReply();
    const ReplySeen seen { last.status, last.location, last.headerNames, last.body, failed };
    if (const std::optional<BlockKind> kind = blockedBy(m_blockMarkers, seen))
        return Outcome::blocked(blockedDetail(*m_blockEngine, *kind));
    return std::nullopt;
}

Fetched RequestAttempts::fetch(const QByteArray& url)
{
    return fetch([&url](HttpClient& client) { return client.get(url); });
}

Fetched RequestAttempts::fetch(const std::function<QByteArray(HttpClient&)>& send)
{
    for (;;) {
        if (m_prepare)
            m_prepare();
        WaitOneSecond();
        if (m_host.stopRequested())
            return { std::nullopt, Outcome::stopped() };
        try {
            if (m_rule == AttemptRule::PageScan)
                m_host.waitWhilePaused();
            QByteArray page = send(m_client);
            m_clients.noteAnswered();
            m_host.processEvents();
            if (std::optional<Outcome> refused = refusal(false))
                return { std::nullopt, *refused };
            return { std::move(page), Outcome::found(0) };
        } catch (const EHttpAborted&) {
            return { std::nullopt, Outcome::stopped() };
        } catch (const EHttpError& e) {
            if (std::optional<Outcome> refused = refusal(true)) {
                m_clients.noteAnswered();
                m_host.processEvents();
                return { std::nullopt, *refused };
            }
            const QString error = QString::fromUtf8(e.what());
            m_clients.noteFailure(error);
            ++m_failures;
            m_host.processEvents();
            if (m_failures > kMaxFailures)
                return { std::nullopt, Outcome::failed(m_failures, error) };
        }
    }
}
