#pragma once

#include "schedule/ScheduleUnits.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// The folder of the user's own systemd units, where the schedules' timers and services live.
// Throws ScheduleError with the reason when it cannot be written or read.
class UserUnitFolder {
public:
    explicit UserUnitFolder(const QString& path = defaultPath());

    // $XDG_CONFIG_HOME/systemd/user (by default ~/.config/systemd/user).
    static QString defaultPath();

    const QString& path() const { return m_path; }
    // The units the project's schedule is written to.
    QString timerPath(const QString& projectPath) const;
    QString servicePath(const QString& projectPath) const;
    // The timers that run the project (found by the project path each records), file names only:
    // besides the one of timerPath(), those of earlier versions or of the path before it moved.
    QStringList timersOf(const QString& projectPath) const;

    // Writes the service and the timer, each replaced at once; when one cannot be written, the
    // units written before it are removed again. Bad input, or units of that name that run
    // another project, are refused before anything is written.
    void write(const ProjectSchedule& project);
    // Removes every unit that runs the project; files that are not there are fine.
    void remove(const QString& projectPath);
    // Removes the units of one timer (a name timersOf() gave).
    void removeTimer(const QString& timerName);
    // The project's schedule, when it has one.
    std::optional<ProjectSchedule> find(const QString& projectPath) const;
    // Every project's schedule, in the order of the units' names.
    QList<ProjectSchedule> all() const;

private:
    QString m_path;
};
