#include "ScheduleFixtures.h"
#include "schedule/ProjectScheduler.h"
#include "schedule/ScheduleError.h"
#include "schedule/ScheduleUnits.h"
#include "schedule/UserUnitFolder.h"
#include "support/CheckerProgram.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

TEST(UnitNames, ComeFromTheProjectPath)
{
    const std::pair<const char*, const char*> rows[] = {
        { "/nonexistent/сайты/Okna PVH 2.zlt", "kestrova-check-Okna_PVH_2-067124c1e9f8c01352da2e62dfeb4136" },
        { "/nonexistent/сайты/слон.zlt", "kestrova-check-1d70f7acb2af06e0a8294d03a4f89b78" },
    };
    for (const auto& [path, stem] : rows)
        EXPECT_EQ(ScheduleUnits::unitStem(QString::fromUtf8(path)), QString::fromUtf8(stem));
    EXPECT_EQ(ScheduleUnits::unitStem(QStringLiteral("/nonexistent/сайты/../сайты/слон.zlt")),
        QStringLiteral("kestrova-check-1d70f7acb2af06e0a8294d03a4f89b78"));
}

TEST(UnitFiles, AServiceOfASharedHistoryNamesItInItsEnvironmentQuoted)
{
    ProjectSchedule project { QStringLiteral("/home/me/a.zlt"),
        CheckSchedule::parse(QStringLiteral("daily@07:30")), QStringLiteral("/usr/bin/kestrova-check"),
        QStringLiteral("host=db.lan dbname='100% \"seo\"' sslmode=verify-full service=a\\b") };
    const QByteArray service = ScheduleUnits::serviceText(project);
    EXPECT_TRUE(
        service.contains("\nEnvironment=\"KESTROVA_HISTORY=host=db.lan dbname='100%% \\\"seo\\\"' "
                         "sslmode=verify-full service=a\\\\b\"\nExecStart=\"/usr/bin/kestrova-check\""))
        << service.constData();
    EXPECT_EQ(ProjectScheduler::crontabLine(project),
        QStringLiteral(
            "30 7 * * * KESTROVA_HISTORY='host=db.lan dbname='\\''100\\% \"seo\"'\\'' "
            "sslmode=verify-full service=a\\b' '/usr/bin/kestrova-check' --scheduled '/home/me/a.zlt' "
            ">/dev/null"));
    project.history = QStringLiteral("host=db.lan\nExecStart=/bin/sh");
    EXPECT_THROW(ScheduleUnits::serviceText(project), ScheduleError);
}

TEST(UnitFiles, HoldTheScheduleAndTheQuotedCommand)
{
    const ProjectSchedule project { QStringLiteral("/home/me/мои сайты/100% \"окна\".zlt"),
        CheckSchedule::parse(QStringLiteral("weekly@mon@07:30")), QStringLiteral("/usr/bin/kestrova-check") };
    EXPECT_EQ(ScheduleUnits::serviceText(project),
        QByteArray("# Written by Kestrova Sertrix; the schedule of a project is changed in the program\n"
                   "# or with kestrova-check --schedule.\n"
                   "[Unit]\n"
                   "Description=Kestrova Sertrix: проверка 100%% \"окна\".zlt по расписанию\n"
                   "\n"
                   "[Service]\n"
                   "Type=oneshot\n"
                   "ExecStart=\"/usr/bin/kestrova-check\" --scheduled \"/home/me/мои сайты/100%% "
                   "\\\"окна\\\".zlt\"\n"
                   "TimeoutStartSec=60min\n"));
    EXPECT_EQ(ScheduleUnits::timerText(project),
        QByteArray("# Project: /home/me/мои сайты/100% \"окна\".zlt\n"
                   "# Schedule: weekly@mon@07:30\n"
                   "# Checker: /usr/bin/kestrova-check\n"
                   "[Unit]\n"
                   "Description=Kestrova Sertrix: проверка 100%% \"окна\".zlt по расписанию\n"
                   "\n"
                   "[Timer]\n"
                   "OnCalendar=Mon *-*-* 07:30:00\n"
                   "Persistent=true\n"
                   "RandomizedDelaySec=120\n"
                   "\n"
                   "[Install]\n"
                   "WantedBy=timers.target\n"));
    const auto read = ScheduleUnits::readTimer(ScheduleUnits::timerText(project));
    ASSERT_TRUE(read);
    EXPECT_EQ(read->projectPath, project.projectPath);
    EXPECT_EQ(read->schedule, project.schedule);
    EXPECT_EQ(read->checkerPath, project.checkerPath);
    EXPECT_FALSE(ScheduleUnits::readTimer("[Timer]\nOnCalendar=daily\n"));
}

