#include "history/HistoryDatabase.h"
#include "history/HistoryError.h"
#include "history/HistoryFixtures.h"
#include "history/HistorySchema.h"
#include "history/HistoryStore.h"
#include "history/Sqlite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

const QDateTime kMorning(QDate(2026, 12, 1), QTime(6, 0, 0), Qt::UTC);

QString readPragma(const QString& path, const char* pragma)
{
    SqliteConnection db(path);
    SqliteStatement statement(db, pragma);
    statement.step();
    return statement.text(0);
}

TEST_P(OnEachStore, CheckIsReadBackWithEveryField)
{
    RecordedCheck written = sampleCheck(kMorning);
    written.host = QStringLiteral("office-7");
    written.user = QStringLiteral("анна");
    written.results[1].keyword = QStringLiteral("{NULL}, \"a\\\\b\" \\");
    EXPECT_GT(m_history.open()->record(written), 0);
    const QList<RecordedCheck> read = m_history.open()->checksOfSite(written.site);
    ASSERT_EQ(read.size(), 1);
    EXPECT_EQ(read[0].time, written.time);
    EXPECT_EQ(read[0].site, written.site);
    EXPECT_EQ(read[0].projectPath, written.projectPath);
    EXPECT_EQ(read[0].cy, written.cy);
    EXPECT_EQ(read[0].pr, written.pr);
    EXPECT_EQ(read[0].outcome, written.outcome);
    EXPECT_EQ(read[0].definitionsVersion, QStringLiteral("2026.12.7.1"));
    EXPECT_EQ(read[0].host, QStringLiteral("office-7"));
    EXPECT_EQ(read[0].user, QStringLiteral("анна"));
    EXPECT_EQ(read[0].results, written.results);
}

TEST_P(OnEachStore, EveryReasonAndEngineIsReadBackAsWritten)
{
    RecordedCheck written = sampleCheck(kMorning);
    const RecordedResult model = written.results.front();
    written.results.clear();
    for (Reason reason : kReasons) {
        for (Engine engine : kEngines) {
            RecordedResult result = model;
            result.reason = reason;
            result.engine = engine;
            written.results << result;
        }
    }
    const auto db = m_history.open();
    db->record(written);
    EXPECT_EQ(db->checksOfSite(written.site).value(0).results, written.results);
}

TEST_P(OnEachStore, ACheckGivenAgainIsNotWrittenTwice)
{
    RecordedCheck check = sampleCheck(kMorning);
    check.uid = QStringLiteral("3f1c2a9e-0000-4000-8000-000000000001");
    const auto db = m_history.open();
    EXPECT_GT(db->record(check), 0);
    check.cy = QStringLiteral("999");
    EXPECT_EQ(db->record(check), 0);
    const QList<RecordedCheck> read = db->allChecks();
    ASSERT_EQ(read.size(), 1);
    EXPECT_EQ(read[0].cy, QStringLiteral("120"));
    EXPECT_EQ(read[0].uid, check.uid);
    EXPECT_EQ(read[0].results.size(), 2);
}

