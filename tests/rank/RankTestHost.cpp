#include "RankTestHost.h"

#include <QCoreApplication>

RankTestHost::RankTestHost()
{
    for (Engine engine : kEngines) {
        checked[engine] = false;
        gauges[engine] = 0;
    }
}

QString RankTestHost::rankCell(Engine engine, int n)
{
    return QStringLiteral("Rank%1%2").arg(engineKey(engine)).arg(n);
}

QString RankTestHost::countCell(Engine engine, int n)
{
    return QStringLiteral("Count%1%2").arg(engineKey(engine)).arg(n);
}

ConnectionSettings RankTestHost::connectionSettings() const
{
    ++settingsReads;
    return connection;
}

// Waits on the event loop, not in a busy loop, while paused.
void RankTestHost::waitWhilePaused()
{
    ++pauseWaits;
    if (onPauseWait)
        onPauseWait(pauseWaits);
    QCoreApplication::processEvents();
    while (pausedFlag)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void RankTestHost::processEvents()
{
    QCoreApplication::processEvents();
}

void RankTestHost::advanceGauge(Engine engine, int step)
{
    gauges[engine] = std::min(100, gauges[engine] + step);
    events << QStringLiteral("gauge %1 %2").arg(engineKey(engine)).arg(step);
}

void RankTestHost::resetRankCell(Engine engine, int n)
{
    cells[rankCell(engine, n)] = { QString(), 0, State::Reset, {} };
    events << QStringLiteral("reset ") + rankCell(engine, n);
}

void RankTestHost::resetCountCell(Engine engine, int n)
{
    cells[countCell(engine, n)] = { QString(), 0, State::Reset, {} };
    events << QStringLiteral("reset ") + countCell(engine, n);
}

void RankTestHost::writeCountCell(Engine engine, int n, const QString& text, const Outcome& why)
{
    cells[countCell(engine, n)] = { text, 0, State::Written, why };
    events << QStringLiteral("write %1 %2").arg(countCell(engine, n), text);
}

void RankTestHost::writeRankCell(
    Engine engine, int n, const QString& text, int resultPage, const Outcome& why)
{
    cells[rankCell(engine, n)] = { text, resultPage, State::Written, why };
    events << QStringLiteral("write %1 %2 %3").arg(rankCell(engine, n), text).arg(resultPage);
}

void RankTestHost::notAsked(Engine engine, int n, const Outcome& why)
{
    notAskedWhy[rankCell(engine, n)] = why;
}
