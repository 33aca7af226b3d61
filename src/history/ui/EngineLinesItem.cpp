#include "history/ui/EngineLinesItem.h"

#include "history/PixelColumns.h"

#include <QChart>
#include <QDateTimeAxis>
#include <QPainter>
#include <QValueAxis>

namespace {

const QColor kEngineColours[] { QColor(66, 133, 244), QColor(15, 157, 88), QColor(204, 0, 0),
    QColor(0, 90, 160), QColor(230, 140, 0), QColor(120, 60, 170) };

constexpr qreal kLineWidth = 2;
constexpr qreal kMarkerRadius = 3.5;

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

QPointF EngineLinesItem::toPlot(const ChartPoint& point) const
{
    const QRectF area = m_chart->plotArea();
    const auto* time = qobject_cast<QDateTimeAxis*>(m_chart->axes(Qt::Horizontal).value(0));
    const auto* position = qobject_cast<QValueAxis*>(m_chart->axes(Qt::Vertical).value(0));
    if (!time || !position)
        return {};
    const double firstTime = double(time->min().toMSecsSinceEpoch());
    const double timeSpan = std::max(1.0, double(time->max().toMSecsSinceEpoch()) - firstTime);
    const double positionSpan = std::max(1.0, position->max() - position->min());
    // Position 1 at the top.
    return { area.left() + (double(point.msecsSinceEpoch) - firstTime) / timeSpan * area.width(),
        area.top() + (point.position - position->min()) / positionSpan * area.height() };
}

void EngineLinesItem::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*)
{
    painter->save();
    painter->setClipRect(m_chart->plotArea());
    painter->setRenderHint(QPainter::Antialiasing);
    for (const EngineLine& line : m_lines) {
        const QColor colour = EngineLinesItem::colour(line.engine);
        painter->setPen(QPen(colour, kLineWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter->setBrush(colour);
        for (const QList<ChartPoint>& segment : line.segments) {
            QList<QPointF> points;
            points.reserve(segment.size());
            for (const ChartPoint& point : segment)
                points.append(toPlot(point));
            // Markers only where a line would not show them or they stay few.
            if (points.size() == 1 || m_marked) {
                for (const QPointF& point : points)
                    painter->drawEllipse(point, kMarkerRadius, kMarkerRadius);
            }
            if (points.size() > 1)
                painter->drawPolyline(reducedToPixelColumns(points));
        }
    }
    painter->restore();
}
