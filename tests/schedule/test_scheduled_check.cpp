#include "NotificationDesktop.h"
#include "ScheduleFixtures.h"
#include "history/HistoryStore.h"
#include "schedule/ProjectScheduler.h"
#include "schedule/ScheduleError.h"
#include "support/CheckerProgram.h"
#include "support/ProjectFiles.h"
#include "support/SandboxEngines.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonObject>
#include <QRegularExpression>
#include <QThread>
#include <gtest/gtest.h>

namespace {

QString field(const QJsonValue& notice, const char* name)
{
    return notice.toObject().value(QLatin1String(name)).toObject().value(QStringLiteral("data")).toString();
}

class ScheduledCheck : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_sandbox.started());
        ASSERT_TRUE(QFile::exists(checkerProgram())) << checkerProgram().toStdString();
        QDir().mkpath(m_home.filePath(QStringLiteral("мои сайты")));
        m_project = m_home.filePath(QStringLiteral("мои сайты/слон 100% \"$HOME\".zlt"));
        ASSERT_TRUE(writeProjectFile(m_project,
            { QStringLiteral("http://www.example.ru/"), { QStringLiteral("купить слона") },
                { "YandexRu" } }));
        m_folder = std::make_unique<UserUnitFolder>(m_home.unitFolder());
        m_folder->write({ m_project, CheckSchedule::parse(QStringLiteral("daily@07:30")),
            QFileInfo(checkerProgram()).absoluteFilePath() });
        QFile service(m_folder->servicePath(m_project));
        ASSERT_TRUE(service.open(QIODevice::ReadOnly));
        m_execStart = execStartWords(service.readAll());
        ASSERT_EQ(m_execStart.size(), 3);
    }

    // Runs the service's ExecStart= line as the timer would.
    int runExecStart(const QString& busAddress, QByteArray* err = nullptr, QStringList words = {})
    {
        if (words.isEmpty())
            words = m_execStart;
        QProcessEnvironment environment = m_home.environment();
        environment.insert(QStringLiteral("KESTROVA_ENDPOINTS"), m_sandbox.endpointsFile());
        if (!busAddress.isEmpty())
            environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), busAddress);
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(words[0], words.mid(1));
        if (!process.waitForFinished(120000))
            return -1;
        if (err)
            *err = process.readAllStandardError();
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

    QList<RecordedCheck> recorded()
    {
        return HistoryStore(m_home.data() + QStringLiteral("/Tellvik/Kestrova Sertrix/history.sqlite"))
            .checksOfSite(QStringLiteral("http://www.example.ru/"));
    }

    ScheduleHome m_home;
    SandboxEngines m_sandbox { 5 };
    QString m_project;
    std::unique_ptr<UserUnitFolder> m_folder;
    QStringList m_execStart;
};

TEST_F(ScheduledCheck, TheServiceLineRecordsACheck)
{
    ASSERT_TRUE(m_sandbox.command("place YandexRu * 12"));
    QByteArray err;
    EXPECT_EQ(runExecStart({}, &err), 0) << err.constData();
    const QList<RecordedCheck> checks = recorded();
    ASSERT_EQ(checks.size(), 1);
    EXPECT_EQ(checks[0].projectPath, m_project);
    ASSERT_EQ(checks[0].results.size(), 1);
    EXPECT_EQ(checks[0].results[0].position, 12);
}

TEST_F(ScheduledCheck, AMoveIsNoticedAndARunWithoutABusStaysSilent)
{
    ASSERT_TRUE(m_sandbox.command("place YandexRu * 12"));
    ASSERT_EQ(runExecStart({}), 0);
    ASSERT_TRUE(m_sandbox.command("place YandexRu * 4"));
    QByteArray err;
    EXPECT_EQ(runExecStart({}, &err), 0);
    EXPECT_FALSE(err.toLower().contains("dbus")) << err.constData();
    EXPECT_FALSE(err.contains("Notifications")) << err.constData();
    EXPECT_EQ(recorded().size(), 2);
}

