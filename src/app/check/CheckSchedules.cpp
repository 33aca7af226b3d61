#include "app/check/CheckSchedules.h"

#include "app/check/CheckArguments.h"
#include "app/check/CheckHistory.h"
#include "app/check/Checker.h"
#include "history/HistoryLocation.h"
#include "schedule/CheckNotice.h"
#include "schedule/ProjectScheduler.h"
#include "schedule/ScheduleError.h"
#include "schedule/dbus/DesktopNotifier.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QIODevice>

namespace {

QString nextRunText(const CheckSchedule& schedule)
{
    return schedule.nextRunAfter(QDateTime::currentDateTime()).toString(QStringLiteral("yyyy-MM-dd HH:mm"));
}

} // namespace

int setCheckSchedule(const CheckArguments& options, QIODevice& out, QIODevice& err)
{
    ProjectScheduler scheduler(
        UserUnitFolder(), UserServiceManager(), QCoreApplication::applicationFilePath());
    // The scheduled checks write where this one would.
    const QString history = checkHistoryLocation(options);
    if (!acceptHistoryLocation(history, err))
        return kExitUsage;
    scheduler.setHistory(HistoryLocation::namedForUnits(history));
    CheckSchedule schedule;
    try {
        schedule = CheckSchedule::parse(*options.schedule);
    } catch (const ScheduleError& e) {
        writeLine(err, QStringLiteral("kestrova-check: ") + e.message());
        return kExitUsage;
    }
    ScheduleChange change;
    try {
        change = scheduler.set(options.projectPath, schedule);
    } catch (const ScheduleInputError& e) {
        writeLine(err, QStringLiteral("kestrova-check: ") + e.message());
        return kExitUsage;
    } catch (const ScheduleError& e) {
        writeLine(err, QStringLiteral("kestrova-check: ") + e.message());
        return kExitError;
    }
    if (!change.applied && schedule.kind != CheckSchedule::Kind::Off) {
        writeLine(err, QStringLiteral("kestrova-check: ") + ProjectScheduler::kNoManagerMessage);
        if (!change.managerProblem.isEmpty())
            writeLine(err, QStringLiteral("(systemctl --user: %1)").arg(change.managerProblem));
        if (!change.crontabLine.isEmpty())
            writeLine(out, change.crontabLine);
        return kExitError;
    }
    const QString project = ScheduleUnits::projectKey(options.projectPath);
    if (schedule.kind == CheckSchedule::Kind::Off) {
        writeLine(out, QStringLiteral("%1: без расписания").arg(project));
        return kExitDone;
    }
    writeLine(out,
        QStringLiteral("%1: %2 (%3), следующая проверка %4\n%5\n%6")
            .arg(project, schedule.code(), schedule.description(), nextRunText(schedule),
                scheduler.folder().timerPath(project), scheduler.folder().servicePath(project)));
    return kExitDone;
}

int listCheckSchedules(QIODevice& out)
{
    for (const ProjectSchedule& project : UserUnitFolder().all()) {
        QString line = QStringLiteral("%1  %2  %3")
                           .arg(nextRunText(project.schedule), project.schedule.code(), project.projectPath);
        if (!QFileInfo(project.projectPath).isFile())
            line += QStringLiteral("  (проект не найден)");
        writeLine(out, line);
    }
    return kExitDone;
}

void noticeScheduledCheck(const RecordedCheck& current, const RecordedCheck* previous,
    const std::optional<QString>& nothingAnswered)
{
    if (const auto notice = CheckNotice::afterCheck(current, previous, nothingAnswered))
        DesktopNotifier().send(*notice);
}

void noticeScheduledFailure(const QString& projectPath, const QString& message)
{
    DesktopNotifier().send(CheckNotice::failed(projectPath, message));
}
