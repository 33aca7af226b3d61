#include "history/HistoryFixtures.h"
#include "history/HistoryStore.h"
#include "support/CheckerProgram.h"
#include "support/ProjectFiles.h"
#include "support/SandboxEngines.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSysInfo>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

class HistoryWriters : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_sandbox.started());
        ASSERT_TRUE(QFile::exists(checkerProgram())) << checkerProgram().toStdString();
        m_project = m_dataHome.filePath(QStringLiteral("слон.zlt"));
        ASSERT_TRUE(writeProjectFile(m_project,
            { QStringLiteral("http://www.example.ru/"), { QStringLiteral("купить слона") },
                { "YandexRu" } }));
    }

    void start(QProcess& process, const QStringList& arguments)
    {
        QProcessEnvironment environment
            = checkerEnvironment(m_sandbox.endpointsFile(), m_dataHome.filePath(QStringLiteral("config")));
        environment.insert(QStringLiteral("XDG_DATA_HOME"), m_dataHome.path());
        if (!m_sharedHistory.isEmpty())
            environment.insert(QStringLiteral("KESTROVA_HISTORY"), m_sharedHistory);
        process.setProcessEnvironment(environment);
        process.start(checkerProgram(), arguments);
        ASSERT_TRUE(process.waitForStarted(10000));
    }

    QString historyPath() const
    {
        return m_dataHome.filePath(QStringLiteral("Tellvik/Kestrova Sertrix/history.sqlite"));
    }

    QTemporaryDir m_dataHome;
    SandboxEngines m_sandbox { 40 };
    QString m_project;
    // The history the checkers are pointed at with KESTROVA_HISTORY; none: their own file.
    QString m_sharedHistory;
};

// The same writers with the history in the file of this computer or on a PostgreSQL server.
class HistoryWritersOnEachStore : public HistoryWriters, public ::testing::WithParamInterface<StoreKind> {
protected:
    void SetUp() override
    {
        HistoryWriters::SetUp();
        if (GetParam() == StoreKind::Postgres)
            m_sharedHistory = m_server.location();
    }
    QString location() const { return m_sharedHistory.isEmpty() ? historyPath() : m_sharedHistory; }

    EmptyHistory m_server { StoreKind::Postgres };
};

TEST_P(HistoryWritersOnEachStore, ProgramAndCheckerWriteAtTheSameTimeLosingNothing)
{
    HistoryStore store(location());
    QStringList problems;
    store.setProblemHandler([&problems](const QString& text) { problems << text; });
    QProcess first, second;
    start(first, { m_project });
    start(second, { m_project });
    int written = 0;
    while (first.state() != QProcess::NotRunning || second.state() != QProcess::NotRunning || written < 20) {
        RecordedCheck check = sampleCheck(QDateTime::currentDateTimeUtc());
        check.site = QStringLiteral("http://www.example.ru/");
        ASSERT_TRUE(store.record(check)) << problems.join(u'\n').toStdString();
        ++written;
        first.waitForFinished(5);
        second.waitForFinished(5);
    }
    ASSERT_EQ(first.exitCode(), 0) << first.readAllStandardError().constData();
    ASSERT_EQ(second.exitCode(), 0) << second.readAllStandardError().constData();
    EXPECT_FALSE(first.readAllStandardError().contains("История позиций не записана"));

    const QList<RecordedCheck> checks = store.checksOfSite(QStringLiteral("http://example.ru"));
    ASSERT_EQ(checks.size(), written + 2);
    int fromChecker = 0;
    for (const RecordedCheck& check : checks) {
        if (check.projectPath == m_project) {
            ++fromChecker;
            ASSERT_EQ(check.results.size(), 1);
            EXPECT_EQ(check.results[0].keyword, QStringLiteral("купить слона"));
            EXPECT_EQ(check.results[0].engine, Engine::YandexRu);
            EXPECT_EQ(check.host, QSysInfo::machineHostName());
            EXPECT_FALSE(check.user.isEmpty());
        } else {
            EXPECT_EQ(check.results.size(), 2);
        }
    }
    EXPECT_EQ(fromChecker, 2);
}