TEST_F(ScheduledCheck, AMoveReachesTheNotificationServer)
{
    NotificationDesktop desktop;
    if (!desktop.ready())
        GTEST_SKIP() << desktop.problem().toStdString();
    ASSERT_TRUE(m_sandbox.command("place YandexRu * 12"));
    ASSERT_EQ(runExecStart(desktop.busAddress()), 0);
    ASSERT_TRUE(m_sandbox.command("place YandexRu * 4"));
    ASSERT_EQ(runExecStart(desktop.busAddress()), 0);
    // Nothing moved: no notice.
    ASSERT_EQ(runExecStart(desktop.busAddress()), 0);

    // The project file has moved away: the check fails and says so.
    QStringList moved = m_execStart;
    moved[2] = m_home.filePath(QStringLiteral("ушёл.zlt"));
    QByteArray err;
    EXPECT_EQ(runExecStart(desktop.busAddress(), &err, moved), 2);
    EXPECT_FALSE(err.isEmpty());

    QJsonArray notices;
    QDeadlineTimer deadline(20000);
    while ((notices = desktop.notices()).size() < 2 && !deadline.hasExpired())
        QThread::msleep(50);
    ASSERT_EQ(notices.size(), 2);
    EXPECT_EQ(field(notices[0], "appname"), QStringLiteral("Kestrova Sertrix"));
    EXPECT_EQ(field(notices[0], "summary"), QStringLiteral("Позиции изменились: http://www.example.ru/"));
    const QStringList body = field(notices[0], "body").split(u'\n');
    ASSERT_EQ(body.size(), 3) << body.join(u'|').toStdString();
    EXPECT_EQ(body[0], QStringLiteral("1 позиция выросла"));
    EXPECT_TRUE(body[1].startsWith(QStringLiteral("по сравнению с проверкой "))) << body[1].toStdString();
    EXPECT_EQ(body[2], QStringLiteral("▲ купить слона, Yandex.ru: 12 → 4"));
    EXPECT_EQ(field(notices[1], "summary"), QStringLiteral("Проверка по расписанию не выполнена"));
    EXPECT_TRUE(field(notices[1], "body").startsWith(QStringLiteral("ушёл.zlt: ")))
        << field(notices[1], "body").toStdString();
}

// Under cron no bus address is in the environment: the notice goes to the user's bus at its usual place.
TEST_F(ScheduledCheck, WithoutABusAddressTheNoticeFindsTheUsersBus)
{
    NotificationDesktop desktop(m_home.runtime() + QStringLiteral("/bus"));
    ASSERT_TRUE(desktop.ready()) << desktop.problem().toStdString();
    ASSERT_TRUE(m_sandbox.command("place YandexRu * 12"));
    ASSERT_EQ(runExecStart({}), 0);
    ASSERT_TRUE(m_sandbox.command("place YandexRu * 4"));
    ASSERT_EQ(runExecStart({}), 0);
    QJsonArray notices;
    QDeadlineTimer deadline(20000);
    while ((notices = desktop.notices()).isEmpty() && !deadline.hasExpired())
        QThread::msleep(50);
    ASSERT_EQ(notices.size(), 1);
    EXPECT_EQ(field(notices[0], "summary"), QStringLiteral("Позиции изменились: http://www.example.ru/"));
}

// A keyword is text: the server shows its "<b>" and "<a href>" as typed, never as markup.
TEST_F(ScheduledCheck, AKeywordReachesTheServerAsTextWithoutMarkup)
{
    NotificationDesktop desktop;
    ASSERT_TRUE(desktop.ready()) << desktop.problem().toStdString();
    const QString keyword = QStringLiteral("<b>слон</b> & <a href=http://evil.example/>купить</a>\x01");
    ASSERT_TRUE(writeProjectFile(
        m_project, { QStringLiteral("http://www.example.ru/"), { keyword }, { "GoogleRu" } }));
    ASSERT_TRUE(m_sandbox.command("place GoogleRu * 12"));
    ASSERT_EQ(runExecStart(desktop.busAddress()), 0);
    ASSERT_TRUE(m_sandbox.command("place GoogleRu * 4"));
    ASSERT_EQ(runExecStart(desktop.busAddress()), 0);
    QJsonArray notices;
    QDeadlineTimer deadline(20000);
    while ((notices = desktop.notices()).isEmpty() && !deadline.hasExpired())
        QThread::msleep(50);
    ASSERT_EQ(notices.size(), 1);
    EXPECT_EQ(field(notices[0], "body").section(u'\n', 2),
        QStringLiteral("▲ &lt;b&gt;слон&lt;/b&gt; &amp; &lt;a href=http://evil.example/&gt;купить&lt;/a&gt;, "
                       "Google.ru: 12 → 4"));
}

