#include "platform/TickCount.h"
#include "rank/run/ElapsedTime.h"

#include <gtest/gtest.h>

namespace {

struct ElapsedRow {
    const char* locale;
    std::uint32_t seconds;
    const char* shown;
};

class ElapsedFormat : public ::testing::TestWithParam<ElapsedRow> { };

TEST_P(ElapsedFormat, ShowsTheLongTimeFormatWithoutZone)
{
    const ElapsedRow& row = GetParam();
    EXPECT_EQ(
        formatElapsed(row.seconds, QLocale(QString::fromLatin1(row.locale))), QString::fromUtf8(row.shown));
}

INSTANTIATE_TEST_SUITE_P(Locales, ElapsedFormat,
    ::testing::Values(ElapsedRow { "ru_RU", 0, "0:00:00" }, ElapsedRow { "ru_RU", 3725, "1:02:05" },
        ElapsedRow { "ru_RU", 23 * 3600 + 59 * 60 + 59, "23:59:59" },
        ElapsedRow { "ru_RU", 86400 + 65, "0:01:05" }, // a day and more: the remainder
        ElapsedRow { "ru_RU", 3 * 86400 + 7200, "2:00:00" }, ElapsedRow { "en_US", 0, "12:00:00 AM" },
        ElapsedRow { "en_US", 3725, "1:02:05 AM" }, ElapsedRow { "en_US", 12 * 3600, "12:00:00 PM" },
        ElapsedRow { "en_US", 13 * 3600 + 5, "1:00:05 PM" }, ElapsedRow { "en_AU", 13 * 3600, "1:00:00 pm" },
        ElapsedRow { "de_DE", 0, "00:00:00" }, ElapsedRow { "de_DE", 3725, "01:02:05" }));

TEST(ElapsedSeconds, CountsAcrossTheTickWrap)
{
    TickCount::setOffsetForTesting(0);
    const std::uint32_t raw = TickCount::now();
    TickCount::setOffsetForTesting(2500u - raw); // now reads about 2500 ms after the wrap
    const std::uint32_t start = 0xFFFFFFFFu - 999u; // 1000 ms before the wrap
    const std::uint32_t seconds = elapsedSecondsSince(start);
    TickCount::setOffsetForTesting(0);
    EXPECT_GE(seconds, 3u);
    EXPECT_LT(seconds, 60u); // not the 49 days of a wrong subtraction
}

} // namespace
