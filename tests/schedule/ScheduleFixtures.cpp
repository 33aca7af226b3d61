#include "ScheduleFixtures.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>

ScheduleHome::ScheduleHome()
{
    QDir(m_dir.path()).mkpath(QStringLiteral("runtime"));
    QFile::setPermissions(
        runtime(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

QProcessEnvironment ScheduleHome::environment() const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config());
    environment.insert(QStringLiteral("XDG_DATA_HOME"), data());
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime());
    environment.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
    environment.remove(QStringLiteral("DISPLAY"));
    return environment;
}

void ScheduleHome::enter() const
{
    qputenv("XDG_CONFIG_HOME", config().toUtf8());
    qputenv("XDG_DATA_HOME", data().toUtf8());
    qputenv("XDG_RUNTIME_DIR", runtime().toUtf8());
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
}

Verdict verifyUnits(const QStringList& unitFiles, const QString& runtimeDir)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir);
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral("systemd-analyze"),
        QStringList { QStringLiteral("verify"), QStringLiteral("--user") } + unitFiles);
    Verdict verdict;
    if (!process.waitForFinished(60000))
        return verdict;
    verdict.exitCode = process.exitCode();
    verdict.said = process.readAll();
    return verdict;
}

QStringList execStartWords(const QByteArray& serviceText)
{
    QString line;
    for (const QByteArray& text : serviceText.split('\n'))
        if (text.startsWith("ExecStart="))
            line = QString::fromUtf8(text.mid(10));
    QStringList words;
    QString word;
    bool inWord = false, quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (c == u'"') {
            quoted = !quoted;
            inWord = true;
        } else if (c == u'\\' && i + 1 < line.size()) {
            word += line[++i];
        } else if ((c == u'%' || c == u'$') && i + 1 < line.size() && line[i + 1] == c) {
            word += c;
            ++i;
        } else if (c == u' ' && !quoted) {
            if (inWord)
                words << word;
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord)
        words << word;
    return words;
}

QStringList filesBelow(const QString& folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(folder).relativeFilePath(it.next());
    return files;
}
