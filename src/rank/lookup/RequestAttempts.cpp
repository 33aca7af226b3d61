#include "rank/lookup/RequestAttempts.h"

#include "net/HttpClient.h"
#include "rank/lookup/LookupHost.h"
#include "rank/lookup/WaitOneSecond.h"

RequestAttempts::RequestAttempts(LookupHost& host, HttpClient& client)
    : m_host(host)
    , m_client(client)
{
}

std::optional<QByteArray> RequestAttempts::fetch(const QByteArray& url)
{
    for (;;) {
        WaitOneSecond();
        if (m_host.stopRequested())
            return std::nullopt;
        try {
            m_host.waitWhilePaused();
            QByteArray page = m_client.get(url);
            m_host.processEvents();
            return page;
        } catch (const EHttpAborted&) {
            return std::nullopt;
        } catch (const EHttpError&) {
            ++m_failures;
            m_host.processEvents();
            if (m_failures > kMaxFailures)
                return std::nullopt;
        }
    }
}
