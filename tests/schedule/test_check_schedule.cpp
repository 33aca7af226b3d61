#include "schedule/CheckSchedule.h"
#include "schedule/ScheduleError.h"

#include <gtest/gtest.h>

namespace {

struct ScheduleRow {
    const char* text;
    const char* code;
    const char* onCalendar;
    const char* cron;
    const char* description;
};

class ScheduleForms : public ::testing::TestWithParam<ScheduleRow> { };

TEST_P(ScheduleForms, ReadsAndWritesEachForm)
{
    const ScheduleRow& row = GetParam();
    const CheckSchedule schedule = CheckSchedule::parse(QString::fromUtf8(row.text));
    EXPECT_EQ(schedule.code(), QString::fromUtf8(row.code));
    EXPECT_EQ(schedule.onCalendar(), QString::fromUtf8(row.onCalendar));
    EXPECT_EQ(schedule.cronFields(), QString::fromUtf8(row.cron));
    EXPECT_EQ(schedule.description(), QString::fromUtf8(row.description));
    EXPECT_EQ(CheckSchedule::parse(schedule.code()), schedule);
}

INSTANTIATE_TEST_SUITE_P(Rows, ScheduleForms,
    ::testing::Values(
        ScheduleRow { "daily@07:30", "daily@07:30", "*-*-* 07:30:00", "30 7 * * *", "каждый день в 07:30" },
        ScheduleRow { "daily@7:05", "daily@07:05", "*-*-* 07:05:00", "5 7 * * *", "каждый день в 07:05" },
        ScheduleRow { "daily@00:00", "daily@00:00", "*-*-* 00:00:00", "0 0 * * *", "каждый день в 00:00" },
        ScheduleRow { "daily@23:59", "daily@23:59", "*-*-* 23:59:00", "59 23 * * *", "каждый день в 23:59" },
        ScheduleRow { "weekly@mon@07:30", "weekly@mon@07:30", "Mon *-*-* 07:30:00", "30 7 * * 1",
            "по понедельникам в 07:30" },
        ScheduleRow { "weekly@Sunday@18:00", "weekly@sun@18:00", "Sun *-*-* 18:00:00", "0 18 * * 0",
            "по воскресеньям в 18:00" },
        ScheduleRow { "weekly@WED@09:15", "weekly@wed@09:15", "Wed *-*-* 09:15:00", "15 9 * * 3",
            "по средам в 09:15" }));

struct RefusedRow {
    const char* text;
    const char* message;
};

class RefusedSchedules : public ::testing::TestWithParam<RefusedRow> { };

TEST_P(RefusedSchedules, SayWhy)
{
    try {
        CheckSchedule::parse(QString::fromUtf8(GetParam().text));
        FAIL() << "accepted " << GetParam().text;
    } catch (const ScheduleError& e) {
        EXPECT_EQ(e.message(), QString::fromUtf8(GetParam().message));
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, RefusedSchedules,
    ::testing::Values(RefusedRow { "daily@24:00", "времени 24:00 не бывает" },
        RefusedRow { "daily@07:60", "времени 07:60 не бывает" },
        RefusedRow { "daily@99:99", "времени 99:99 не бывает" },
        RefusedRow { "daily@7:5", "время \"7:5\" записано не в виде ЧЧ:ММ" },
        RefusedRow { "daily@07:30:00", "время \"07:30:00\" записано не в виде ЧЧ:ММ" },
        RefusedRow { "daily@", "время \"\" записано не в виде ЧЧ:ММ" },
        RefusedRow { "weekly@пн@07:30", "\"пн\" — не день недели (mon, tue, wed, thu, fri, sat, sun)" },
        RefusedRow { "weekly@07:30",
            "\"weekly@07:30\" — не расписание: нужно daily@ЧЧ:ММ, weekly@ДЕНЬ@ЧЧ:ММ или off" },
        RefusedRow { "hourly", "\"hourly\" — не расписание: нужно daily@ЧЧ:ММ, weekly@ДЕНЬ@ЧЧ:ММ или off" },
        RefusedRow { "", "\"\" — не расписание: нужно daily@ЧЧ:ММ, weekly@ДЕНЬ@ЧЧ:ММ или off" }));

struct NextRunRow {
    const char* schedule;
    QDateTime after;
    QDateTime next;
};

QDateTime local(int year, int month, int day, int hour, int minute)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute), Qt::LocalTime);
}

TEST(NextRun, FollowsTheScheduleOnTheLocalClock)
{
    // 2026-12-07 is a Monday.
    const NextRunRow rows[] = {
        { "daily@07:30", local(2026, 12, 7, 6, 0), local(2026, 12, 7, 7, 30) },
        { "daily@07:30", local(2026, 12, 7, 7, 30), local(2026, 12, 8, 7, 30) },
        { "daily@00:00", local(2026, 12, 31, 23, 59), local(2027, 1, 1, 0, 0) },
        { "weekly@mon@07:30", local(2026, 12, 7, 7, 29), local(2026, 12, 7, 7, 30) },
        { "weekly@mon@07:30", local(2026, 12, 7, 8, 0), local(2026, 12, 14, 7, 30) },
        { "weekly@sun@18:00", local(2026, 12, 7, 8, 0), local(2026, 12, 13, 18, 0) },
    };
    for (const NextRunRow& row : rows)
        EXPECT_EQ(CheckSchedule::parse(QString::fromUtf8(row.schedule)).nextRunAfter(row.after), row.next)
            << row.schedule << " after " << row.after.toString(Qt::ISODate).toStdString();
    EXPECT_FALSE(
        CheckSchedule::parse(QStringLiteral("off")).nextRunAfter(local(2026, 12, 7, 6, 0)).isValid());
    EXPECT_EQ(CheckSchedule::parse(QStringLiteral("off")).description(), QStringLiteral("не проверять"));
}

} // namespace
