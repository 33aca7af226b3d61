#pragma once

#include "schedule/UserServiceManager.h"
#include "schedule/UserUnitFolder.h"

// What setting a schedule did.
struct ScheduleChange {
    // False when no user service manager runs: then nothing was written, and the crontab line
    // does the same instead. Switching a schedule off needs no manager: its units are removed.
    bool applied = true;
    QString managerProblem; // systemctl's own words
    QString crontabLine;
};

// Sets, changes and removes the schedule of saved projects as systemd user timers.
class ProjectScheduler {
public:
    // checkerPath: the kestrova-check the timers run.
    ProjectScheduler(
        const UserUnitFolder& folder, const UserServiceManager& manager, const QString& checkerPath);

    const UserUnitFolder& folder() const { return m_folder; }
    const QString& checkerPath() const { return m_checkerPath; }
    // The history the scheduled checks keep their results in, set in the environment of their
    // units; empty: the file of this computer.
    void setHistory(const QString& location) { m_history = location; }

    // Writes or removes the project's units and tells the user service manager. Throws
    // ScheduleError for a project file that is not there, a path that cannot be put into a unit, a
    // folder that cannot be written or a refusal by systemctl; nothing half-made is left then.
    ScheduleChange set(const QString& projectPath, const CheckSchedule& schedule);

    // "30 7 * * * '/usr/bin/kestrova-check' --scheduled '/home/me/a b.zlt'"
    static QString crontabLine(const ProjectSchedule& project);
    // Said when no user service manager runs; followed by the crontab line.
    static const QString kNoManagerMessage;

private:
    void install(const ProjectSchedule& project);
    void uninstall(const QString& projectPath);

    UserUnitFolder m_folder;
    UserServiceManager m_manager;
    QString m_checkerPath;
    QString m_history;
};