class WrittenUnits : public ::testing::TestWithParam<const char*> { };

TEST_P(WrittenUnits, PassSystemdsOwnCheck)
{
    ScheduleHome home;
    // The checker, too, may sit in a folder with blanks and Cyrillic letters.
    const QString binFolder = home.filePath(QStringLiteral("мои программы"));
    ASSERT_TRUE(QDir().mkpath(binFolder));
    const QString checker = binFolder + QStringLiteral("/kestrova-check");
    ASSERT_TRUE(QFile::link(QFileInfo(checkerProgram()).absoluteFilePath(), checker));
    const QString projectFolder = home.filePath(QStringLiteral("сайты 100% \"лучшие\" $HOME it's"));
    ASSERT_TRUE(QDir().mkpath(projectFolder));
    const QString projectPath = projectFolder + QStringLiteral("/окна пвх.zlt");
    QFile(projectPath).open(QIODevice::WriteOnly);

    UserUnitFolder folder(home.unitFolder());
    const ProjectSchedule project { ScheduleUnits::projectKey(projectPath),
        CheckSchedule::parse(QString::fromUtf8(GetParam())), checker };
    folder.write(project);
    const Verdict verdict
        = verifyUnits({ folder.timerPath(projectPath), folder.servicePath(projectPath) }, home.runtime());
    EXPECT_EQ(verdict.exitCode, 0);
    EXPECT_EQ(verdict.said, QByteArray()) << verdict.said.constData();

    QFile service(folder.servicePath(projectPath));
    ASSERT_TRUE(service.open(QIODevice::ReadOnly));
    EXPECT_EQ(execStartWords(service.readAll()),
        QStringList({ checker, QStringLiteral("--scheduled"), project.projectPath }));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, WrittenUnits, ::testing::Values("daily@07:30", "weekly@sun@23:59", "daily@00:00"));

TEST(WrittenUnits, AFaultyUnitIsCaughtBySystemd)
{
    // The check above would pass whatever was written, if systemd-analyze said nothing of faults.
    ScheduleHome home;
    QDir().mkpath(home.unitFolder());
    const QString path = home.unitFolder() + QStringLiteral("/kestrova-check-faulty.service");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Service]\nType=oneshot\nExecStart=\"/bin/true\" --scheduled \"/a \\\"b.zlt\n");
    file.close();
    const Verdict verdict = verifyUnits({ path }, home.runtime());
    EXPECT_NE(verdict.said, QByteArray());
}

TEST(UnitFolder, FindsListsAndRemovesSchedules)
{
    ScheduleHome home;
    UserUnitFolder folder(home.unitFolder());
    const QString first = home.filePath(QStringLiteral("первый.zlt"));
    const QString second = home.filePath(QStringLiteral("second.zlt"));
    EXPECT_FALSE(folder.find(first));
    EXPECT_TRUE(folder.all().isEmpty());
    folder.write({ first, CheckSchedule::parse(QStringLiteral("daily@07:30")),
        QStringLiteral("/usr/bin/kestrova-check") });
    folder.write({ second, CheckSchedule::parse(QStringLiteral("weekly@fri@18:00")),
        QStringLiteral("/usr/bin/kestrova-check") });
    ASSERT_TRUE(folder.find(first));
    EXPECT_EQ(folder.find(first)->schedule.code(), QStringLiteral("daily@07:30"));
    EXPECT_EQ(folder.all().size(), 2);
    EXPECT_EQ(filesBelow(home.unitFolder()).size(), 4);

    folder.write({ first, CheckSchedule::parse(QStringLiteral("daily@08:00")),
        QStringLiteral("/usr/bin/kestrova-check") });
    EXPECT_EQ(folder.find(first)->schedule.code(), QStringLiteral("daily@08:00"));
    EXPECT_EQ(filesBelow(home.unitFolder()).size(), 4);

    folder.remove(first);
    EXPECT_FALSE(folder.find(first));
    EXPECT_EQ(filesBelow(home.unitFolder()).size(), 2);
    folder.remove(first);
}

