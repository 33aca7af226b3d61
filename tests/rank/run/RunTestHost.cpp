#include "RunTestHost.h"

#include <QCoreApplication>

RunTestHost::RunTestHost()
{
    for (Engine engine : kEngines) {
        checked[engine] = false;
        gauges[engine] = 0;
    }
}

RunTestHost::~RunTestHost() = default;

QString RunTestHost::rankCell(Engine engine, int n)
{
    return QStringLiteral("Rank%1%2").arg(engineKey(engine)).arg(n);
}

QString RunTestHost::countCell(int n)
{
    return QStringLiteral("CountYandexRu%1").arg(n);
}

void RunTestHost::fillWithOldResults()
{
    for (int n = 1; n <= 7; ++n) {
        for (Engine engine : kEngines)
            cells[rankCell(engine, n)] = { QStringLiteral("old"), 1, State::Old };
        cells[countCell(n)] = { QStringLiteral("old"), 0, State::Old };
    }
    for (Engine engine : kEngines)
        gauges[engine] = 50;
}

void RunTestHost::event(const QString& text)
{
    if (onEvent)
        onEvent(text);
}

// Waits on the event loop, not in a busy loop, while the check is paused.
void RunTestHost::waitWhilePaused()
{
    event(QStringLiteral("wait"));
    QCoreApplication::processEvents();
    if (pausedFlag)
        ++pausedWaits;
    while (pausedFlag)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void RunTestHost::processEvents()
{
    QCoreApplication::processEvents();
}

void RunTestHost::advanceGauge(Engine engine, int step)
{
    gauges[engine] = std::min(100, gauges[engine] + step);
}

void RunTestHost::resetRankCell(Engine engine, int n)
{
    cells[rankCell(engine, n)] = { QString(), 0, State::Reset };
    event(QStringLiteral("reset ") + rankCell(engine, n));
}

void RunTestHost::resetCountCell(Engine, int n)
{
    cells[countCell(n)] = { QString(), 0, State::Reset };
    event(QStringLiteral("reset ") + countCell(n));
}

void RunTestHost::writeCountCell(Engine, int n, const QString& text, const Outcome& why)
{
    cells[countCell(n)] = { text, 0, State::Written, why };
    event(QStringLiteral("write ") + countCell(n));
}

void RunTestHost::writeRankCell(Engine engine, int n, const QString& text, int resultPage, const Outcome& why)
{
    cells[rankCell(engine, n)] = { text, resultPage, State::Written, why };
    event(QStringLiteral("write ") + rankCell(engine, n));
}

void RunTestHost::lookupDone(Engine engine, int n)
{
    lookups << engineKey(engine) + u' ' + QString::number(n);
    event(QStringLiteral("lookup ") + lookups.last());
}
