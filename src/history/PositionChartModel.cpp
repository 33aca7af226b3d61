#include "history/PositionChartModel.h"

#include <QSet>
#include <algorithm>

PositionChartModel::PositionChartModel(const QList<RecordedCheck>& checks, const QString& keyword)
{
    if (!checks.isEmpty()) {
        m_first = checks.first().time.toMSecsSinceEpoch();
        m_last = checks.last().time.toMSecsSinceEpoch();
    }
    for (Engine engine : kEngines) {
        EngineLine line { engine, {} };
        bool asked = false;
        bool broken = true;
        for (const RecordedCheck& check : checks) {
            const RecordedResult* result = check.result(keyword, engine);
            if (!result || result->reason == Reason::NotAsked)
                continue;
            asked = true;
            if (!result->position) {
                broken = true;
                continue;
            }
            if (broken)
                line.segments.append(QList<ChartPoint>());
            broken = false;
            line.segments.last().append(ChartPoint { check.time.toMSecsSinceEpoch(), *result->position });
            m_deepest = std::max(m_deepest, *result->position);
            ++m_points;
        }
        if (asked)
            m_lines.append(line);
    }
}

QStringList PositionChartModel::keywords(const QList<RecordedCheck>& checks)
{
    QStringList keywords;
    QSet<QString> seen;
    for (const RecordedCheck& check : checks) {
        for (const RecordedResult& result : check.results) {
            if (!seen.contains(result.keyword)) {
                seen.insert(result.keyword);
                keywords << result.keyword;
            }
        }
    }
    return keywords;
}
