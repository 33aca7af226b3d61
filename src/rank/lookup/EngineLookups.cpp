#include "rank/lookup/EngineLookups.h"

#include "platform/CodePage.h"
#include "rank/lookup/EngineClients.h"
#include "rank/lookup/EngineTable.h"
#include "rank/lookup/LookupHost.h"

EngineLookups::EngineLookups(LookupHost& host, EngineClients& clients)
    : m_host(host)
    , m_clients(clients)
    , m_scans(host, clients)
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
        const ScanResult count
            = m_scans.QueryWordstatCount(encodeKeyword(m_clients.definitions().engine(engine), keyword));
        m_host.writeCountCell(engine, n, CodePage::fromAnsi(count.text), count.why);
    }
    if (m_clients.keepsBlocking(engine)) {
        const ScanResult skipped { "n/a", 50, Outcome::blockedSkipped() };
        m_host.writeRankCell(engine, n, CodePage::fromAnsi(skipped.text), skipped.resultPage, skipped.why);
        return;
    }
    const ScanResult result = m_scans.scan(engine, keyword);
    if (result.why.reason != Reason::Stopped)
        m_clients.noteLookupBlocked(engine, result.why.reason == Reason::Blocked);
    m_host.writeRankCell(engine, n, CodePage::fromAnsi(result.text), result.resultPage, result.why);
}
