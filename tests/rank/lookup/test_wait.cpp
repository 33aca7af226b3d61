#include "net/Endpoints.h"
#include "platform/TickCount.h"
#include "rank/lookup/WaitOneSecond.h"

#include <QTimer>
#include <gtest/gtest.h>

namespace {

class WaitOneSecondTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Endpoints endpoints = Endpoints::defaults();
        endpoints.requestIntervalMs = 30;
        Endpoints::setCurrent(endpoints);
    }
    void TearDown() override
    {
        TickCount::setOffsetForTesting(0);
        Endpoints::setCurrent(Endpoints::defaults());
    }
};

} // namespace

TEST_F(WaitOneSecondTest, PumpsEventsUntilTheIntervalHasPassed)
{
    bool delivered = false;
    QTimer::singleShot(0, [&] { delivered = true; });
    const std::uint32_t start = TickCount::now();
    WaitOneSecond();
    EXPECT_GE(TickCount::since(start), 30u);
    EXPECT_TRUE(delivered);
}

TEST_F(WaitOneSecondTest, SurvivesTheWrapOfTheTickCount)
{
    // Put the counter 10 ms before its wrap: the wait crosses it and still ends.
    TickCount::setOffsetForTesting(0);
    TickCount::setOffsetForTesting(0xFFFFFFFFu - TickCount::now() - 10);
    const std::uint32_t start = TickCount::now();
    WaitOneSecond();
    EXPECT_GE(TickCount::since(start), 30u);
    EXPECT_LT(TickCount::now(), start);
}
