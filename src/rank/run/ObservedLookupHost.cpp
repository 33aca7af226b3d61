#include "rank/run/ObservedLookupHost.h"

#include "rank/run/RunObserver.h"

void ObservedLookupHost::writeCountCell(Engine engine, int n, const QString& text, const Outcome& why)
{
    m_host.writeCountCell(engine, n, text, why);
    if (m_observer)
        m_observer->countWritten(engine, n, m_host.keyword(n), text, why);
}

void ObservedLookupHost::writeRankCell(
    Engine engine, int n, const QString& text, int resultPage, const Outcome& why)
{
    m_host.writeRankCell(engine, n, text, resultPage, why);
    if (m_observer)
        m_observer->rankWritten(engine, n, m_host.keyword(n), text, resultPage, why);
}

void ObservedLookupHost::notAsked(Engine engine, int n, const Outcome& why)
{
    m_host.notAsked(engine, n, why);
    if (m_observer)
        m_observer->notAsked(engine, n, why);
}
