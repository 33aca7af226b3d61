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

void UserUnitFolder::write(const ProjectSchedule& project)
{
    const QByteArray service = ScheduleUnits::serviceText(project);
    const QByteArray timer = ScheduleUnits::timerText(project);
    const QString servicePath = this->servicePath(project.projectPath);
    const QString timerPath = this->timerPath(project.projectPath);
    refuseNonRegular(servicePath);
    refuseNonRegular(timerPath);
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
    removeFile(timerPath(projectPath));
    removeFile(servicePath(projectPath));
}

std::optional<ProjectSchedule> UserUnitFolder::find(const QString& projectPath) const
{
    QString reason;
    const auto text = BoundedFile::read(timerPath(projectPath), kMaxUnitBytes, &reason);
    if (!text)
        return std::nullopt;
    return ScheduleUnits::readTimer(*text);
}

QList<ProjectSchedule> UserUnitFolder::all() const
{
    QList<ProjectSchedule> schedules;
    const QDir folder(m_path);
    const QStringList timers
        = folder.entryList({ QStringLiteral("kestrova-check-*.timer") }, QDir::Files, QDir::Name);
    for (const QString& name : timers) {
        QString reason;
        const auto text = BoundedFile::read(folder.filePath(name), kMaxUnitBytes, &reason);
        if (!text)
            continue;
        if (auto project = ScheduleUnits::readTimer(*text))
            schedules << *project;
    }
    return schedules;
}
