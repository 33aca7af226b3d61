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
            return { std::move(page), Outcome::found(0) };
        } catch (const EHttpAborted&) {
            return { std::nullopt, Outcome::stopped() };
        } catch (const EHttpError& e) {
            const QString error = QString::fromUtf8(e.what());
            m_clients.noteFailure(error);
            ++m_failures;
            m_host.processEvents();
            if (m_failures > kMaxFailures)
                return { std::nullopt, Outcome::failed(m_failures, error) };
        }
    }
}