TEST_F(ScheduledCheck, WithoutAUserManagerNothingIsLeftBehind)
{
    m_folder->remove(m_project);
    m_home.enter();
    ProjectScheduler scheduler(
        UserUnitFolder(m_home.unitFolder()), UserServiceManager(), QStringLiteral("/usr/bin/kestrova-check"));
    const ScheduleChange change
        = scheduler.set(m_project, CheckSchedule::parse(QStringLiteral("weekly@tue@06:05")));
    EXPECT_FALSE(change.applied);
    EXPECT_FALSE(change.managerProblem.isEmpty());
    EXPECT_EQ(change.crontabLine,
        QStringLiteral("5 6 * * 2 '/usr/bin/kestrova-check' --scheduled '") + m_home.filePath(QString())
            + QStringLiteral("/мои сайты/слон 100\\% \"$HOME\".zlt' >/dev/null"));
    EXPECT_TRUE(filesBelow(m_home.config()).isEmpty());

    QProcess process;
    process.setProcessEnvironment(m_home.environment());
    process.start(
        checkerProgram(), { QStringLiteral("--schedule"), QStringLiteral("daily@07:30"), m_project });
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 1);
    const QString err = QString::fromUtf8(process.readAllStandardError());
    EXPECT_TRUE(err.startsWith(QStringLiteral("kestrova-check: Служба пользователя systemd здесь не запущена "
                                              "(так бывает в контейнере и на некоторых "
                                              "рабочих столах), поэтому расписание не создано и ничего не "
                                              "записано. То же самое делает строка для crontab -e:\n")))
        << err.toStdString();
    EXPECT_TRUE(process.readAllStandardOutput().startsWith("30 7 * * * '"));
    EXPECT_TRUE(filesBelow(m_home.config()).isEmpty());
}

TEST_F(ScheduledCheck, AScheduleSetThroughTheUserManagerIsSaidInRussian)
{
    // A stand-in for systemctl that accepts every call: a user manager that runs.
    const QString bin = m_home.filePath(QStringLiteral("bin"));
    ASSERT_TRUE(QDir().mkpath(bin));
    QFile systemctl(bin + QStringLiteral("/systemctl"));
    ASSERT_TRUE(systemctl.open(QIODevice::WriteOnly));
    systemctl.write("#!/bin/sh\nexit 0\n");
    systemctl.close();
    ASSERT_TRUE(systemctl.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    QProcessEnvironment environment = m_home.environment();
    environment.insert(QStringLiteral("PATH"), bin + u':' + environment.value(QStringLiteral("PATH")));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(
        checkerProgram(), { QStringLiteral("--schedule"), QStringLiteral("weekly@tue@06:05"), m_project });
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().constData();
    const QStringList lines = QString::fromUtf8(process.readAllStandardOutput()).split(u'\n');
    ASSERT_EQ(lines.size(), 4);
    const QString said
        = m_project + QStringLiteral(": weekly@tue@06:05 (по вторникам в 06:05), следующая проверка ");
    EXPECT_TRUE(lines[0].startsWith(said)) << lines[0].toStdString();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d 06:05$"))
                    .match(lines[0].mid(said.size()))
                    .hasMatch())
        << lines[0].toStdString();
    EXPECT_EQ(lines[1], m_folder->timerPath(m_project));
    EXPECT_EQ(lines[2], m_folder->servicePath(m_project));
}

struct RefusedRow {
    const char* schedule;
    const char* project; // below the test's home; nullptr: the test's project
    int exitCode;
    const char* message;
};

TEST_F(ScheduledCheck, BadScheduleInputWritesNoUnit)
{
    QFile(m_home.filePath(QStringLiteral("a\nb.zlt"))).open(QIODevice::WriteOnly);
    const RefusedRow rows[] = {
        { "daily@24:00", nullptr, 2, "kestrova-check: времени 24:00 не бывает\n" },
        { "weekly@xyz@07:30", nullptr, 2,
            "kestrova-check: \"xyz\" — не день недели (mon, tue, wed, thu, fri, sat, sun)\n" },
        { "daily@07:30", "нет такого.zlt", 2, nullptr },
        { "daily@07:30", "a\nb.zlt", 2, nullptr },
    };
    m_folder->remove(m_project);
    for (const RefusedRow& row : rows) {
        QProcess process;
        process.setProcessEnvironment(m_home.environment());
        const QString project = row.project ? m_home.filePath(QString::fromUtf8(row.project)) : m_project;
        process.start(
            checkerProgram(), { QStringLiteral("--schedule"), QString::fromUtf8(row.schedule), project });
        ASSERT_TRUE(process.waitForFinished(60000));
        EXPECT_EQ(process.exitCode(), row.exitCode) << row.schedule;
        const QByteArray err = process.readAllStandardError();
        if (row.message)
            EXPECT_EQ(err, QByteArray(row.message));
        else
            EXPECT_TRUE(err.startsWith("kestrova-check: ")) << err.constData();
        EXPECT_TRUE(filesBelow(m_home.config()).isEmpty());
    }
}

} // namespace

