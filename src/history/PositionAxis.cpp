#include "history/PositionAxis.h"

#include <algorithm>

namespace {

constexpr int kMaxSteps = 10;

// The smallest of 1, 2, 5, 10, 20, 50 ... that covers the span in at most kMaxSteps steps.
int roundStep(int span)
{
    for (int decade = 1;; decade *= 10) {
        for (const int factor : { 1, 2, 5 }) {
            const int step = factor * decade;
            if (qint64(step) * kMaxSteps >= span)
                return step;
        }
    }
}

} // namespace

QList<int> positionAxisLabels(int deepestPosition)
{
    const int deepest = std::max(deepestPosition, 1);
    const int step = roundStep(deepest);
    QList<int> labels { 1 };
    for (int position = step; position - step < deepest; position += step) {
        if (position > 1)
            labels.append(position);
    }
    return labels;
}
