#pragma once

#include "schedule/ScheduleUnits.h"

#include <QList>
#include <QString>
#include <optional>

// The folder of the user's own systemd units, where the schedules' timers and services live.
// Throws ScheduleError with the reason when it cannot be written or read.
class UserUnitFolder {
public:
    explicit UserUnitFolder(const QString& path = defaultPath());

    // $XDG_CONFIG_HOME/systemd/user (by default ~/.config/systemd/user).
    static QString defaultPath();

    const QString& path() const { return m_path; }
    QString timerPath(const QString& projectPath) const;
    QString servicePath(const QString& projectPath) const;

    // Writes the service and the timer, each replaced at once; when one cannot be written, the
    // units written before it are removed again. Bad input is refused before anything is written.
    void write(const ProjectSchedule& project);
    // Removes the project's units; files that are not there are fine.
    void remove(const QString& projectPath);
    // The project's schedule, when it has one.
    std::optional<ProjectSchedule> find(const QString& projectPath) const;
    // Every project's schedule, in the order of the units' names.
    QList<ProjectSchedule> all() const;

private:
    QString m_path;
};
