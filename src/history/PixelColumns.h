#pragma once

#include <QList>
#include <QPointF>

// A polyline in device pixels, x never decreasing, reduced to what can be seen: in every pixel
// column only the first, the highest, the lowest and the last point stay, in their order. Ten
// years of daily checks on a chart a thousand pixels wide draw about four thousand points.
QList<QPointF> reducedToPixelColumns(const QList<QPointF>& points);
