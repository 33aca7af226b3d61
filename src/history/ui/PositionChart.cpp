#include "history/ui/PositionChart.h"

#include "history/PositionAxis.h"
#include "history/ui/EngineLinesItem.h"

#include <QCategoryAxis>
#include <QChart>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QFontMetricsF>
#include <QLegendMarker>
#include <QLineSeries>
#include <algorithm>

namespace {

constexpr qsizetype kMarkedPoints = 400;
constexpr qint64 kHour = 3600 * 1000;
constexpr qint64 kDay = 24 * kHour;
constexpr int kMaxPositionSteps = 10;
// Between two labels of the position axis at least this many lines of the label font.
constexpr qreal kLabelSpacing = 2;

void labelPositions(QCategoryAxis* axis, int deepest, int maxSteps)
{
    const QList<int> positions = positionAxisLabels(deepest, maxSteps);
    QStringList labels;
    for (const int position : positions)
        labels.append(QString::number(position));
    if (axis->categoriesLabels() == labels)
        return;
    for (const QString& label : axis->categoriesLabels())
        axis->remove(label);
    for (qsizetype i = 0; i < labels.size(); ++i)
        axis->append(labels[i], positions[i]);
    axis->setRange(1, std::max(positions.last(), 2));
}

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
    // The axis ends at the last check, so that its last label says when that was; a little room
    // before the first check keeps it clear of the position axis.
    const qint64 margin = std::max<qint64>(span / 20, 30 * 1000);
    time->setRange(QDateTime::fromMSecsSinceEpoch(first - margin), QDateTime::fromMSecsSinceEpoch(last));
    chart->addAxis(time, Qt::AlignBottom);

    auto* position = new QCategoryAxis;
    position->setReverse(true);
    position->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    position->setTitleText(QStringLiteral("Позиция"));
    // The labels are spaced to fit the plot's height, so none is cut to "...".
    position->setTruncateLabels(false);
    const int deepest = model.deepestPosition();
    labelPositions(position, deepest, kMaxPositionSteps);
    QObject::connect(chart, &QChart::plotAreaChanged, position, [position, deepest](const QRectF& area) {
        if (area.height() <= 0)
            return;
        const qreal spacing = kLabelSpacing * QFontMetricsF(position->labelsFont()).height();
        labelPositions(position, deepest, std::clamp(int(area.height() / spacing), 1, kMaxPositionSteps));
    });
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
