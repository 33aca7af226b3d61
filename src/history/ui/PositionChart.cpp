#include "history/ui/PositionChart.h"

#include "history/PositionAxis.h"
#include "history/ui/EngineLinesItem.h"

#include <QCategoryAxis>
#include <QChart>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QLegendMarker>
#include <QLineSeries>
#include <algorithm>

namespace {

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

    // The series give the legend and hold the axes; the points, the lines and their gaps are drawn
    // by one item over the plot area.
    for (const EngineLine& line : model.lines()) {
        const QColor colour = EngineLinesItem::colour(line.engine);
        auto* series = new QLineSeries;
        series->setName(engineCaption(line.engine));
        series->setPen(QPen(Qt::transparent));
        chart->addSeries(series);
        series->attachAxis(time);
        series->attachAxis(position);
        for (QLegendMarker* marker : chart->legend()->markers(series)) {
            marker->setBrush(colour);
            marker->setPen(QPen(colour));
        }
    }
    new EngineLinesItem(chart, model.lines(), model.pointCount() <= kMarkedPoints);
    return chart;
}
