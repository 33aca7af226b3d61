#include "history/PositionAxis.h"

#include <gtest/gtest.h>

namespace {

struct AxisRow {
    int deepest;
    QList<int> labels;
    int maxSteps = 10;
};

class PositionAxisOf : public ::testing::TestWithParam<AxisRow> { };

TEST_P(PositionAxisOf, StartsAtOneAndGoesOnInRoundSteps)
{
    EXPECT_EQ(positionAxisLabels(GetParam().deepest, GetParam().maxSteps), GetParam().labels);
}

INSTANTIATE_TEST_SUITE_P(Depths, PositionAxisOf,
    ::testing::Values(AxisRow { 0, { 1 } }, AxisRow { 1, { 1 } }, AxisRow { 2, { 1, 2 } },
        AxisRow { 7, { 1, 2, 3, 4, 5, 6, 7 } }, AxisRow { 10, { 1, 2, 3, 4, 5, 6, 7, 8, 9, 10 } },
        AxisRow { 11, { 1, 2, 4, 6, 8, 10, 12 } }, AxisRow { 63, { 1, 10, 20, 30, 40, 50, 60, 70 } },
        AxisRow { 100, { 1, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100 } },
        AxisRow { 101, { 1, 20, 40, 60, 80, 100, 120 } }, AxisRow { 251, { 1, 50, 100, 150, 200, 250, 300 } },
        AxisRow { 1000, { 1, 100, 200, 300, 400, 500, 600, 700, 800, 900, 1000 } },
        // Fewer steps where the chart is low.
        AxisRow { 251, { 1, 100, 200, 300 }, 5 }, AxisRow { 200, { 1, 50, 100, 150, 200 }, 4 },
        AxisRow { 10, { 1, 5, 10 }, 3 }, AxisRow { 200, { 1, 200 }, 1 }, AxisRow { 200, { 1, 200 }, 0 }));

} // namespace
