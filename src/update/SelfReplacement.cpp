#include "update/SelfReplacement.h"

#include "platform/SafeFile.h"
#include "update/UpdateCheck.h"
#include "update/UpdateFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace SelfReplacement {

QByteArray shellQuoted(const QByteArray& text)
{
    // Inside single quotes only the quote itself is special: close, add an escaped one, reopen.
    QByteArray quoted = "'";
    for (const char c : text) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    return quoted + '\'';
}

QByteArray scriptText(const UpdateFiles& files, qint64 oldProcessId)
{
    QByteArray text = "#!/bin/sh\n"
                      "# Puts the downloaded Kestrova Sertrix in place of the old one and starts it.\n";
    text += "pid=" + QByteArray::number(oldProcessId) + '\n';
    text += "exe=" + shellQuoted(QFile::encodeName(files.ExeFileName)) + '\n';
    text += "tmp=" + shellQuoted(QFile::encodeName(files.TempExeFileName)) + '\n';
    text += "sig=" + shellQuoted(QFile::encodeName(files.SignatureFileName)) + '\n';
    text += "fail=" + shellQuoted(QFile::encodeName(files.FailureFileName)) + '\n';
    text += "self=" + shellQuoted(QFile::encodeName(files.BatchFileName)) + '\n';
    text += "while kill -0 \"$pid\" 2>/dev/null; do sleep 0.2; done\n"
            // The rename replaces the file in one step, also while another user runs the old one.
            // When the copy fails the old program starts and finds the reason in the failure note;
            // where not even the note can be written, the new file goes so that it is not tried again.
            "if err=$(cp -p -- \"$tmp\" \"$exe.new\" 2>&1 && mv -f -- \"$exe.new\" \"$exe\" 2>&1); then\n"
            "  rm -f -- \"$tmp\" \"$sig\"\n"
            "else\n"
            "  rm -f -- \"$exe.new\"\n"
            "  printf '%s\\n' \"${err:-cp failed}\" > \"$fail\" || rm -f -- \"$tmp\" \"$sig\"\n"
            "fi\n"
            "\"$exe\" </dev/null >/dev/null 2>&1 &\n"
            "rm -f -- \"$self\"\n";
    return text;
}

void writeScript(const UpdateFiles& files, qint64 oldProcessId)
{
    QString reason;
    if (!SafeFile::replace(files.BatchFileName, scriptText(files, oldProcessId), &reason))
        throw EUpdate(QStringLiteral("Cannot create file \"%1\". %2")
                          .arg(QDir::toNativeSeparators(files.BatchFileName), reason)
                          .toStdString());
}

bool startDetached(const QString& scriptPath, QString* reason)
{
    QProcess process;
    const QString setsid = QStandardPaths::findExecutable(QStringLiteral("setsid"));
    if (setsid.isEmpty()) {
        process.setProgram(QStringLiteral("/bin/sh"));
        process.setArguments({ scriptPath });
    } else {
        process.setProgram(setsid);
        process.setArguments({ QStringLiteral("/bin/sh"), scriptPath });
    }
    process.setWorkingDirectory(QFileInfo(scriptPath).absolutePath());
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    if (!process.startDetached()) {
        *reason = process.errorString();
        return false;
    }
    return true;
}

} // namespace SelfReplacement
