#include "LookupTestHost.h"

#include <QCoreApplication>

LookupTestHost::LookupTestHost()
{
    for (Engine engine : kEngines)
        checked[engine] = true;
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

ConnectionSettings LookupTestHost::connectionSettings() const
{
    ++proxyApplications;
    return connection;
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

void LookupTestHost::resetCountCell(Engine engine, int n)
{
    const QString cell = QStringLiteral("Count%1%2").arg(engineKey(engine)).arg(n);
    cells[cell] = {};
    events << QStringLiteral("reset ") + cell;
}

void LookupTestHost::writeCountCell(Engine engine, int n, const QString& text, const Outcome& why)
{
    const QString cell = QStringLiteral("Count%1%2").arg(engineKey(engine)).arg(n);
    cells[cell] = { text, 0, true, why };
    events << QStringLiteral("write %1 %2").arg(cell, text);
}

void LookupTestHost::writeRankCell(Engine engine, int n, const QString& text, int resultPage, const Outcome& why)
{
    const QString cell = QStringLiteral("Rank%1%2").arg(engineKey(engine)).arg(n);
    cells[cell] = { text, resultPage, true, why };
    events << QStringLiteral("write %1 %2 %3").arg(cell, text).arg(resultPage);
}

void LookupTestHost::notAsked(Engine engine, int n, const Outcome& why)
{
    notAskedWhy[QStringLiteral("Rank%1%2").arg(engineKey(engine)).arg(n)] = why;
}
