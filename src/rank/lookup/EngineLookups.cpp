#include "rank/lookup/EngineLookups.h"

#include "platform/CodePage.h"
#include "rank/lookup/LookupHost.h"
#include "rank/lookup/QueryText.h"

EngineLookups::EngineLookups(LookupHost& host)
    : m_host(host)
    , m_scans(host)
{
}

void EngineLookups::CheckGoogleCom(int n)
{
    checkPositions(Engine::GoogleCom, n, &PageScans::ScanGoogleCom, false);
}

void EngineLookups::CheckGoogleRu(int n)
{
    checkPositions(Engine::GoogleRu, n, &PageScans::ScanGoogleRu, false);
}

void EngineLookups::CheckRamblerRu(int n)
{
    checkPositions(Engine::RamblerRu, n, &PageScans::ScanRamblerRu, true);
}

void EngineLookups::CheckAportRu(int n)
{
    checkPositions(Engine::AportRu, n, &PageScans::ScanAportRu, true);
}

void EngineLookups::CheckMSNCom(int n)
{
    checkPositions(Engine::MSNCom, n, &PageScans::ScanMSNCom, false);
}

void EngineLookups::CheckYandexRu(int n)
{
    if (!begin(Engine::YandexRu))
        return;
    const QByteArray keyword = SpacesToPercent20(CodePage::toAnsi(m_host.keyword(n)));
    m_host.resetRankCell(Engine::YandexRu, n);
    m_host.resetCountCell(n);
    if (keyword.isEmpty())
        return;
    m_host.writeCountCell(n, CodePage::fromAnsi(m_scans.QueryWordstatCount(keyword)));
    const ScanResult result = m_scans.ScanYandexRu(keyword);
    m_host.writeRankCell(Engine::YandexRu, n, CodePage::fromAnsi(result.text), result.resultPage);
}

void EngineLookups::check(Engine engine, int n)
{
    switch (engine) {
    case Engine::GoogleCom:
        return CheckGoogleCom(n);
    case Engine::GoogleRu:
        return CheckGoogleRu(n);
    case Engine::YandexRu:
        return CheckYandexRu(n);
    case Engine::RamblerRu:
        return CheckRamblerRu(n);
    case Engine::AportRu:
        return CheckAportRu(n);
    case Engine::MSNCom:
        return CheckMSNCom(n);
    }
}

bool EngineLookups::begin(Engine engine)
{
    if (!m_host.engineChecked(engine) || m_host.stopRequested())
        return false;
    m_host.applyProxySettings(m_host.engineClient(engine));
    m_host.advanceGauge(engine, kGaugeStep);
    m_host.processEvents();
    return true;
}

void EngineLookups::checkPositions(Engine engine, int n, Scan scan, bool spacesAsPercent20)
{
    if (!begin(engine))
        return;
    QByteArray keyword = CodePage::toAnsi(m_host.keyword(n));
    if (spacesAsPercent20)
        keyword = SpacesToPercent20(keyword);
    m_host.resetRankCell(engine, n);
    if (keyword.isEmpty())
        return;
    const ScanResult result = (m_scans.*scan)(keyword);
    m_host.writeRankCell(engine, n, CodePage::fromAnsi(result.text), result.resultPage);
}
