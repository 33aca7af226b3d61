#pragma once

#include "history/HistoryRecord.h"
#include "schedule/ScheduleUnits.h"

#include <QList>
#include <QString>
#include <optional>

// What the schedule dialog and the project's tab say about a schedule.
namespace ScheduleStatus {

// "Следующая проверка: 08.12.2026 07:30 (и до 2 минут позже)"; "Расписания нет" for none.
QString nextRun(const CheckSchedule& schedule, const QDateTime& now);
// The latest check of the project file among the checks of its site: "Последняя проверка:
// 07.12.2026 07:31, завершена"; "Проверок этого проекта в истории нет" without one.
QString lastCheck(const QList<RecordedCheck>& checksOfSite, const QString& projectPath);
// The tab's tooltip: "Проверка по расписанию: каждый день в 07:30"; empty without a schedule.
QString tabTip(const std::optional<ProjectSchedule>& schedule);

} // namespace ScheduleStatus