namespace {

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray runChecker(const ScheduleHome& home, const QStringList& arguments, int* exitCode)
{
    QProcess process;
    process.setProcessEnvironment(home.environment());
    process.start(checkerProgram(), arguments);
    if (!process.waitForFinished(60000))
        return {};
    *exitCode = process.exitCode();
    return process.readAllStandardOutput();
}

TEST_F(ScheduledCheck, SchedulesAreListedAndSwitchedOffWithoutAWindow)
{
    const QString other = m_home.filePath(QStringLiteral("other.zlt"));
    m_folder->write({ other, CheckSchedule::parse(QStringLiteral("weekly@sat@09:00")),
        QStringLiteral("/usr/bin/kestrova-check") });
    int exitCode = -1;
    const QStringList lines
        = QString::fromUtf8(runChecker(m_home, { QStringLiteral("--schedules") }, &exitCode))
              .split(u'\n', Qt::SkipEmptyParts);
    EXPECT_EQ(exitCode, 0);
    ASSERT_EQ(lines.size(), 2);
    const QRegularExpression nextRun(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d  "));
    QStringList withoutTimes;
    for (const QString& line : lines) {
        EXPECT_TRUE(nextRun.match(line).hasMatch()) << line.toStdString();
        withoutTimes << line.mid(18);
    }
    withoutTimes.sort();
    EXPECT_EQ(withoutTimes,
        QStringList({ QStringLiteral("daily@07:30  ") + m_project,
            QStringLiteral("weekly@sat@09:00  ") + other + QStringLiteral("  (проект не найден)") }));

    // Switching off needs no user service manager: the units go.
    const QByteArray said
        = runChecker(m_home, { QStringLiteral("--schedule"), QStringLiteral("off"), other }, &exitCode);
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(said, (other + QStringLiteral(": без расписания\n")).toUtf8());
    EXPECT_EQ(filesBelow(m_home.unitFolder()).size(), 2);
    runChecker(m_home, { QStringLiteral("--schedule"), QStringLiteral("off"), m_project }, &exitCode);
    EXPECT_TRUE(filesBelow(m_home.unitFolder()).isEmpty());
}

// Units are found by the project they run, not by the path string they were asked with: a unit of
// an earlier version's name, a project reached through a symbolic link and then deleted, and a unit
// of the same name that runs another project.
TEST_F(ScheduledCheck, UnitsAreFoundByTheProjectTheyRun)
{
    m_folder->remove(m_project);
    const QString real = m_home.filePath(QStringLiteral("real"));
    const QString linked = m_home.filePath(QStringLiteral("linked"));
    ASSERT_TRUE(QDir().mkpath(real));
    ASSERT_TRUE(QFile::link(real, linked));
    const QString project = real + QStringLiteral("/shop.zlt");
    ASSERT_TRUE(writeProjectFile(
        project, { QStringLiteral("http://www.example.ru/"), { QStringLiteral("kw") }, {} }));
    const ProjectSchedule daily { project, CheckSchedule::parse(QStringLiteral("daily@07:30")),
        QStringLiteral("/usr/bin/kestrova-check") };
    // As an earlier version named it, with ten hex digits.
    const QString oldStem = m_home.unitFolder() + QStringLiteral("/kestrova-check-shop-0123456789");
    ASSERT_TRUE(QDir().mkpath(m_home.unitFolder()));
    writeFile(oldStem + QStringLiteral(".timer"), ScheduleUnits::timerText(daily));
    writeFile(oldStem + QStringLiteral(".service"), ScheduleUnits::serviceText(daily));
    EXPECT_TRUE(m_folder->find(linked + QStringLiteral("/shop.zlt")));

    // Another project's timer under this project's name is never replaced.
    const QString foreign = m_folder->timerPath(project);
    const QByteArray foreignText = ScheduleUnits::timerText({ m_project, daily.schedule, daily.checkerPath });
    writeFile(foreign, foreignText);
    EXPECT_THROW(m_folder->write(daily), ScheduleError);
    EXPECT_EQ(fileBytes(foreign), foreignText);
    QFile::remove(foreign);

    ASSERT_TRUE(QFile::remove(project));
    int exitCode = -1;
    EXPECT_TRUE(QString::fromUtf8(runChecker(m_home, { QStringLiteral("--schedules") }, &exitCode))
                    .endsWith(project + QStringLiteral("  (проект не найден)\n")));
    runChecker(m_home,
        { QStringLiteral("--schedule"), QStringLiteral("off"), linked + QStringLiteral("/shop.zlt") },
        &exitCode);
    EXPECT_EQ(exitCode, 0);
    EXPECT_TRUE(filesBelow(m_home.unitFolder()).isEmpty())
        << filesBelow(m_home.unitFolder()).join(u' ').toStdString();
}

} // namespace
