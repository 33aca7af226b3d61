#include "history/PositionAxis.h"

#include <algorithm>

namespace {

// The smallest of 1, 2, 5, 10, 20, 50 ... that covers the span in at most maxSteps steps.
int roundStep(int span, int maxSteps)
{
    for (int decade = 1;; decade *= 10) {
        for (const int factor : { 1, 2, 5 }) {
            const int step = factor * decade;
            if (qint64(step) * maxSteps >= span)
                return step;
        }
    }
}

} // namespace

QList<int> positionAxisLabels(int deepestPosition, int maxSteps)
{
    const int deepest = std::max(deepestPosition, 1);
    const int step = roundStep(deepest, std::max(maxSteps, 1));
    QList<int> labels { 1 };
    for (int position = step; position - step < deepest; position += step) {
        if (position > 1)
            labels.append(position);
    }
    return labels;
}
