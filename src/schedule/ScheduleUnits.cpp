#include "schedule/ScheduleUnits.h"

#include "schedule/ScheduleError.h"
#include "schedule/UnitQuoting.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>

namespace {

const QByteArray kProjectComment = "# Project: ";
const QByteArray kScheduleComment = "# Schedule: ";
const QByteArray kCheckerComment = "# Checker: ";
constexpr int kMaxNameLength = 32;
// 128 bits: no two paths share a pair of units in practice, and a shared name is refused anyway.
constexpr int kHashDigits = 32;

QString description(const ProjectSchedule& project)
{
    return UnitQuoting::specifierValue(QStringLiteral("Kestrova Sertrix: проверка %1 по расписанию")
                                           .arg(QFileInfo(project.projectPath).fileName()));
}

} // namespace

namespace ScheduleUnits {

QString projectKey(const QString& projectPath)
{
    const QFileInfo info(projectPath);
    const QString canonical = info.canonicalFilePath();
    if (!canonical.isEmpty())
        return canonical;
    // A project deleted or moved away is still known by the real path of its folder.
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return folder.isEmpty() ? info.absoluteFilePath() : QDir(folder).filePath(info.fileName());
}

QString unitStem(const QString& projectPath)
{
    const QString key = projectKey(projectPath);
    QString name;
    for (const QChar c : QFileInfo(key).completeBaseName()) {
        if (name.size() == kMaxNameLength)
            break;
        if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9'))
            name += c;
        else if (!name.isEmpty() && !name.endsWith(u'_'))
            name += u'_';
    }
    while (name.endsWith(u'_'))
        name.chop(1);
    const QByteArray hash
        = QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha256).toHex().left(kHashDigits);
    return QStringLiteral("kestrova-check-") + (name.isEmpty() ? QString() : name + u'-')
        + QString::fromLatin1(hash);
}

QByteArray serviceText(const ProjectSchedule& project)
{
    const QString execStart = UnitQuoting::execWord(project.checkerPath) + QStringLiteral(" --scheduled ")
        + UnitQuoting::execWord(project.projectPath);
    return QStringLiteral(
        "# Written by Kestrova Sertrix; the schedule of a project is changed in the program\n"
        "# or with kestrova-check --schedule.\n"
        "[Unit]\n"
        "Description=%1\n"
        "\n"
        "[Service]\n"
        "Type=oneshot\n"
        "%4"
        "ExecStart=%2\n"
        "TimeoutStartSec=%3min\n")
        .arg(description(project), execStart)
        .arg(kTimeoutStartMin)
        .arg(project.history.isEmpty() ? QString()
                                       : QStringLiteral("Environment=")
                    + UnitQuoting::environmentAssignment(QStringLiteral("KESTROVA_HISTORY"), project.history)
                    + u'\n')
        .toUtf8();
}

QByteArray timerText(const ProjectSchedule& project)
{
    if (project.schedule.kind == CheckSchedule::Kind::Off)
        throw ScheduleError(QStringLiteral("расписание выключено, таймер не нужен"));
    // The comments are read back by readTimer(); the service refuses a path with a line break.
    UnitQuoting::execWord(project.projectPath);
    return (kProjectComment + project.projectPath.toUtf8() + '\n' + kScheduleComment
        + project.schedule.code().toUtf8() + '\n' + kCheckerComment + project.checkerPath.toUtf8() + '\n'
        + QStringLiteral("[Unit]\n"
                         "Description=%1\n"
                         "\n"
                         "[Timer]\n"
                         "OnCalendar=%2\n"
                         "Persistent=true\n"
                         "RandomizedDelaySec=%3\n"
                         "\n"
                         "[Install]\n"
                         "WantedBy=timers.target\n")
              .arg(description(project), project.schedule.onCalendar())
              .arg(kRandomizedDelaySec)
              .toUtf8());
}

std::optional<ProjectSchedule> readTimer(const QByteArray& text)
{
    ProjectSchedule project;
    bool schedule = false;
    for (const QByteArray& line : text.split('\n')) {
        if (line.startsWith(kProjectComment))
            project.projectPath = QString::fromUtf8(line.mid(kProjectComment.size()));
        else if (line.startsWith(kCheckerComment))
            project.checkerPath = QString::fromUtf8(line.mid(kCheckerComment.size()));
        else if (line.startsWith(kScheduleComment)) {
            try {
                project.schedule = CheckSchedule::parse(QString::fromUtf8(line.mid(kScheduleComment.size())));
                schedule = project.schedule.kind != CheckSchedule::Kind::Off;
            } catch (const ScheduleError&) {
                return std::nullopt;
            }
        }
    }
    if (!schedule || project.projectPath.isEmpty())
        return std::nullopt;
    return project;
}

} // namespace ScheduleUnits
