#pragma once

#include "schedule/CheckSchedule.h"

#include <QString>
#include <optional>

// The schedule of one saved project, as its pair of systemd user units holds it.
struct ProjectSchedule {
    QString projectPath; // absolute
    CheckSchedule schedule;
    QString checkerPath; // the kestrova-check the service runs, absolute
    // The history the checks are kept in (KESTROVA_HISTORY of the service); empty: the file of
    // this computer. Never a connection string that holds a password.
    QString history = {};
};

namespace ScheduleUnits {

// Seconds by which each run is put off at random, so that many checks do not start together.
constexpr int kRandomizedDelaySec = 120;
// A check that hangs is ended after this long.
constexpr int kTimeoutStartMin = 60;

// The path a project is known by: the file's canonical path when it exists, else the canonical
// path of its folder with the file's name, else its absolute path.
QString projectKey(const QString& projectPath);
// "kestrova-check-NAME-HASH": NAME the file name's letters and digits in ASCII (at most 32), HASH
// 32 hex digits of the SHA-256 of the project's path, so a project has one pair of units. Units
// of earlier versions had ten; they are found by the project path their timer records.
QString unitStem(const QString& projectPath);

// The unit files' contents. Throw ScheduleError when a path cannot be put on the ExecStart= line.
QByteArray serviceText(const ProjectSchedule& project);
QByteArray timerText(const ProjectSchedule& project);

// Reads back a timer written by timerText(); nothing when it is not one of ours.
std::optional<ProjectSchedule> readTimer(const QByteArray& text);

} // namespace ScheduleUnits
