#include "history/PixelColumns.h"

#include <cmath>

namespace {

// The points of one column in their order, each once.
void appendColumn(QList<QPointF>& out, const QList<QPointF>& points, qsizetype first, qsizetype end)
{
    qsizetype top = first, bottom = first;
    for (qsizetype i = first + 1; i < end; ++i) {
        if (points[i].y() < points[top].y())
            top = i;
        if (points[i].y() > points[bottom].y())
            bottom = i;
    }
    const qsizetype kept[] { first, std::min(top, bottom), std::max(top, bottom), end - 1 };
    qsizetype previous = -1;
    for (qsizetype index : kept) {
        if (index != previous)
            out.append(points[index]);
        previous = index;
    }
}

} // namespace

QList<QPointF> reducedToPixelColumns(const QList<QPointF>& points)
{
    QList<QPointF> out;
    qsizetype first = 0;
    while (first < points.size()) {
        const double column = std::floor(points[first].x());
        qsizetype end = first + 1;
        while (end < points.size() && std::floor(points[end].x()) == column)
            ++end;
        appendColumn(out, points, first, end);
        first = end;
    }
    return out;
}
