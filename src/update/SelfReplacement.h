#pragma once

#include <QByteArray>
#include <QString>

struct UpdateFiles;

// The replacing script: a POSIX shell script beside the executable that waits until the old
// program has ended, puts the new file in its place, deletes the temporary file, starts the new
// program and removes itself.
namespace SelfReplacement {

// The text as one single-quoted shell word, whatever it holds.
QByteArray shellQuoted(const QByteArray& text);

QByteArray scriptText(const UpdateFiles& files, qint64 oldProcessId);

// Saves the script as files.BatchFileName; throws EUpdate with the system's reason.
void writeScript(const UpdateFiles& files, qint64 oldProcessId);

// Starts the script detached, in a session of its own, with no terminal; false with the reason.
bool startDetached(const QString& scriptPath, QString* reason);

} // namespace SelfReplacement
