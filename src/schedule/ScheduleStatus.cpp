#include "schedule/ScheduleStatus.h"

namespace {

const QString kDateTimeFormat = QStringLiteral("dd.MM.yyyy HH:mm");

QString outcomeText(const RecordedCheck& check)
{
    if (check.outcome == CheckOutcome::Error)
        return ::outcomeText(check.outcome) + QStringLiteral(": ") + check.error;
    return ::outcomeText(check.outcome);
}

} // namespace

namespace ScheduleStatus {

QString nextRun(const CheckSchedule& schedule, const QDateTime& now)
{
    const QDateTime next = schedule.nextRunAfter(now);
    if (!next.isValid())
        return QStringLiteral("Расписания нет");
    return QStringLiteral("Следующая проверка: %1 (и до %2 минут позже)")
        .arg(next.toString(kDateTimeFormat))
        .arg(ScheduleUnits::kRandomizedDelaySec / 60);
}

QString lastCheck(const QList<RecordedCheck>& checksOfSite, const QString& projectPath)
{
    const QString key = ScheduleUnits::projectKey(projectPath);
    for (qsizetype i = checksOfSite.size() - 1; i >= 0; --i) {
        const RecordedCheck& check = checksOfSite[i];
        if (check.projectPath.isEmpty() || ScheduleUnits::projectKey(check.projectPath) != key)
            continue;
        return QStringLiteral("Последняя проверка: %1, %2")
            .arg(check.time.toLocalTime().toString(kDateTimeFormat), outcomeText(check));
    }
    return QStringLiteral("Проверок этого проекта в истории нет");
}

QString tabTip(const std::optional<ProjectSchedule>& schedule)
{
    if (!schedule)
        return {};
    return QStringLiteral("Проверка по расписанию: ") + schedule->schedule.description();
}

} // namespace ScheduleStatus
