#pragma once

#include "history/HistoryRecord.h"
#include "history/SiteHistory.h"

#include <QList>
#include <QStringList>

struct ChartPoint {
    qint64 msecsSinceEpoch;
    int position; // kGap: the line breaks here
    bool operator==(const ChartPoint&) const = default;

    static constexpr int kGap = 0;
    bool isGap() const { return position == kGap; }
};

// One engine's line as one flat run of points: a check in which the site was not found (or its
// position is unknown) puts a gap into it, so the chart shows a gap there.
struct EngineLine {
    Engine engine;
    QList<ChartPoint> points;
    bool operator==(const EngineLine&) const = default;

    // The unbroken runs of the line.
    QList<QList<ChartPoint>> segments() const;
};

// The series of the position chart of one keyword of a site, one line per engine that was asked.
class PositionChartModel {
public:
    PositionChartModel(const SiteHistory& history, const QString& keyword);
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
