#pragma once

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A user's folders for one test: config, data and an empty runtime folder, so that no user service
// manager and no session bus of the machine can be reached.
class ScheduleHome {
public:
    ScheduleHome();
    QString config() const { return m_dir.filePath(QStringLiteral("config")); }
    QString data() const { return m_dir.filePath(QStringLiteral("data")); }
    QString runtime() const { return m_dir.filePath(QStringLiteral("runtime")); }
    QString unitFolder() const { return config() + QStringLiteral("/systemd/user"); }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }
    QProcessEnvironment environment() const;
    // Points this process's XDG variables at the folders, for code that reads them itself.
    void enter() const;

private:
    QTemporaryDir m_dir;
};

// systemd's own check of unit files: the exit code and every line it said; "" when it found nothing.
struct Verdict {
    int exitCode = -1;
    QByteArray said;
};
Verdict verifyUnits(const QStringList& unitFiles, const QString& runtimeDir);

// The words of an ExecStart= line as systemd splits them: blanks between words, "double quotes",
// backslash escapes, %% and $$ for one % and $.
QStringList execStartWords(const QByteArray& serviceText);

// Every file below the folder, relative to it.
QStringList filesBelow(const QString& folder);