TEST(HistoryDatabase, FileIsOwnerOnlyInWalModeAtTheCurrentSchema)
{
    HistoryFolder folder;
    HistoryDatabase(folder.path()).record(sampleCheck(kMorning));
    struct stat info { };
    ASSERT_EQ(::stat(QFile::encodeName(folder.path()).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(readPragma(folder.path(), "PRAGMA journal_mode"), QStringLiteral("wal"));
    EXPECT_EQ(readPragma(folder.path(), "PRAGMA user_version").toInt(), HistoryDatabase::kSchemaVersion);
}

TEST_P(OnEachStore, AddressFormsOfOneSiteShareTheirHistory)
{
    const auto opened = m_history.open();
    HistoryBackend& db = *opened;
    RecordedCheck first = sampleCheck(kMorning);
    first.site = QStringLiteral("http://www.Example.ru/");
    RecordedCheck second = sampleCheck(kMorning.addDays(1));
    second.site = QStringLiteral("http://example.ru");
    RecordedCheck other = sampleCheck(kMorning.addDays(2));
    other.site = QStringLiteral("http://example.com/");
    db.record(first);
    db.record(second);
    db.record(other);
    const QList<RecordedCheck> read = db.checksOfSite(QStringLiteral("http://example.ru/"));
    ASSERT_EQ(read.size(), 2);
    EXPECT_EQ(read[0].site, first.site);
    EXPECT_EQ(read[1].site, second.site);
    EXPECT_EQ(db.allChecks().size(), 3);
}

TEST_P(OnEachStore, LatestDecidedResultSkipsFailedLookups)
{
    const auto opened = m_history.open();
    HistoryBackend& db = *opened;
    db.record(sampleCheck(kMorning, 12));
    RecordedCheck failed = sampleCheck(kMorning.addDays(1));
    failed.results[0].reason = Reason::Failed;
    failed.results[0].position.reset();
    db.record(failed);
    const QList<PreviousResult> latest = db.latestDecidedResults(failed.site,
        { QStringLiteral("купить слона"), QStringLiteral("слон, \"розовый\"") },
        { Engine::GoogleCom, Engine::YandexRu });
    ASSERT_EQ(latest.size(), 1); // the Google series never had a decided result
    EXPECT_EQ(latest[0].engine, Engine::YandexRu);
    EXPECT_EQ(latest[0].position, 12);
    EXPECT_EQ(latest[0].time, kMorning);
}

TEST_P(OnEachStore, LatestDecidedResultIsTheSitesOwnInTheOrderOfRecording)
{
    const auto opened = m_history.open();
    HistoryBackend& db = *opened;
    const QString keyword = QStringLiteral("купить слона");
    RecordedCheck other = sampleCheck(kMorning.addDays(3), 2);
    other.site = QStringLiteral("http://другой.рф/");
    db.record(sampleCheck(kMorning, 30));
    db.record(sampleCheck(kMorning.addDays(1), std::nullopt)); // not found: decided
    db.record(other);
    QList<PreviousResult> latest = db.latestDecidedResults(QStringLiteral("пример.рф"),
        { keyword, QStringLiteral("не спрашивали") }, { Engine::YandexRu, Engine::MSNCom });
    ASSERT_EQ(latest.size(), 1);
    EXPECT_EQ(latest[0].keyword, keyword);
    EXPECT_EQ(latest[0].position, std::nullopt);
    EXPECT_EQ(latest[0].time, kMorning.addDays(1));
    latest = db.latestDecidedResults(QStringLiteral("http://другой.рф"), { keyword }, { Engine::YandexRu });
    ASSERT_EQ(latest.size(), 1);
    EXPECT_EQ(latest[0].position, 2);
}

TEST_P(OnEachStore, LatestCheckIsTheSitesNewestWithItsResults)
{
    const auto opened = m_history.open();
    HistoryBackend& db = *opened;
    EXPECT_EQ(db.latestCheck(QStringLiteral("пример.рф")), std::nullopt);
    RecordedCheck other = sampleCheck(kMorning.addDays(5), 1);
    other.site = QStringLiteral("http://другой.рф/");
    db.record(sampleCheck(kMorning.addDays(2), 30));
    db.record(sampleCheck(kMorning, 12)); // recorded later, checked earlier
    db.record(other);
    const std::optional<RecordedCheck> latest = db.latestCheck(QStringLiteral("http://пример.рф"));
    ASSERT_TRUE(latest);
    EXPECT_EQ(latest->time, kMorning.addDays(2));
    EXPECT_EQ(latest->definitionsVersion, QStringLiteral("2026.12.7.1"));
    EXPECT_EQ(latest->results, sampleCheck(kMorning, 30).results);
}

TEST_P(OnEachStore, LatestCheckOfEachProjectFileOldestFirstWithoutResults)
{
    const auto opened = m_history.open();
    HistoryBackend& db = *opened;
    const auto checkOf = [](const char* project, int day, CheckOutcome outcome) {
        RecordedCheck check = sampleCheck(kMorning.addDays(day));
        check.projectPath = QString::fromUtf8(project);
        check.outcome = outcome;
        return check;
    };
    db.record(checkOf("/p/a.zlt", 0, CheckOutcome::Completed));
    db.record(checkOf("/p/b.zlt", 1, CheckOutcome::Completed));
    db.record(checkOf("/p/a.zlt", 3, CheckOutcome::Stopped));
    db.record(checkOf("", 4, CheckOutcome::Completed));
    db.record(checkOf("/p/b.zlt", 2, CheckOutcome::Error));
    RecordedCheck other = checkOf("/p/c.zlt", 9, CheckOutcome::Completed);
    other.site = QStringLiteral("http://другой.рф/");
    db.record(other);
    const QList<RecordedCheck> latest = db.latestCheckOfEachProject(QStringLiteral("www.пример.рф"));
    ASSERT_EQ(latest.size(), 3);
    EXPECT_EQ(latest[0].projectPath, QStringLiteral("/p/b.zlt"));
    EXPECT_EQ(latest[0].time, kMorning.addDays(2));
    EXPECT_EQ(latest[0].outcome, CheckOutcome::Error);
    EXPECT_EQ(latest[1].projectPath, QStringLiteral("/p/a.zlt"));
    EXPECT_EQ(latest[1].outcome, CheckOutcome::Stopped);
    EXPECT_EQ(latest[2].projectPath, QString());
    EXPECT_TRUE(latest[2].results.isEmpty());
    EXPECT_TRUE(db.latestCheckOfEachProject(QStringLiteral("нет.рф")).isEmpty());
}

TEST(HistoryDatabase, OlderSchemaIsMigratedKeepingItsChecks)
{
    HistoryFolder folder;
    QDir().mkpath(QFileInfo(folder.path()).absolutePath());
    QFile(folder.path()).open(QIODevice::WriteOnly);
    {
        SqliteConnection db(folder.path());
        db.exec(kHistorySchemaSteps[0]);
        db.exec("PRAGMA user_version = 1");
        db.exec("INSERT INTO checks (id, time_utc, site, site_key, project_path, cy, pr, outcome)"
                " VALUES (1, '2025-01-02T03:04:05.000Z', 'http://a.ru', 'a.ru', '', '10', '2', 'stopped');"
                "INSERT INTO results VALUES (1, 'ключ', 'YandexRu', '15', 15, 2, '300', 'found')");
    }
    HistoryDatabase db(folder.path());
    EXPECT_EQ(db.schemaVersion(), HistoryDatabase::kSchemaVersion);
    const QList<RecordedCheck> read = db.checksOfSite(QStringLiteral("http://a.ru"));
    ASSERT_EQ(read.size(), 1);
    EXPECT_EQ(read[0].outcome, CheckOutcome::Stopped);
    EXPECT_EQ(read[0].error, QString());
    EXPECT_EQ(read[0].definitionsVersion, QString());
    ASSERT_EQ(read[0].results.size(), 1);
    EXPECT_EQ(read[0].results[0].keyword, QStringLiteral("ключ"));
    EXPECT_EQ(read[0].results[0].position, 15);
    // The results written before the site stood on them are found by site all the same.
    const QList<PreviousResult> latest = db.latestDecidedResults(
        QStringLiteral("http://www.a.ru/"), { QStringLiteral("ключ") }, { Engine::YandexRu });
    ASSERT_EQ(latest.size(), 1);
    EXPECT_EQ(latest[0].position, 15);
    EXPECT_EQ(latest[0].time, QDateTime(QDate(2025, 1, 2), QTime(3, 4, 5), Qt::UTC));

    RecordedCheck next = sampleCheck(kMorning);
    next.site = QStringLiteral("http://a.ru");
    next.outcome = CheckOutcome::Error;
    next.error = QStringLiteral("порт прокси не число");
    db.record(next);
    EXPECT_EQ(db.checksOfSite(next.site).last().error, next.error);
}

// A history as a version of the given schema step left it, marked as the program's, holding rows.
void writeHistoryOfStep(const QString& path, int step, const char* rows)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile(path).open(QIODevice::WriteOnly);
    SqliteConnection db(path);
    for (int i = 0; i < step; ++i)
        db.exec(kHistorySchemaSteps[i]);
    db.exec(QByteArray(
        "PRAGMA user_version = " + QByteArray::number(step) + "; PRAGMA application_id = 1263752274")
                .constData());
    db.exec(rows);
}

TEST(HistoryDatabase, HistoryOfStepThreeGainsTheDefinitionsKeepingItsMark)
{
    HistoryFolder folder;
    writeHistoryOfStep(folder.path(), 3,
        "INSERT INTO checks (id, time_utc, site, site_key, outcome)"
        " VALUES (1, '2026-11-02T03:04:05.000Z', 'http://a.ru', 'a.ru', 'completed');"
        "INSERT INTO results (check_id, keyword, engine, result_text, position, result_page, reason,"
        " site_key) VALUES (1, 'ключ', 'YandexRu', '15', 15, 2, 'found', 'a.ru')");
    HistoryDatabase db(folder.path());
    EXPECT_EQ(db.schemaVersion(), 7);
    RecordedCheck next = sampleCheck(kMorning);
    next.site = QStringLiteral("http://a.ru");
    next.definitionsVersion = QStringLiteral("2026.12.7.2");
    db.record(next);
    const QList<RecordedCheck> read = db.checksOfSite(QStringLiteral("a.ru"));
    ASSERT_EQ(read.size(), 2);
    EXPECT_EQ(read[0].definitionsVersion, QString());
    EXPECT_EQ(read[0].results.value(0).position, 15);
    EXPECT_EQ(read[1].definitionsVersion, QStringLiteral("2026.12.7.2"));
    EXPECT_EQ(readPragma(folder.path(), "PRAGMA application_id"), QStringLiteral("1263752274"));
}

TEST(HistoryDatabase, HistoryOfStepFourGainsTheRegionOfEveryCheck)
{
    HistoryFolder folder;
    writeHistoryOfStep(folder.path(), 4,
        "INSERT INTO checks (id, time_utc, site, site_key, outcome, definitions)"
        " VALUES (1, '2026-12-01T03:04:05.000Z', 'http://a.ru', 'a.ru', 'completed', '2026.12.7.1')");
    HistoryDatabase db(folder.path());
    EXPECT_EQ(db.schemaVersion(), 7);
    RecordedCheck next = sampleCheck(kMorning);
    next.site = QStringLiteral("http://a.ru");
    next.region = QStringLiteral("lr=213 gl=ru hl=ru");
    db.record(next);
    const QList<RecordedCheck> read = db.checksOfSite(QStringLiteral("a.ru"));
    ASSERT_EQ(read.size(), 2);
    EXPECT_EQ(read[0].region, QString());
    EXPECT_EQ(read[0].definitionsVersion, QStringLiteral("2026.12.7.1"));
    EXPECT_EQ(read[1].region, QStringLiteral("lr=213 gl=ru hl=ru"));
    EXPECT_EQ(db.latestCheck(QStringLiteral("a.ru"))->region, QStringLiteral("lr=213 gl=ru hl=ru"));
}

TEST(HistoryDatabase, NewerSchemaIsRefusedAndLeftAsItIs)
{
    HistoryFolder folder;
    HistoryDatabase(folder.path()).record(sampleCheck(kMorning));
    {
        SqliteConnection db(folder.path());
        db.exec("PRAGMA user_version = 99");
        db.exec("PRAGMA wal_checkpoint(TRUNCATE)");
    }
    const QByteArray before = fileBytes(folder.path());
    try {
        HistoryDatabase db(folder.path());
        FAIL() << "a newer schema was opened";
    } catch (const HistoryError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("99"))) << e.what();
    }
    EXPECT_EQ(fileBytes(folder.path()), before);
}

