#include "history/ui/PositionChart.h"

#include "history/PositionAxis.h"

#include <QCategoryAxis>
#include <QChart>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QLegendMarker>
#include <QLineSeries>
#include <algorithm>

namespace {

const QColor kEngineColours[] { QColor(66, 133, 244), QColor(15, 157, 88), QColor(204, 0, 0),
    QColor(0, 90, 160), QColor(230, 140, 0), QColor(120, 60, 170) };

constexpr qsizetype kMarkedPoints = 400;
constexpr qint64 kHour = 3600 * 1000;
constexpr qint64 kDay = 24 * kHour;

} // namespace

QChart* buildPositionChart(const PositionChartModel& model, const QString& keyword)
{
    auto* chart = new QChart;
    chart->setTitle(
        keyword.isEmpty() ? QStringLiteral("Нет проверок") : QStringLiteral("Позиции: ") + keyword);
    chart->legend()->setAlignment(Qt::AlignBottom);

    auto* time = new QDateTimeAxis;
    time->setTitleText(QStringLiteral("Дата проверки"));
    qint64 first = model.firstTime(), last = model.lastTime();
    const qint64 span = last - first;
    time->setFormat(span < kHour ? QStringLiteral("HH:mm:ss")
            : span < 2 * kDay    ? QStringLiteral("dd.MM HH:mm")
                                 : QStringLiteral("dd.MM.yyyy"));
    // A little room on both sides, so that the first and the last check stand clear of the frame.
    const qint64 margin = std::max<qint64>(span / 20, 30 * 1000);
    time->setRange(
        QDateTime::fromMSecsSinceEpoch(first - margin), QDateTime::fromMSecsSinceEpoch(last + margin));
    chart->addAxis(time, Qt::AlignBottom);

    auto* position = new QCategoryAxis;
    position->setReverse(true);
    position->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    const QList<int> labels = positionAxisLabels(model.deepestPosition());
    for (const int label : labels)
        position->append(QString::number(label), label);
    position->setRange(1, std::max(labels.last(), 2));
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
