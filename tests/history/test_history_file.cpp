#include "history/HistoryCsv.h"
#include "history/HistoryDatabase.h"
#include "history/HistoryError.h"
#include "history/HistoryFixtures.h"
#include "history/HistorySchema.h"
#include "history/HistoryStore.h"
#include "history/HistoryTableModel.h"
#include "history/Sqlite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <atomic>
#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

const QDateTime kMorning(QDate(2026, 12, 1), QTime(6, 0, 0), Qt::UTC);

qint64 pragmaOf(const QString& path, const char* pragma)
{
    SqliteConnection db(path);
    SqliteStatement statement(db, pragma);
    statement.step();
    return statement.integer(0);
}

// Another program's SQLite file in rollback-journal mode, as most programs leave theirs.
QString foreignDatabase(const QString& path, const char* extra = "")
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile(path).open(QIODevice::WriteOnly);
    SqliteConnection db(path);
    db.exec(
        "CREATE TABLE notes (id INTEGER PRIMARY KEY, text TEXT); INSERT INTO notes VALUES (1, 'keep me')");
    db.exec(extra);
    return path;
}

// Writing the check fails once with a reason that holds `why`, and the file stays as it was.
void expectRefusedAndUntouched(const QString& historyPath, const QString& target, const QString& why)
{
    const QByteArray before = fileBytes(target);
    HistoryStore store(historyPath);
    QStringList problems;
    store.setProblemHandler([&problems](const QString& text) { problems << text; });
    EXPECT_FALSE(store.record(sampleCheck(kMorning)));
    EXPECT_THROW(store.allChecks(), HistoryError);
    ASSERT_EQ(problems.size(), 1);
    EXPECT_TRUE(problems[0].contains(why)) << problems[0].toStdString();
    EXPECT_EQ(fileBytes(target), before);
    EXPECT_FALSE(QFile::exists(target + QStringLiteral("-wal")));
    EXPECT_EQ(pragmaOf(target, "SELECT count(*) FROM sqlite_master"), 1);
}

} // namespace

TEST(HistoryFile, ASymbolicLinkToAnotherDatabaseIsRefusedAndItIsLeftByteIdentical)
{
    HistoryFolder folder;
    QTemporaryDir elsewhere;
    const QString foreign = foreignDatabase(elsewhere.filePath(QStringLiteral("notes.sqlite")));
    QDir().mkpath(QFileInfo(folder.path()).absolutePath());
    ASSERT_TRUE(QFile::link(foreign, folder.path()));
    expectRefusedAndUntouched(folder.path(), foreign, QStringLiteral("символическая ссылка"));
    SqliteConnection db(foreign);
    SqliteStatement mode(db, "PRAGMA journal_mode");
    ASSERT_TRUE(mode.step());
    EXPECT_EQ(mode.text(0), QStringLiteral("delete"));
}

TEST(HistoryFile, AnotherProgramsDatabaseIsRefusedAndLeftByteIdentical)
{
    HistoryFolder folder;
    foreignDatabase(folder.path());
    expectRefusedAndUntouched(
        folder.path(), folder.path(), QStringLiteral("не является историей позиций этой программы"));
}

TEST(HistoryFile, ADatabaseWithTheTablesButAnotherApplicationIdIsRefused)
{
    HistoryFolder folder;
    HistoryDatabase(folder.path()).record(sampleCheck(kMorning));
    {
        SqliteConnection db(folder.path());
        db.exec("PRAGMA application_id = 1234; PRAGMA journal_mode = DELETE");
    }
    const QByteArray before = fileBytes(folder.path());
    EXPECT_THROW(HistoryDatabase { folder.path() }, HistoryError);
    EXPECT_EQ(fileBytes(folder.path()), before);
}

