#include "rank/lookup/EngineLookups.h"

#include "platform/CodePage.h"
#include "rank/lookup/EngineClients.h"
#include "rank/lookup/EngineTable.h"
#include "rank/lookup/LookupHost.h"

EngineLookups::EngineLookups(LookupHost& host, EngineClients& clients)
    : m_host(host)
    , m_clients(clients)
    , m_scans(host, clients)
    , m_api(host, clients)
{
}

void EngineLookups::check(Engine engine, int n)
{
    if (!m_host.engineChecked(engine)) {
        m_host.notAsked(engine, n, Outcome::engineNotTicked());
        return;
    }
    if (m_host.stopRequested()) {
        m_host.notAsked(engine, n, Outcome::stopped());
        return;
    }
    const EngineRow& row = engineRow(engine);
    EngineClients::applySettings(m_clients.engine(engine), m_host.connectionSettings());
    m_host.advanceGauge(engine, kGaugeStep);
    m_host.processEvents();

    const QByteArray keyword = CodePage::toAnsi(m_host.keyword(n));
    m_host.resetRankCell(engine, n);
    if (row.hasQueryCount())
        m_host.resetCountCell(engine, n);
    if (keyword.isEmpty()) {
        m_host.notAsked(engine, n, Outcome::keywordEmpty());
        return;
    }
    if (row.hasQueryCount()) {
        const ScanResult count = queryCount(engine, n, keyword);
        m_host.writeCountCell(engine, n, CodePage::fromAnsi(count.text), count.why);
    }
    const ScanResult result = rank(engine, n, keyword);
    m_host.writeRankCell(engine, n, CodePage::fromAnsi(result.text), result.resultPage, result.why);
}

// Through Wordstat's pages or its API; after the API refused a count, it is not asked again.
ScanResult EngineLookups::queryCount(Engine engine, int n, const QByteArray& keyword)
{
    if (m_clients.wordstatSource() == SourceKind::Page)
        return m_scans.QueryWordstatCount(encodeKeyword(m_clients.definitions().engine(engine), keyword));
    if (const std::optional<Outcome>& refused = m_clients.wordstatRefusal())
        return { "n/a", 50, *refused };
    const ScanResult count = m_api.wordstatCount(m_host.keyword(n));
    if (count.why.reason == Reason::Refused)
        m_clients.noteWordstatRefused(count.why);
    return count;
}

ScanResult EngineLookups::rank(Engine engine, int n, const QByteArray& keyword)
{
    if (m_clients.keepsBlocking(engine))
        return { "n/a", 50, Outcome::blockedSkipped() };
    const bool api = m_clients.sourceFor(engine) != SourceKind::Page;
    if (api) {
        if (const std::optional<Outcome>& refused = m_clients.refusal(engine))
            return { "n/a", 50, *refused };
    }
    const ScanResult result = api ? m_api.scan(engine, m_host.keyword(n)) : m_scans.scan(engine, keyword);
    if (result.why.reason != Reason::Stopped)
        m_clients.noteLookupBlocked(engine, result.why.reason == Reason::Blocked);
    if (result.why.reason == Reason::Refused)
        m_clients.noteRefused(engine, result.why);
    return result;
}
