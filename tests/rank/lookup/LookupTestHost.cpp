#include "LookupTestHost.h"

#include <QCoreApplication>

LookupTestHost::LookupTestHost()
{
    for (Engine engine : kEngines) {
        const auto version
            = engine == Engine::MSNCom ? HttpClient::Version::Http10 : HttpClient::Version::Http11;
        m_engines[static_cast<int>(engine)] = std::make_unique<HttpClient>(m_cookies, version);
        checked[engine] = true;
    }
    m_metrics = std::make_unique<HttpClient>(m_cookies);
}

LookupTestHost::~LookupTestHost() = default;

void LookupTestHost::waitWhilePaused()
{
    ++pauseWaits;
    if (onPauseWait)
        onPauseWait(pauseWaits);
    processEvents();
    while (paused)
        processEvents();
}

void LookupTestHost::processEvents()
{
    QCoreApplication::processEvents();
}

void LookupTestHost::applyProxySettings(HttpClient& client)
{
    ++proxyApplications;
    client.proxy() = proxyParamsFrom(connection);
}

HttpClient& LookupTestHost::engineClient(Engine engine)
{
    return *m_engines[static_cast<int>(engine)];
}

void LookupTestHost::advanceGauge(Engine engine, int step)
{
    gauges[engine] = std::min(100, gauges.value(engine) + step);
    events << QStringLiteral("gauge %1 %2").arg(engineKey(engine)).arg(step);
}

void LookupTestHost::resetRankCell(Engine engine, int n)
{
    const QString cell = QStringLiteral("Rank%1%2").arg(engineKey(engine)).arg(n);
    cells[cell] = {};
    events << QStringLiteral("reset ") + cell;
}

void LookupTestHost::resetCountCell(int n)
{
    const QString cell = QStringLiteral("CountYandexRu%1").arg(n);
    cells[cell] = {};
    events << QStringLiteral("reset ") + cell;
}

void LookupTestHost::writeCountCell(int n, const QString& text)
{
    const QString cell = QStringLiteral("CountYandexRu%1").arg(n);
    cells[cell] = { text, 0, true };
    events << QStringLiteral("write %1 %2").arg(cell, text);
}

void LookupTestHost::writeRankCell(Engine engine, int n, const QString& text, int resultPage)
{
    const QString cell = QStringLiteral("Rank%1%2").arg(engineKey(engine)).arg(n);
    cells[cell] = { text, resultPage, true };
    events << QStringLiteral("write %1 %2 %3").arg(cell, text).arg(resultPage);
}
