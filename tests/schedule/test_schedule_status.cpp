#include "schedule/ScheduleStatus.h"

#include <gtest/gtest.h>

namespace {

RecordedCheck check(const char* project, int day, CheckOutcome outcome, const char* error = "")
{
    RecordedCheck made;
    made.projectPath = QString::fromUtf8(project);
    made.time = QDateTime(QDate(2026, 12, day), QTime(7, 31), Qt::LocalTime).toUTC();
    made.outcome = outcome;
    made.error = QString::fromUtf8(error);
    return made;
}

TEST(ScheduleStatus, TheLastCheckIsThatOfTheProjectFile)
{
    const QString project = QStringLiteral("/nonexistent/сайты/окна.zlt");
    EXPECT_EQ(ScheduleStatus::lastCheck({}, project), QStringLiteral("Проверок этого проекта в истории нет"));
    const std::pair<QList<RecordedCheck>, const char*> rows[] = {
        { { check("/nonexistent/сайты/окна.zlt", 5, CheckOutcome::Completed) },
            "Последняя проверка: 05.12.2026 07:31, завершена" },
        { { check("/nonexistent/сайты/окна.zlt", 5, CheckOutcome::Completed),
              check("/nonexistent/сайты/окна.zlt", 6, CheckOutcome::Stopped),
              check("/nonexistent/другой.zlt", 7, CheckOutcome::Completed),
              check("", 7, CheckOutcome::Completed) },
            "Последняя проверка: 06.12.2026 07:31, остановлена" },
        { { check("/nonexistent/сайты/../сайты/окна.zlt", 4, CheckOutcome::Error, "нет сети") },
            "Последняя проверка: 04.12.2026 07:31, ошибка: нет сети" },
        { { check("/nonexistent/другой.zlt", 7, CheckOutcome::Completed) },
            "Проверок этого проекта в истории нет" },
    };
    for (const auto& [checks, text] : rows)
        EXPECT_EQ(ScheduleStatus::lastCheck(checks, project), QString::fromUtf8(text));
}

TEST(ScheduleStatus, NextRunAndTabTip)
{
    const QDateTime monday(QDate(2026, 12, 7), QTime(8, 0), Qt::LocalTime);
    EXPECT_EQ(ScheduleStatus::nextRun(CheckSchedule::parse(QStringLiteral("daily@07:30")), monday),
        QStringLiteral("Следующая проверка: 08.12.2026 07:30 (и до 2 минут позже)"));
    EXPECT_EQ(ScheduleStatus::nextRun(CheckSchedule {}, monday), QStringLiteral("Расписания нет"));
    EXPECT_EQ(ScheduleStatus::tabTip(std::nullopt), QString());
    EXPECT_EQ(ScheduleStatus::tabTip(ProjectSchedule { QStringLiteral("/a.zlt"),
                  CheckSchedule::parse(QStringLiteral("weekly@tue@06:00")),
                  QStringLiteral("/usr/bin/kestrova-check") }),
        QStringLiteral("Проверка по расписанию: по вторникам в 06:00"));
}

} // namespace
