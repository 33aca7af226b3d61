#include "update/UpdateSchedule.h"

#include <gtest/gtest.h>

namespace {

const QLocale kRussian(QLocale::Russian, QLocale::Russia);
const QLocale kAmerican(QLocale::English, QLocale::UnitedStates);
const QDate kToday(2026, 12, 7);

struct DueRow {
    int daysAgo;
    bool due;
};

class SevenDayRule : public ::testing::TestWithParam<DueRow> { };

} // namespace

TEST_P(SevenDayRule, TodayMinusTheStoredDate)
{
    for (const QLocale& locale : { kRussian, kAmerican }) {
        const QString caption = UpdateSchedule::formatDate(kToday.addDays(-GetParam().daysAgo), locale);
        EXPECT_EQ(UpdateSchedule::checkDue(caption, kToday, locale), GetParam().due) << caption.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Boundary, SevenDayRule,
    ::testing::Values(DueRow { 6, false }, DueRow { 7, true }, DueRow { 8, true }, DueRow { 400, true },
        DueRow { 0, false }, DueRow { -3, false }));

TEST(UpdateSchedule, DatesUseTheShortFormatOfTheLocale)
{
    EXPECT_EQ(UpdateSchedule::formatDate(kToday, kRussian), QStringLiteral("07.12.2026"));
    EXPECT_EQ(UpdateSchedule::formatDate(kToday, kAmerican), QStringLiteral("12/7/26"));
    EXPECT_EQ(UpdateSchedule::parseDate(QStringLiteral("30.11.2026"), kToday, kRussian), QDate(2026, 11, 30));
}

TEST(UpdateSchedule, TwoDigitYearsFallInTheCenturyOfToday)
{
    EXPECT_EQ(UpdateSchedule::parseDate(QStringLiteral("11/30/26"), kToday, kAmerican), QDate(2026, 11, 30));
    EXPECT_EQ(UpdateSchedule::parseDate(QStringLiteral("1/2/99"), kToday, kAmerican), QDate(1999, 1, 2));
    EXPECT_TRUE(UpdateSchedule::checkDue(QStringLiteral("11/30/26"), kToday, kAmerican));
    EXPECT_FALSE(UpdateSchedule::checkDue(QStringLiteral("12/1/26"), kToday, kAmerican));
}

TEST(UpdateSchedule, EmptyOrUnreadableCaptionBecomesToday)
{
    const QString today = UpdateSchedule::formatDate(kToday, kRussian);
    for (const char* caption : { "", "12/1/26", "31.02.2026", "вчера", "07.12.2026 12:00" })
        EXPECT_EQ(UpdateSchedule::settledCaption(QString::fromUtf8(caption), kToday, kRussian), today)
            << caption;
    // After the reset the check waits seven days again.
    EXPECT_FALSE(UpdateSchedule::checkDue(today, kToday, kRussian));
    EXPECT_EQ(UpdateSchedule::settledCaption(QStringLiteral("01.01.2020"), kToday, kRussian),
        QStringLiteral("01.01.2020"));
}
