#pragma once

#include "history/HistoryRecord.h"

#include <QList>
#include <QStringList>

struct ChartPoint {
    qint64 msecsSinceEpoch;
    int position;
    bool operator==(const ChartPoint&) const = default;
};

// One engine's line: unbroken runs of positions; a check in which the site was not found (or its
// position is unknown) ends a run, so the chart shows a gap there.
struct EngineLine {
    Engine engine;
    QList<QList<ChartPoint>> segments;
};

// The series of the position chart of one keyword of a site, one line per engine that was asked.
class PositionChartModel {
public:
    PositionChartModel(const QList<RecordedCheck>& checks, const QString& keyword);

    const QList<EngineLine>& lines() const { return m_lines; }
    // The largest position shown (at least 10), the bottom of the reversed position axis.
    int deepestPosition() const { return m_deepest; }
    qsizetype pointCount() const { return m_points; }
    qint64 firstTime() const { return m_first; }
    qint64 lastTime() const { return m_last; }

    // The keywords of the checks in the order they first appear.
    static QStringList keywords(const QList<RecordedCheck>& checks);

private:
    QList<EngineLine> m_lines;
    int m_deepest = 10;
    qsizetype m_points = 0;
    qint64 m_first = 0;
    qint64 m_last = 0;
};
