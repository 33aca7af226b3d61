#pragma once

#include "history/HistoryRecord.h"

#include <QString>
#include <optional>

class QIODevice;
struct CheckArguments;

// --schedule WHEN PROJECT: sets the project's systemd user timer. Returns the exit code.
int setCheckSchedule(const CheckArguments& options, QIODevice& out, QIODevice& err);
// --schedules: every project's schedule with its next run.
int listCheckSchedules(QIODevice& out);

// After a check run by a timer: the desktop notice of what moved since the previous check of the
// site, or of why the check could not run. Sends nothing when there is no desktop to tell.
void noticeScheduledCheck(const RecordedCheck& current, const RecordedCheck* previous,
    const std::optional<QString>& nothingAnswered);
void noticeScheduledFailure(const QString& projectPath, const QString& message);
