#include "history/PixelColumns.h"

#include <gtest/gtest.h>

namespace {

TEST(PixelColumns, KeepsTheFirstTheHighestTheLowestAndTheLastOfEachColumnInOrder)
{
    const QList<QPointF> points { { 0.1, 5 }, { 0.3, 9 }, { 0.5, 1 }, { 0.7, 4 }, { 0.9, 6 }, { 1.2, 3 },
        { 2.5, 7 }, { 2.6, 7 } };
    EXPECT_EQ(reducedToPixelColumns(points),
        QList<QPointF>(
            { { 0.1, 5 }, { 0.3, 9 }, { 0.5, 1 }, { 0.9, 6 }, { 1.2, 3 }, { 2.5, 7 }, { 2.6, 7 } }));
}

TEST(PixelColumns, TheLowestBeforeTheHighestKeepsItsPlace)
{
    EXPECT_EQ(reducedToPixelColumns({ { 3.0, 2 }, { 3.2, 1 }, { 3.4, 8 }, { 3.6, 2 } }),
        QList<QPointF>({ { 3.0, 2 }, { 3.2, 1 }, { 3.4, 8 }, { 3.6, 2 } }));
    EXPECT_EQ(reducedToPixelColumns({ { 3.0, 2 }, { 3.2, 8 }, { 3.3, 5 }, { 3.4, 1 }, { 3.6, 2 } }),
        QList<QPointF>({ { 3.0, 2 }, { 3.2, 8 }, { 3.4, 1 }, { 3.6, 2 } }));
}

TEST(PixelColumns, ThousandsOfPointsInAFewColumnsBecomeAtMostFourEach)
{
    QList<QPointF> points;
    for (int i = 0; i < 10000; ++i)
        points.append({ i / 1000.0, double(i % 37) });
    EXPECT_LE(reducedToPixelColumns(points).size(), 40);
    EXPECT_TRUE(reducedToPixelColumns({}).isEmpty());
    EXPECT_EQ(reducedToPixelColumns({ { 4, 4 } }), QList<QPointF>({ { 4, 4 } }));
}

} // namespace
