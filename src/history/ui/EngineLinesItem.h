#pragma once

#include "history/PositionChartModel.h"

#include <QGraphicsItem>

class QChart;

// Draws every engine's line of a position chart over the plot area: one path per engine with a
// gap wherever the site was not found, each pixel column reduced to the few points it can show.
// A chart series per run of points would make the chart's cost grow with its gaps.
class EngineLinesItem : public QGraphicsItem {
public:
    EngineLinesItem(QChart* chart, QList<EngineLine> lines, bool marked);

    QRectF boundingRect() const override;
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

    const QList<EngineLine>& lines() const { return m_lines; }
    static QColor colour(Engine engine);

private:
    QChart* m_chart;
    QList<EngineLine> m_lines;
    bool m_marked;
};
