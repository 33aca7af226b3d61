#include "history/ui/EngineLinesItem.h"

#include "history/PixelColumns.h"

#include <QChart>
#include <QDateTimeAxis>
#include <QPainter>
#include <QPixmap>
#include <QSet>
#include <QValueAxis>

namespace {

const QColor kEngineColours[] { QColor(66, 133, 244), QColor(15, 157, 88), QColor(204, 0, 0),
    QColor(0, 90, 160), QColor(230, 140, 0), QColor(120, 60, 170) };

constexpr qreal kLineWidth = 2;
constexpr qreal kMarkerRadius = 3.5;

// One marker, drawn once and stamped wherever the engine has a point.
QPixmap markerOf(const QColor& colour, qreal pixelRatio)
{
    const int side = int(2 * (kMarkerRadius + 1));
    QPixmap marker(QSize(side, side) * pixelRatio);
    marker.setDevicePixelRatio(pixelRatio);
    marker.fill(Qt::transparent);
    QPainter painter(&marker);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawEllipse(QPointF(kMarkerRadius + 1, kMarkerRadius + 1), kMarkerRadius, kMarkerRadius);
    return marker;
}

} // namespace

EngineLinesItem::EngineLinesItem(QChart* chart, QList<EngineLine> lines, bool marked)
    : QGraphicsItem(chart)
    , m_chart(chart)
    , m_lines(std::move(lines))
    , m_marked(marked)
{
    setZValue(10);
    QObject::connect(chart, &QChart::plotAreaChanged, chart, [this] {
        prepareGeometryChange();
        update();
    });
}

QColor EngineLinesItem::colour(Engine engine)
{
    return kEngineColours[int(engine)];
}

QRectF EngineLinesItem::boundingRect() const
{
    return m_chart->plotArea().adjusted(-kMarkerRadius, -kMarkerRadius, kMarkerRadius, kMarkerRadius);
}

namespace {

// From a check's time and position to the plot area; read from the axes once per painting.
struct PlotMapping {
    QRectF area;
    double firstTime = 0;
    double timeSpan = 1;
    double firstPosition = 1;
    double positionSpan = 1;

    QPointF operator()(const ChartPoint& point) const
    {
        // Position 1 at the top.
        return { area.left() + (double(point.msecsSinceEpoch) - firstTime) / timeSpan * area.width(),
            area.top() + (point.position - firstPosition) / positionSpan * area.height() };
    }
};

} // namespace

void EngineLinesItem::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*)
{
    const auto* time = qobject_cast<QDateTimeAxis*>(m_chart->axes(Qt::Horizontal).value(0));
    const auto* position = qobject_cast<QValueAxis*>(m_chart->axes(Qt::Vertical).value(0));
    if (!time || !position)
        return;
    PlotMapping toPlot;
    toPlot.area = m_chart->plotArea();
    toPlot.firstTime = double(time->min().toMSecsSinceEpoch());
    toPlot.timeSpan = std::max(1.0, double(time->max().toMSecsSinceEpoch()) - toPlot.firstTime);
    toPlot.firstPosition = position->min();
    toPlot.positionSpan = std::max(1.0, position->max() - position->min());
    painter->save();
    // A marker at the edge (the last check, position 1) is drawn whole.
    painter->setClipRect(boundingRect());
    painter->setRenderHint(QPainter::Antialiasing);
    for (const EngineLine& line : m_lines) {
        const QColor colour = EngineLinesItem::colour(line.engine);
        const QPixmap marker = markerOf(colour, painter->device()->devicePixelRatioF());
        const QPointF markerCentre(kMarkerRadius + 1, kMarkerRadius + 1);
        QSet<quint64> marked; // the pixels that already hold a marker of this engine
        painter->setPen(QPen(colour, kLineWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        QList<QPointF> run; // one unbroken run of the line, in the plot area
        const auto drawRun = [&] {
            // Markers only where a line would not show them or they stay few.
            if (run.size() == 1 || m_marked) {
                for (const QPointF& point : run) {
                    const quint64 pixel
                        = quint64(quint32(qRound(point.x()))) << 32 | quint32(qRound(point.y()));
                    if (!marked.contains(pixel)) {
                        marked.insert(pixel);
                        painter->drawPixmap(point - markerCentre, marker);
                    }
                }
            }
            if (run.size() > 1)
                painter->drawPolyline(reducedToPixelColumns(run));
            run.resize(0);
        };
        for (const ChartPoint& point : line.points) {
            if (point.isGap())
                drawRun();
            else
                run.append(toPlot(point));
        }
        drawRun();
    }
    painter->restore();
}
