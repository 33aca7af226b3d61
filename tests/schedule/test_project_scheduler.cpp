#include "ScheduleFixtures.h"
#include "schedule/ProjectScheduler.h"
#include "schedule/ScheduleError.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

// A systemctl that records every call on a line of its own and fails the verbs it is told to.
class RecordingSystemctl {
public:
    explicit RecordingSystemctl(const ScheduleHome& home, const QString& failing = {})
        : m_path(home.filePath(QStringLiteral("systemctl")))
        , m_log(home.filePath(QStringLiteral("systemctl.log")))
    {
        QFile script(m_path);
        EXPECT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(QStringLiteral("#!/bin/sh\n"
                                    "echo \"$*\" >>'%1'\n"
                                    "case \" $* \" in *' %2 '*) echo 'Failed to %2' >&2; exit 1;; esac\n")
                         .arg(m_log, failing.isEmpty() ? QStringLiteral("no-such-verb") : failing)
                         .toUtf8());
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    const QString& path() const { return m_path; }
    QStringList calls() const
    {
        QFile log(m_log);
        if (!log.open(QIODevice::ReadOnly))
            return {};
        QStringList calls = QString::fromUtf8(log.readAll()).split(u'\n', Qt::SkipEmptyParts);
        QFile::remove(m_log);
        return calls;
    }

private:
    QString m_path;
    QString m_log;
};

class SchedulerCalls : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_project = m_home.filePath(QStringLiteral("shop.zlt"));
        QFile file(m_project);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }

    ProjectScheduler scheduler(const RecordingSystemctl& systemctl) const
    {
        return ProjectScheduler(UserUnitFolder(m_home.unitFolder()), UserServiceManager(systemctl.path()),
            QStringLiteral("/usr/bin/kestrova-check"));
    }

    QString timerName() const
    {
        return QFileInfo(UserUnitFolder(m_home.unitFolder()).timerPath(m_project)).fileName();
    }

    ScheduleHome m_home;
    QString m_project;
};

} // namespace

TEST_F(SchedulerCalls, SettingChangingAndRemovingTellTheUserManager)
{
    const RecordingSystemctl systemctl(m_home);
    const QString prefix = QStringLiteral("--user --no-pager ");
    const QString timer = timerName();

    EXPECT_TRUE(
        scheduler(systemctl).set(m_project, CheckSchedule::parse(QStringLiteral("daily@07:30"))).applied);
    EXPECT_EQ(systemctl.calls(),
        QStringList(
            { prefix + "show-environment", prefix + "daemon-reload", prefix + "enable --now " + timer }));

    scheduler(systemctl).set(m_project, CheckSchedule::parse(QStringLiteral("weekly@mon@08:00")));
    EXPECT_EQ(systemctl.calls(),
        QStringList({ prefix + "show-environment", prefix + "daemon-reload", prefix + "enable --now " + timer,
            prefix + "restart " + timer }));

    scheduler(systemctl).set(m_project, CheckSchedule {});
    EXPECT_EQ(systemctl.calls(),
        QStringList(
            { prefix + "show-environment", prefix + "disable --now " + timer, prefix + "daemon-reload" }));
    EXPECT_TRUE(filesBelow(m_home.unitFolder()).isEmpty());
}

TEST_F(SchedulerCalls, ATimerTheManagerRefusesLeavesNoUnits)
{
    const RecordingSystemctl systemctl(m_home, QStringLiteral("enable"));
    EXPECT_THROW(scheduler(systemctl).set(m_project, CheckSchedule::parse(QStringLiteral("daily@07:30"))),
        ScheduleError);
    EXPECT_TRUE(filesBelow(m_home.unitFolder()).isEmpty());
    const QStringList calls = systemctl.calls();
    ASSERT_FALSE(calls.isEmpty());
    EXPECT_EQ(calls.last(), QStringLiteral("--user --no-pager daemon-reload"));
}