// Files that are not a history this version may change, each in rollback-journal mode as most
// programs leave theirs: refused before anything is written, the journal mode included.
TEST(HistoryFile, NewerDamagedOrLookalikeFilesAreRefusedByteIdentical)
{
    struct Row {
        const char* name;
        std::function<void(const QString& path)> make;
        const char* why;
    };
    const auto ourHistory = [](const QString& path, const char* then) {
        HistoryDatabase(path).record(sampleCheck(kMorning));
        SqliteConnection db(path);
        db.exec("PRAGMA journal_mode = DELETE");
        db.exec(then);
    };
    const Row rows[] = {
        { "newer schema", [&](const QString& path) { ourHistory(path, "PRAGMA user_version = 99"); },
            "более новой версией программы (схема 99)" },
        { "damaged page",
            [&](const QString& path) {
                ourHistory(path, "CREATE TABLE padding (x); INSERT INTO padding VALUES (zeroblob(20000))");
                QFile file(path);
                ASSERT_TRUE(file.open(QIODevice::ReadWrite));
                file.seek(4096 * 2 + 8);
                file.write(QByteArray(64, '\xff'));
            },
            "" },
        { "foreign tables of the same names at user_version 2",
            [](const QString& path) {
                foreignDatabase(path,
                    "CREATE TABLE checks (id INTEGER PRIMARY KEY, owner TEXT);"
                    "CREATE TABLE results (check_id INTEGER, score REAL); PRAGMA user_version = 2");
            },
            "не является историей позиций этой программы" },
        { "our tables of step 2 beside another table",
            [](const QString& path) {
                foreignDatabase(path);
                SqliteConnection db(path);
                db.exec(kHistorySchemaSteps[0]);
                db.exec(kHistorySchemaSteps[1]);
                db.exec("PRAGMA user_version = 2");
            },
            "не является историей позиций этой программы" },
    };
    for (const Row& row : rows) {
        HistoryFolder folder;
        QDir().mkpath(QFileInfo(folder.path()).absolutePath());
        QFile(folder.path()).open(QIODevice::WriteOnly);
        row.make(folder.path());
        const QByteArray before = fileBytes(folder.path());
        try {
            HistoryDatabase db(folder.path());
            ADD_FAILURE() << row.name << ": opened";
        } catch (const HistoryError& e) {
            EXPECT_TRUE(e.message().contains(QString::fromUtf8(row.why)))
                << row.name << ": " << e.message().toStdString();
        }
        EXPECT_EQ(fileBytes(folder.path()), before) << row.name;
        EXPECT_FALSE(QFile::exists(folder.path() + QStringLiteral("-wal"))) << row.name;
    }
}

TEST(HistoryFile, ANewHistoryCarriesTheProgramsApplicationId)
{
    HistoryFolder folder;
    HistoryDatabase(folder.path()).record(sampleCheck(kMorning));
    EXPECT_EQ(pragmaOf(folder.path(), "PRAGMA application_id"), 0x4B535452);
    // It opens again as the program's own.
    EXPECT_EQ(HistoryDatabase(folder.path()).allChecks().size(), 1);
}

TEST(HistoryFile, AnUnmarkedHistoryOfAnEarlierVersionIsTakenAndMarked)
{
    HistoryFolder folder;
    HistoryDatabase(folder.path()).record(sampleCheck(kMorning));
    {
        SqliteConnection db(folder.path());
        db.exec("PRAGMA application_id = 0");
    }
    HistoryDatabase db(folder.path());
    EXPECT_EQ(db.allChecks().size(), 1);
    EXPECT_EQ(pragmaOf(folder.path(), "PRAGMA application_id"), 0x4B535452);
}

TEST(HistoryFile, AModeWiderThanTheOwnersIsTightened)
{
    HistoryFolder folder;
    HistoryDatabase(folder.path()).record(sampleCheck(kMorning));
    ASSERT_EQ(::chmod(QFile::encodeName(folder.path()).constData(), 0644), 0);
    HistoryDatabase reopened(folder.path());
    struct stat info { };
    ASSERT_EQ(::stat(QFile::encodeName(folder.path()).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST(HistoryFile, AFileOfAnotherUserIsRefused)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can give a file away";
    HistoryFolder folder;
    HistoryDatabase(folder.path()).record(sampleCheck(kMorning));
    ASSERT_EQ(::chown(QFile::encodeName(folder.path()).constData(), 65534, 65534), 0);
    try {
        HistoryDatabase db(folder.path());
        FAIL() << "opened";
    } catch (const HistoryError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("принадлежит другому пользователю"))) << e.what();
    }
}

