#include "history/ui/PositionChart.h"

#include <QChart>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QLegendMarker>
#include <QLineSeries>
#include <QValueAxis>

namespace {

const QColor kEngineColours[] { QColor(66, 133, 244), QColor(15, 157, 88), QColor(204, 0, 0), QColor(0, 90, 160),
    QColor(230, 140, 0), QColor(120, 60, 170) };

constexpr qsizetype kMarkedPoints = 400;

} // namespace

QChart* buildPositionChart(const PositionChartModel& model, const QString& keyword)
{
    auto* chart = new QChart;
    chart->setTitle(keyword.isEmpty() ? QStringLiteral("Нет проверок") : QStringLiteral("Позиции: ") + keyword);
    chart->legend()->setAlignment(Qt::AlignBottom);

    auto* time = new QDateTimeAxis;
    time->setFormat(QStringLiteral("dd.MM.yyyy"));
    time->setTitleText(QStringLiteral("Дата проверки"));
    qint64 first = model.firstTime(), last = model.lastTime();
    if (last - first < 3600 * 1000) {
        time->setFormat(QStringLiteral("dd.MM HH:mm"));
        first -= 1800 * 1000;
        last += 1800 * 1000;
    }
    time->setRange(QDateTime::fromMSecsSinceEpoch(first), QDateTime::fromMSecsSinceEpoch(last));
    chart->addAxis(time, Qt::AlignBottom);

    auto* position = new QValueAxis;
    position->setReverse(true);
    position->setRange(1, model.deepestPosition());
    position->setLabelFormat(QStringLiteral("%d"));
    position->setTitleText(QStringLiteral("Позиция"));
    chart->addAxis(position, Qt::AlignLeft);

    for (const EngineLine& line : model.lines()) {
        const QColor colour = kEngineColours[int(line.engine)];
        bool named = false;
        // An engine that never found the site still gets its legend entry.
        QList<QList<ChartPoint>> segments = line.segments;
        if (segments.isEmpty())
            segments.append(QList<ChartPoint>());
        for (const QList<ChartPoint>& segment : segments) {
            auto* series = new QLineSeries;
            series->setName(engineCaption(line.engine));
            series->setColor(colour);
            // Markers only where a line would not show them or they stay few.
            series->setPointsVisible(segment.size() == 1 || model.pointCount() <= kMarkedPoints);
            for (const ChartPoint& point : segment)
                series->append(double(point.msecsSinceEpoch), point.position);
            chart->addSeries(series);
            series->attachAxis(time);
            series->attachAxis(position);
            // One legend entry per engine.
            for (QLegendMarker* marker : chart->legend()->markers(series))
                marker->setVisible(!named);
            named = true;
        }
    }
    return chart;
}