TEST_F(HistoryWriters, NoHistoryOptionLeavesTheHistoryAlone)
{
    QProcess process;
    start(process, { QStringLiteral("--no-history"), m_project });
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 0);
    EXPECT_FALSE(QFile::exists(historyPath()));
}

TEST_P(HistoryWritersOnEachStore, CheckerExportsOneSiteWithoutACheck)
{
    HistoryStore store(location());
    RecordedCheck ours = sampleCheck(QDateTime(QDate(2026, 3, 1), QTime(8, 0), Qt::UTC));
    RecordedCheck other = ours;
    other.site = QStringLiteral("http://other.ru/");
    ASSERT_TRUE(store.record(ours));
    ASSERT_TRUE(store.record(other));
    m_sandbox.clearRequests();

    const QString csv = m_dataHome.filePath(QStringLiteral("out.csv"));
    QProcess process;
    start(process, { QStringLiteral("--history-csv"), csv, QStringLiteral("--site"), ours.site });
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().constData();
    EXPECT_TRUE(m_sandbox.requests().isEmpty());
    const QByteArray bytes = fileBytes(csv);
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBFtime,site,"));
    EXPECT_EQ(bytes.count("\r\n"), 1 + 2);
    EXPECT_FALSE(bytes.contains("other.ru"));

    QProcess all;
    start(all, { QStringLiteral("--history-csv"), csv });
    ASSERT_TRUE(all.waitForFinished(60000));
    EXPECT_EQ(fileBytes(csv).count("\r\n"), 1 + 4);
}

TEST_F(HistoryWriters, ADeviceNodeAtTheCsvPathIsRefusedAndLeftADevice)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "a device node can only be made by root";
    HistoryStore store(historyPath());
    ASSERT_TRUE(store.record(sampleCheck(QDateTime(QDate(2026, 3, 1), QTime(8, 0), Qt::UTC))));
    const QString device = m_dataHome.filePath(QStringLiteral("null.csv"));
    ASSERT_EQ(::mknod(QFile::encodeName(device).constData(), S_IFCHR | 0666, makedev(1, 3)), 0);

    QProcess process;
    start(process, { QStringLiteral("--history-csv"), device });
    ASSERT_TRUE(process.waitForFinished(60000));

    EXPECT_EQ(process.exitCode(), 1);
    EXPECT_TRUE(QString::fromUtf8(process.readAllStandardError())
                    .contains(QStringLiteral("Это устройство, а не обычный файл; оно оставлено как есть.")));
    struct stat info { };
    ASSERT_EQ(::lstat(QFile::encodeName(device).constData(), &info), 0);
    EXPECT_TRUE(S_ISCHR(info.st_mode));
    EXPECT_EQ(info.st_rdev, makedev(1, 3));
}

TEST_F(HistoryWriters, HistoryOptionsThatDoNotFitAreRefused)
{
    const QList<QStringList> refused {
        { QStringLiteral("--site"), QStringLiteral("http://a.ru"), m_project },
        { QStringLiteral("--history-csv"), QStringLiteral("out.csv"), m_project },
        { QStringLiteral("--history-csv"), QStringLiteral("out.csv"), QStringLiteral("--no-history") },
        { QStringLiteral("--history-csv") },
    };
    for (const QStringList& arguments : refused) {
        QProcess process;
        start(process, arguments);
        ASSERT_TRUE(process.waitForFinished(30000));
        EXPECT_EQ(process.exitCode(), 2) << arguments.join(u' ').toStdString();
    }
    EXPECT_TRUE(m_sandbox.requests().isEmpty());
}

TEST_F(HistoryWriters, DamagedHistoryIsSaidOnceAndTheCheckStillRuns)
{
    QDir().mkpath(QFileInfo(historyPath()).absolutePath());
    {
        QFile file(historyPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(4096, '\x5a'));
    }
    QProcess process;
    start(process, { m_project });
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 0);
    EXPECT_EQ(process.readAllStandardError().count("История позиций не записана"), 1);
    EXPECT_EQ(fileBytes(historyPath()), QByteArray(4096, '\x5a'));
}

KS_ON_EACH_STORE(HistoryWritersOnEachStore);

} // namespace