TEST(HistoryFile, AWriterWaitsForAnotherThatHoldsTheFileForSomeSeconds)
{
    HistoryFolder folder;
    HistoryStore store(folder.path());
    ASSERT_TRUE(store.record(sampleCheck(kMorning)));
    std::atomic<bool> held { false };
    std::thread other([&] {
        SqliteConnection db(folder.path());
        db.exec("BEGIN EXCLUSIVE");
        held = true;
        std::this_thread::sleep_for(std::chrono::seconds(3));
        db.exec("ROLLBACK");
    });
    while (!held)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    QStringList problems;
    store.setProblemHandler([&problems](const QString& text) { problems << text; });
    EXPECT_TRUE(store.record(sampleCheck(kMorning.addDays(1))));
    other.join();
    EXPECT_TRUE(problems.isEmpty()) << problems.join(u'\n').toStdString();
    EXPECT_EQ(store.allChecks().size(), 2);
}

TEST(HistoryFile, CodesThisVersionDoesNotKnowAreKeptAsWritten)
{
    HistoryFolder folder;
    HistoryDatabase(folder.path()).record(sampleCheck(kMorning));
    {
        SqliteConnection db(folder.path());
        db.exec(
            "INSERT INTO results (check_id, keyword, engine, result_text, position, result_page, query_count,"
            " reason) VALUES (1, 'kw', 'YahooCom', '4', 4, 1, '', 'captcha'),"
            " (1, 'kw', 'GoogleCom', 'n/a', NULL, 50, '', 'throttled')");
    }
    const QList<RecordedCheck> checks = HistoryDatabase(folder.path()).allChecks();
    ASSERT_EQ(checks.size(), 1);
    const RecordedResult& yahoo = checks[0].results[checks[0].results.size() - 2];
    const RecordedResult& google = checks[0].results.last();
    EXPECT_EQ(yahoo.unknownEngine, QStringLiteral("YahooCom"));
    EXPECT_EQ(yahoo.unknownReason, QStringLiteral("captcha"));
    EXPECT_EQ(google.unknownEngine, QString());
    EXPECT_EQ(google.engine, Engine::GoogleCom);
    EXPECT_EQ(google.unknownReason, QStringLiteral("throttled"));
    EXPECT_FALSE(isDecided(google));
    // Never found as the result of a known engine.
    EXPECT_NE(checks[0].result(QStringLiteral("kw"), Engine::GoogleCom), &yahoo);

    const QByteArray csv = historyCsv(checks);
    EXPECT_TRUE(csv.contains(",kw,YahooCom,4,1,,")) << csv.constData();
    EXPECT_TRUE(csv.contains(",captcha,completed,2026.12.7.1,,office-7,анна,,,\r\n")) << csv.constData();
    EXPECT_TRUE(csv.contains(",kw,Google.com,,50,,")) << csv.constData();
    EXPECT_TRUE(csv.contains(",throttled,completed,2026.12.7.1,,office-7,анна,,,\r\n")) << csv.constData();

    HistoryTableModel table;
    table.setChecks(checks);
    QStringList headers;
    for (int column = 0; column < table.columnCount(); ++column)
        headers << table.headerData(column, Qt::Horizontal).toString();
    EXPECT_TRUE(headers.contains(QStringLiteral("kw\nYahooCom"))) << headers.join(u'|').toStdString();
}

TEST(HistoryErrors, TheReasonIsRussianWithSqlitesTextAfterIt)
{
    struct Row {
        int code;
        const char* library;
        const char* shown;
    };
    const Row rows[] = {
        { 13, "database or disk is full", "диск заполнен (database or disk is full)" },
        { 10, "disk I/O error", "ошибка чтения или записи на диске (disk I/O error)" },
        { 10 | (4 << 8), "disk I/O error",
            "ошибка чтения или записи на диске (disk I/O error)" }, // IOERR_READ
        { 5, "database is locked", "файл занят другой программой (database is locked)" },
        { 26, "file is not a database",
            "файл повреждён или не является базой данных (file is not a database)" },
        { 1, "no such table: x", "ошибка базы данных (no such table: x)" },
    };
    for (const Row& row : rows)
        EXPECT_EQ(sqliteErrorText(row.code, QString::fromUtf8(row.library)), QString::fromUtf8(row.shown));
}

TEST(HistoryErrors, ADamagedFileIsSaidInRussian)
{
    HistoryFolder folder;
    QDir().mkpath(QFileInfo(folder.path()).absolutePath());
    QFile file(folder.path());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(4096, 'x'));
    file.close();
    try {
        HistoryDatabase db(folder.path());
        FAIL() << "opened";
    } catch (const HistoryError& e) {
        EXPECT_EQ(e.message(),
            QStringLiteral("файл повреждён или не является базой данных (file is not a database)"));
    }
}
