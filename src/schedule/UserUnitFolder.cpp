#include "schedule/UserUnitFolder.h"

#include "platform/BoundedFile.h"
#include "platform/SafeFile.h"
#include "schedule/ScheduleError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

constexpr qint64 kMaxUnitBytes = 64 * 1024;

void refuseNonRegular(const QString& path)
{
    const QFileInfo info(path);
    if ((info.exists() || info.isSymLink()) && (!info.isFile() || info.isSymLink()))
        throw ScheduleError(QStringLiteral("%1 — не обычный файл, расписание его не заменяет").arg(path));
}

const QString kTimerPattern = QStringLiteral("kestrova-check-*.timer");

// The schedule a timer of ours records; nothing for a file that is not one.
std::optional<ProjectSchedule> readTimerFile(const QString& path)
{
    QString reason;
    const auto text = BoundedFile::read(path, kMaxUnitBytes, &reason);
    if (!text)
        return std::nullopt;
    return ScheduleUnits::readTimer(*text);
}

void removeFile(const QString& path)
{
    QFile file(path);
    if (QFileInfo(path).isFile() && !file.remove())
        throw ScheduleError(QStringLiteral("не удалось удалить %1: %2").arg(path, file.errorString()));
}

} // namespace

UserUnitFolder::UserUnitFolder(const QString& path)
    : m_path(path)
{
}

QString UserUnitFolder::defaultPath()
{
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty() || !QDir::isAbsolutePath(config))
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/systemd/user");
}

QString UserUnitFolder::timerPath(const QString& projectPath) const
{
    return m_path + u'/' + ScheduleUnits::unitStem(projectPath) + QStringLiteral(".timer");
}

QString UserUnitFolder::servicePath(const QString& projectPath) const
{
    return m_path + u'/' + ScheduleUnits::unitStem(projectPath) + QStringLiteral(".service");
}

QStringList UserUnitFolder::timersOf(const QString& projectPath) const
{
    const QString key = ScheduleUnits::projectKey(projectPath);
    QStringList timers;
    const QDir folder(m_path);
    for (const QString& name : folder.entryList({ kTimerPattern }, QDir::Files, QDir::Name)) {
        const auto recorded = readTimerFile(folder.filePath(name));
        if (recorded && ScheduleUnits::projectKey(recorded->projectPath) == key)
            timers << name;
    }
    return timers;
}

void UserUnitFolder::write(const ProjectSchedule& project)
{
    const QByteArray service = ScheduleUnits::serviceText(project);
    const QByteArray timer = ScheduleUnits::timerText(project);
    const QString servicePath = this->servicePath(project.projectPath);
    const QString timerPath = this->timerPath(project.projectPath);
    refuseNonRegular(servicePath);
    refuseNonRegular(timerPath);
    if (const auto existing = readTimerFile(timerPath); existing
        && ScheduleUnits::projectKey(existing->projectPath) != ScheduleUnits::projectKey(project.projectPath))
        throw ScheduleError(QStringLiteral("%1 уже проверяет проект %2, расписание его не заменяет")
                                .arg(timerPath, existing->projectPath));
    if (!QDir().mkpath(m_path))
        throw ScheduleError(QStringLiteral("не удалось создать папку %1").arg(m_path));
    const bool serviceExisted = QFileInfo::exists(servicePath);
    QString reason;
    if (!SafeFile::replace(servicePath, service, &reason))
        throw ScheduleError(QStringLiteral("не удалось записать %1: %2").arg(servicePath, reason));
    if (!SafeFile::replace(timerPath, timer, &reason)) {
        if (!serviceExisted)
            QFile::remove(servicePath);
        throw ScheduleError(QStringLiteral("не удалось записать %1: %2").arg(timerPath, reason));
    }
}

void UserUnitFolder::remove(const QString& projectPath)
{
    // A service whose timer is gone is removed only under the project's own name: it records no path.
    if (!QFileInfo::exists(timerPath(projectPath)))
        removeFile(servicePath(projectPath));
    for (const QString& timer : timersOf(projectPath))
        removeTimer(timer);
}

void UserUnitFolder::removeTimer(const QString& timerName)
{
    const QString stem = timerName.chopped(int(sizeof ".timer") - 1);
    removeFile(m_path + u'/' + timerName);
    removeFile(m_path + u'/' + stem + QStringLiteral(".service"));
}

std::optional<ProjectSchedule> UserUnitFolder::find(const QString& projectPath) const
{
    const QStringList timers = timersOf(projectPath);
    if (timers.isEmpty())
        return std::nullopt;
    const QString own = QFileInfo(timerPath(projectPath)).fileName();
    return readTimerFile(m_path + u'/' + (timers.contains(own) ? own : timers.first()));
}

QList<ProjectSchedule> UserUnitFolder::all() const
{
    QList<ProjectSchedule> schedules;
    const QDir folder(m_path);
    for (const QString& name : folder.entryList({ kTimerPattern }, QDir::Files, QDir::Name)) {
        if (auto project = readTimerFile(folder.filePath(name)))
            schedules << *project;
    }
    return schedules;
}
