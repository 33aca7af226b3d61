#include "history/PositionChartModel.h"

#include <QSet>
#include <algorithm>
#include <array>

QList<QList<ChartPoint>> EngineLine::segments() const
{
    QList<QList<ChartPoint>> runs;
    bool broken = true;
    for (const ChartPoint& point : points) {
        if (point.isGap()) {
            broken = true;
            continue;
        }
        if (broken)
            runs.append(QList<ChartPoint>());
        broken = false;
        runs.last().append(point);
    }
    return runs;
}

PositionChartModel::PositionChartModel(const SiteHistory& history, const QString& keyword)
{
    if (history.checkCount() > 0) {
        m_first = history.check(0).msecs;
        m_last = history.check(history.checkCount() - 1).msecs;
    }
    // Per series of the keyword on a known engine, the engine's line; -1 for every other series.
    std::vector<int> lineOf(std::size_t(history.series().size()), -1);
    for (qsizetype s = 0; s < history.series().size(); ++s) {
        const SiteHistory::Series& series = history.series()[s];
        if (series.knownEngine && series.keyword == keyword)
            lineOf[std::size_t(s)] = int(series.engine);
    }
    struct Line {
        EngineLine line;
        bool asked = false;
        bool broken = true;
        qsizetype lastCheck = -1;
    };
    std::array<Line, kEngines.size()> lines;
    for (Engine engine : kEngines)
        lines[std::size_t(engine)].line.engine = engine;
    for (qsizetype check = 0; check < history.checkCount(); ++check) {
        const qint64 time = history.check(check).msecs;
        for (int i = history.resultsBegin(check); i < history.resultsEnd(check); ++i) {
            const SiteHistory::Result& result = history.results()[std::size_t(i)];
            const int engine = lineOf[std::size_t(result.series)];
            if (engine < 0)
                continue;
            Line& line = lines[std::size_t(engine)];
            // A keyword typed twice: its first result in the check is drawn.
            if (line.lastCheck == check)
                continue;
            line.lastCheck = check;
            if (result.reason == Reason::NotAsked) // also a reason this version does not know
                continue;
            line.asked = true;
            const std::optional<int> position = result.optionalPosition();
            if (!position || *position == ChartPoint::kGap) {
                if (!line.broken)
                    line.line.points.append(ChartPoint { time, ChartPoint::kGap });
                line.broken = true;
                continue;
            }
            line.broken = false;
            line.line.points.append(ChartPoint { time, *position });
            m_deepest = std::max(m_deepest, *position);
            ++m_points;
        }
    }
    for (Line& line : lines) {
        if (line.asked)
            m_lines.append(std::move(line.line));
    }
}

PositionChartModel::PositionChartModel(const QList<RecordedCheck>& checks, const QString& keyword)
    : PositionChartModel(SiteHistory::of(checks), keyword)
{
}

QStringList PositionChartModel::keywords(const QList<RecordedCheck>& checks)
{
    return SiteHistory::of(checks).keywords();
}