TEST(HistoryStore, DamagedFileIsReportedOnceAndNeverReplaced)
{
    HistoryFolder folder;
    QDir().mkpath(QFileInfo(folder.path()).absolutePath());
    QByteArray noise(8192, '\0');
    for (char& byte : noise)
        byte = char(QRandomGenerator::global()->bounded(256));
    {
        QFile file(folder.path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(noise);
    }
    HistoryStore store(folder.path());
    QStringList problems;
    store.setProblemHandler([&problems](const QString& text) { problems << text; });
    EXPECT_FALSE(store.record(sampleCheck(kMorning)));
    EXPECT_FALSE(store.record(sampleCheck(kMorning.addDays(1))));
    ASSERT_EQ(problems.size(), 1);
    EXPECT_TRUE(problems[0].contains(QStringLiteral("not a database"))) << problems[0].toStdString();
    EXPECT_TRUE(problems[0].contains(QStringLiteral("Файл истории: ") + folder.path()));
    EXPECT_EQ(fileBytes(folder.path()), noise);
    EXPECT_THROW(store.checksOfSite(QStringLiteral("http://a.ru")), HistoryError);
}

TEST(HistoryStore, LockedFileIsReportedAndWrittenOnceFreeAgain)
{
    HistoryFolder folder;
    HistoryStore store(folder.path());
    store.setBusyTimeout(200); // the file stays locked longer than the writer waits
    ASSERT_TRUE(store.record(sampleCheck(kMorning)));
    QStringList problems;
    store.setProblemHandler([&problems](const QString& text) { problems << text; });
    {
        SqliteConnection other(folder.path());
        other.exec("BEGIN EXCLUSIVE");
        EXPECT_FALSE(store.record(sampleCheck(kMorning.addDays(1))));
        other.exec("ROLLBACK");
    }
    ASSERT_EQ(problems.size(), 1);
    EXPECT_TRUE(problems[0].contains(QStringLiteral("locked"))) << problems[0].toStdString();
    EXPECT_TRUE(store.record(sampleCheck(kMorning.addDays(2))));
    EXPECT_EQ(store.checksOfSite(sampleCheck(kMorning).site).size(), 2);
}

TEST(HistoryStore, FolderThatCannotBeMadeIsReported)
{
    QTemporaryDir dir;
    QFile blocker(dir.filePath(QStringLiteral("Tellvik")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly)); // a file where the folder should be
    blocker.close();
    HistoryStore store(dir.filePath(QStringLiteral("Tellvik/Kestrova Sertrix/history.sqlite")));
    QString problem;
    store.setProblemHandler([&problem](const QString& text) { problem = text; });
    EXPECT_FALSE(store.record(sampleCheck(kMorning)));
    EXPECT_FALSE(problem.isEmpty());
}

TEST(HistoryDatabase, DefaultPathFollowsXdgDataHome)
{
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", "/srv/data");
    EXPECT_EQ(
        HistoryDatabase::defaultPath(), QStringLiteral("/srv/data/Tellvik/Kestrova Sertrix/history.sqlite"));
    qputenv("XDG_DATA_HOME", "relative/ignored");
    EXPECT_EQ(HistoryDatabase::defaultPath(),
        QDir::homePath() + QStringLiteral("/.local/share/Tellvik/Kestrova Sertrix/history.sqlite"));
    qputenv("XDG_DATA_HOME", saved);
}

KS_ON_EACH_STORE(OnEachStore);

} // namespace