TEST(UnitFolder, BadInputWritesNothing)
{
    ScheduleHome home;
    UserUnitFolder folder(home.unitFolder());
    const CheckSchedule daily = CheckSchedule::parse(QStringLiteral("daily@07:30"));
    EXPECT_THROW(folder.write({ home.filePath(QStringLiteral("a\nb.zlt")), daily,
                     QStringLiteral("/usr/bin/kestrova-check") }),
        ScheduleError);
    EXPECT_FALSE(QFileInfo::exists(home.unitFolder()));

    // A settings folder that cannot be made: a file stands where it belongs.
    QFile blocker(home.config());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    try {
        folder.write(
            { home.filePath(QStringLiteral("a.zlt")), daily, QStringLiteral("/usr/bin/kestrova-check") });
        FAIL() << "wrote below a file";
    } catch (const ScheduleError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("не удалось создать папку ") + home.unitFolder());
    }
    EXPECT_EQ(filesBelow(home.filePath(QString())), QStringList { QStringLiteral("config") });
}

TEST(UnitFolder, WritesOnlyOverRegularFiles)
{
    ScheduleHome home;
    UserUnitFolder folder(home.unitFolder());
    const QString project = home.filePath(QStringLiteral("a.zlt"));
    ASSERT_TRUE(QDir().mkpath(folder.timerPath(project)));
    try {
        folder.write({ project, CheckSchedule::parse(QStringLiteral("daily@07:30")),
            QStringLiteral("/usr/bin/kestrova-check") });
        FAIL() << "wrote over a folder";
    } catch (const ScheduleError& e) {
        EXPECT_EQ(e.message(),
            folder.timerPath(project) + QStringLiteral(" — не обычный файл, расписание его не заменяет"));
    }
    EXPECT_FALSE(QFileInfo::exists(folder.servicePath(project)));
}

} // namespace

namespace {

// The runs systemd's own calendar finds for the OnCalendar= value after the base time, local.
QList<QDateTime> systemdRuns(const QString& onCalendar, const QDateTime& base, int count)
{
    QProcess process;
    process.start(QStringLiteral("systemd-analyze"),
        { QStringLiteral("calendar"), QStringLiteral("--base-time=@%1").arg(base.toSecsSinceEpoch()),
            QStringLiteral("--iterations=%1").arg(count), onCalendar });
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return {};
    QList<QDateTime> runs;
    static const QRegularExpression run(
        QStringLiteral("(?:Next elapse|Iter\\. #\\d+): \\w+ (\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d)"));
    for (const QString& line : QString::fromUtf8(process.readAllStandardOutput()).split(u'\n')) {
        const auto match = run.match(line);
        if (match.hasMatch())
            runs << QDateTime::fromString(match.captured(1), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    }
    return runs;
}

TEST(UnitCalendar, SystemdRunsTheChecksWhenTheDialogSays)
{
    const QDateTime base(QDate(2026, 12, 7), QTime(7, 45), Qt::LocalTime); // a Monday
    for (const char* code : { "daily@07:30", "daily@23:59", "weekly@mon@07:30", "weekly@sun@00:00" }) {
        const CheckSchedule schedule = CheckSchedule::parse(QString::fromUtf8(code));
        const QList<QDateTime> runs = systemdRuns(schedule.onCalendar(), base, 3);
        ASSERT_EQ(runs.size(), 3) << code;
        QDateTime after = base;
        for (const QDateTime& run : runs) {
            after = schedule.nextRunAfter(after);
            EXPECT_EQ(after.toString(Qt::ISODate), run.toString(Qt::ISODate)) << code;
        }
    }
}

} // namespace
