#pragma once

#include <QString>

// Texts as systemd unit files and crontab lines need them.
namespace UnitQuoting {

// One word of an ExecStart= line: in double quotes, with \ and " escaped by a backslash, % doubled
// (a specifier otherwise) and $ doubled (a variable otherwise). Letters beyond ASCII stay as they
// are (unit files are UTF-8). A line break or another control character cannot be put on the
// line: ScheduleError.
QString execWord(const QString& word);
// A value of a setting that expands specifiers, such as Description=: % doubled, control
// characters left out.
QString specifierValue(const QString& text);
// An Environment= assignment "NAME=value" in double quotes, with \ and " escaped by a backslash and
// % doubled (the setting expands specifiers, not variables). A control character: ScheduleError.
QString environmentAssignment(const QString& name, const QString& value);
// One word of a crontab command: in single quotes for the shell, with % escaped, since cron makes
// a line break of a bare one. A line break: ScheduleError.
QString cronWord(const QString& word);

} // namespace UnitQuoting
