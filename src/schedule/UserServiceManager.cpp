#include "schedule/UserServiceManager.h"

#include "schedule/ScheduleError.h"

#include <QProcess>

UserServiceManager::UserServiceManager(const QString& systemctl)
    : m_systemctl(systemctl)
{
}

int UserServiceManager::run(const QStringList& arguments, QString* output) const
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(
        m_systemctl, QStringList { QStringLiteral("--user"), QStringLiteral("--no-pager") } + arguments);
    if (!process.waitForStarted(kTimeoutMs)) {
        *output = QStringLiteral("не удалось запустить %1: %2").arg(m_systemctl, process.errorString());
        return -1;
    }
    if (!process.waitForFinished(kTimeoutMs)) {
        process.kill();
        process.waitForFinished(kTimeoutMs);
        *output = QStringLiteral("%1 не ответил за %2 с").arg(m_systemctl).arg(kTimeoutMs / 1000);
        return -1;
    }
    *output = QString::fromUtf8(process.readAll()).trimmed();
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

bool UserServiceManager::available(QString* reason) const
{
    QString output;
    if (run({ QStringLiteral("show-environment") }, &output) == 0)
        return true;
    *reason = output;
    return false;
}

void UserServiceManager::runOrThrow(const QStringList& arguments) const
{
    QString output;
    if (run(arguments, &output) != 0)
        throw ScheduleError(QStringLiteral("systemctl --user %1: %2").arg(arguments.join(u' '), output));
}

void UserServiceManager::reload() const
{
    runOrThrow({ QStringLiteral("daemon-reload") });
}

void UserServiceManager::enableNow(const QString& unit) const
{
    runOrThrow({ QStringLiteral("enable"), QStringLiteral("--now"), unit });
}

void UserServiceManager::disableNow(const QString& unit) const
{
    runOrThrow({ QStringLiteral("disable"), QStringLiteral("--now"), unit });
}

void UserServiceManager::restart(const QString& unit) const
{
    runOrThrow({ QStringLiteral("restart"), unit });
}
