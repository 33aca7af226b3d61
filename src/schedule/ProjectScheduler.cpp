#include "schedule/ProjectScheduler.h"

#include "schedule/ScheduleError.h"
#include "schedule/UnitQuoting.h"

#include <QFileInfo>

const QString ProjectScheduler::kNoManagerMessage = QStringLiteral(
    "Служба пользователя systemd здесь не запущена (так бывает в контейнере и на некоторых рабочих "
    "столах), поэтому расписание не создано и ничего не записано. То же самое делает строка для "
    "crontab -e:");

ProjectScheduler::ProjectScheduler(
    const UserUnitFolder& folder, const UserServiceManager& manager, const QString& checkerPath)
    : m_folder(folder)
    , m_manager(manager)
    , m_checkerPath(checkerPath)
{
}

QString ProjectScheduler::crontabLine(const ProjectSchedule& project)
{
    const QString history = project.history.isEmpty()
        ? QString()
        : QStringLiteral("KESTROVA_HISTORY=") + UnitQuoting::cronWord(project.history) + u' ';
    return project.schedule.cronFields() + u' ' + history + UnitQuoting::cronWord(project.checkerPath)
        + QStringLiteral(" --scheduled ") + UnitQuoting::cronWord(project.projectPath)
        + QStringLiteral(" >/dev/null");
}

ScheduleChange ProjectScheduler::set(const QString& projectPath, const CheckSchedule& schedule)
{
    ProjectSchedule project { ScheduleUnits::projectKey(projectPath), schedule, m_checkerPath, m_history };
    ScheduleChange change;
    if (schedule.kind != CheckSchedule::Kind::Off) {
        if (!QFileInfo(project.projectPath).isFile())
            throw ScheduleInputError(QStringLiteral("файл проекта %1 не найден").arg(project.projectPath));
        // Refuses a path that cannot be put into a unit before anything is asked or written.
        ScheduleUnits::serviceText(project);
        ScheduleUnits::timerText(project);
        change.crontabLine = crontabLine(project);
    }
    if (!m_manager.available(&change.managerProblem)) {
        change.applied = false;
        // Units left from a time a manager ran would only mislead.
        if (schedule.kind == CheckSchedule::Kind::Off)
            m_folder.remove(project.projectPath);
        return change;
    }
    if (schedule.kind == CheckSchedule::Kind::Off)
        uninstall(project.projectPath);
    else
        install(project);
    return change;
}

void ProjectScheduler::install(const ProjectSchedule& project)
{
    const QString timer = QFileInfo(m_folder.timerPath(project.projectPath)).fileName();
    const bool changed = m_folder.timersOf(project.projectPath).contains(timer);
    // Units an earlier version named otherwise would run the project a second time.
    QStringList former = m_folder.timersOf(project.projectPath);
    former.removeAll(timer);
    m_folder.write(project);
    for (const QString& old : former) {
        try {
            m_manager.disableNow(old);
        } catch (const ScheduleError&) {
            // A timer the manager never loaded cannot be disabled; its files still go.
        }
        m_folder.removeTimer(old);
    }
    try {
        m_manager.reload();
        m_manager.enableNow(timer);
        // The restart makes a running timer compute its next elapse from the new calendar.
        if (changed)
            m_manager.restart(timer);
    } catch (const ScheduleError&) {
        m_folder.remove(project.projectPath);
        try {
            m_manager.reload();
        } catch (const ScheduleError&) {
            // The first refusal is the one worth telling.
        }
        throw;
    }
}

void ProjectScheduler::uninstall(const QString& projectPath)
{
    const QStringList timers = m_folder.timersOf(projectPath);
    if (timers.isEmpty() && !QFileInfo::exists(m_folder.servicePath(projectPath)))
        return;
    for (const QString& timer : timers) {
        try {
            m_manager.disableNow(timer);
        } catch (const ScheduleError&) {
            // A timer the manager never loaded cannot be disabled; its files still go.
        }
    }
    m_folder.remove(projectPath);
    m_manager.reload();
}
