#include "history/HistoryDatabase.h"

#include "history/HistoryError.h"
#include "history/HistorySchema.h"
#include "history/HistoryText.h"
#include "history/MachineIdentity.h"
#include "history/Sqlite.h"
#include "platform/ProgramFolders.h"
#include "platform/SystemErrorText.h"
#include "rank/lookup/EngineTable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QStandardPaths>
#include <QStringList>
#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <iterator>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>

static_assert(std::size(kHistorySchemaSteps) == HistoryDatabase::kSchemaVersion);

namespace {

const QString kFileName = QStringLiteral("history.sqlite");

// The file is created owner-only before SQLite opens it; SQLite gives its -wal and -shm files
// the same permissions.
void createOwnerOnly(const QString& path)
{
    const QFileInfo info(path);
    if (info.exists() || info.isSymLink())
        return;
    if (!QDir().mkpath(info.absolutePath()))
        throw HistoryError(QStringLiteral("не удалось создать папку %1").arg(info.absolutePath()));
    const int fd = ::open(
        QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0 && errno != EEXIST)
        throw HistoryError(QStringLiteral("не удалось создать файл: %1").arg(systemErrorText(errno)));
    if (fd >= 0)
        ::close(fd);
}

// Only a regular file of the user, reached without a symbolic link, is opened; one that others
// may read is made owner-only again.
void checkOwnFile(const QString& path)
{
    struct stat info { };
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        throw HistoryError(systemErrorText(errno));
    if (S_ISLNK(info.st_mode))
        throw HistoryError(QStringLiteral("файл истории — символическая ссылка; он оставлен как есть"));
    if (!S_ISREG(info.st_mode))
        throw HistoryError(QStringLiteral("файл истории — не обычный файл; он оставлен как есть"));
    if (info.st_uid != ::geteuid())
        throw HistoryError(
            QStringLiteral("файл истории принадлежит другому пользователю; он оставлен как есть"));
    if ((info.st_mode & 0077) != 0 && ::chmod(QFile::encodeName(path).constData(), 0600) != 0)
        throw HistoryError(QStringLiteral("не удалось закрыть файл истории от других пользователей: %1")
                               .arg(systemErrorText(errno)));
}

qint64 pragmaValue(SqliteConnection& db, const char* sql)
{
    SqliteStatement statement(db, sql);
    statement.step();
    return statement.integer(0);
}

QString textValue(SqliteConnection& db, const char* sql)
{
    SqliteStatement statement(db, sql);
    statement.step();
    return statement.text(0);
}

// The tables of a database and their columns, one line a column, in name order.
QStringList tableShapes(SqliteConnection& db)
{
    SqliteStatement columns(db,
        "SELECT t.name, c.name, c.type, c.\"notnull\", ifnull(c.dflt_value, ''), c.pk"
        " FROM sqlite_master t JOIN pragma_table_info(t.name) c"
        " WHERE t.type = 'table' AND t.name NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY t.name, c.cid");
    QStringList shapes;
    while (columns.step()) {
        shapes << QStringLiteral("%1.%2 %3 %4 %5 %6")
                      .arg(columns.text(0), columns.text(1), columns.text(2), columns.text(3),
                          columns.text(4), columns.text(5));
    }
    return shapes;
}

// An unmarked file is a history of an earlier version only when its tables are exactly those
// that version made: another program's "checks" and "results" are not ours.
bool hasTablesOfStep(SqliteConnection& db, int version)
{
    const std::unique_ptr<SqliteConnection> made = SqliteConnection::inMemory();
    for (int step = 0; step < version; ++step)
        made->exec(kHistorySchemaSteps[step]);
    return tableShapes(db) == tableShapes(*made);
}

RecordedResult readResult(const SqliteStatement& row, int first, TextPool& pool)
{
    RecordedResult result;
    result.keyword = pool.text(row.bytes(first));
    // A code this version does not know is kept as written, never read as another engine or reason.
    if (const auto engine = engineByKey(QUtf8StringView(row.bytes(first + 1))))
        result.engine = *engine;
    else
        result.unknownEngine = QString::fromUtf8(row.bytes(first + 1));
    result.text = pool.text(row.bytes(first + 2));
    result.position = row.optionalInt(first + 3);
    result.resultPage = int(row.integer(first + 4));
    result.countText = pool.text(row.bytes(first + 5));
    if (const auto reason = kReasonCodes.find(row.bytes(first + 6)))
        result.reason = *reason;
    else
        result.unknownReason = QString::fromUtf8(row.bytes(first + 6));
    return result;
}

} // namespace

HistoryDatabase::HistoryDatabase(const QString& path, int busyTimeoutMs)
    : m_path(path)
{
    createOwnerOnly(path);
    checkOwnFile(path);
    m_db = std::make_unique<SqliteConnection>(path);
    m_db->setBusyTimeout(busyTimeoutMs);
    // Before anything is written: the WAL mode alone would change a foreign, newer or damaged
    // file for good.
    recognise();
    SqliteStatement(*m_db, "PRAGMA journal_mode = WAL").step();
    m_db->exec("PRAGMA foreign_keys = ON; PRAGMA synchronous = NORMAL");
    migrate();
}

HistoryDatabase::~HistoryDatabase() = default;

QString HistoryDatabase::defaultPath()
{
    return ProgramFolders::data() + u'/' + kFileName;
}

int HistoryDatabase::schemaVersion()
{
    SqliteStatement version(*m_db, "PRAGMA user_version");
    version.step();
    return int(version.integer(0));
}

void HistoryDatabase::recognise()
{
    // Every test of the file goes through a connection that cannot write to it.
    SqliteConnection probe(m_path, SqliteConnection::Mode::ReadOnly);
    const qint64 id = pragmaValue(probe, "PRAGMA application_id");
    const qint64 version = pragmaValue(probe, "PRAGMA user_version");
    if (id == 0) {
        // No mark yet: a file just made, or the history of a version that set none.
        const qint64 tables = pragmaValue(probe, "SELECT count(*) FROM sqlite_master WHERE type = 'table'");
        const bool empty = version == 0 && tables == 0;
        if (!empty && !(version >= 1 && version <= kSchemaVersion && hasTablesOfStep(probe, int(version))))
            throw HistoryError(
                QStringLiteral("файл не является историей позиций этой программы; он оставлен как есть"));
        m_unmarked = true;
    } else if (id != kApplicationId) {
        throw HistoryError(
            QStringLiteral("файл не является историей позиций этой программы; он оставлен как есть"));
    }
    if (version > kSchemaVersion)
        throw HistoryError(
            QStringLiteral("история записана более новой версией программы (схема %1)").arg(version));
    if (version < 0)
        throw HistoryError(QStringLiteral("неизвестная версия схемы истории: %1").arg(version));
    // A file not yet in WAL mode is about to be changed: it must be whole first. (One in WAL mode
    // is checked by SQLite page by page as it is read.)
    if (textValue(probe, "PRAGMA journal_mode") != QLatin1String("wal")
        && textValue(probe, "PRAGMA quick_check(1)") != QLatin1String("ok"))
        throw HistoryError(QStringLiteral("файл истории повреждён; он оставлен как есть"));
}

void HistoryDatabase::migrate()
{
    if (schemaVersion() == kSchemaVersion && !m_unmarked)
        return;
    SqliteTransaction transaction(*m_db);
    // Read again under the write lock: another process may have migrated meanwhile.
    const int from = schemaVersion();
    if (from > kSchemaVersion)
        throw HistoryError(
            QStringLiteral("история записана более новой версией программы (схема %1)").arg(from));
    if (from < 0)
        throw HistoryError(QStringLiteral("неизвестная версия схемы истории: %1").arg(from));
    for (int step = from; step < kSchemaVersion; ++step)
        m_db->exec(kHistorySchemaSteps[step]);
    if (m_unmarked)
        m_db->exec(QByteArray("PRAGMA application_id = " + QByteArray::number(kApplicationId)).constData());
    m_db->exec(QByteArray("PRAGMA user_version = " + QByteArray::number(kSchemaVersion)).constData());
    transaction.commit();
}

qint64 HistoryDatabase::record(const RecordedCheck& check)
{
    return insertCheck(check, QString());
}

qint64 HistoryDatabase::recordPending(const RecordedCheck& check, const QString& server)
{
    return insertCheck(check, server);
}

qint64 HistoryDatabase::insertCheck(const RecordedCheck& check, const QString& pending)
{
    const QString siteKey = seriesSite(check.site);
    const QString uid = check.uid.isEmpty() ? newCheckUid() : check.uid;
    SqliteTransaction transaction(*m_db);
    SqliteStatement known(*m_db, "SELECT id FROM checks WHERE uid = ?");
    if (known.bind(1, uid).step())
        return 0;
    SqliteStatement insertCheck(*m_db,
        "INSERT INTO checks (time_utc, site, site_key, project_path, cy, pr, outcome, error, definitions,"
        " region, host, user_name, uid, pending, api_yandex_search, api_serp_json, api_yandex_wordstat)"
        " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    insertCheck.bind(1, isoTime(check.time))
        .bind(2, check.site)
        .bind(3, siteKey)
        .bind(4, check.projectPath)
        .bind(5, check.cy)
        .bind(6, check.pr)
        .bind(7, outcomeCode(check.outcome))
        .bind(8, check.error)
        .bind(9, check.definitionsVersion)
        .bind(10, check.region)
        .bind(11, check.host)
        .bind(12, check.user)
        .bind(13, uid)
        .bind(14, pending)
        .bind(15, qint64(check.apiRequests.counts[0]))
        .bind(16, qint64(check.apiRequests.counts[1]))
        .bind(17, qint64(check.apiRequests.counts[2]));
    insertCheck.step();
    const qint64 id = m_db->lastInsertId();
    SqliteStatement insertResult(*m_db,
        "INSERT INTO results (check_id, keyword, engine, result_text, position, result_page, query_count, "
        "reason, site_key)"
        " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)");

    for (const RecordedResult& result : check.results) {
        insertResult.bind(1, id)
            .bind(2, result.keyword)
            .bind(3, engineCode(result))
            .bind(4, result.text)
            .bind(5, result.position)
            .bind(6, qint64(result.resultPage))
            .bind(7, result.countText)
            .bind(8, reasonText(result))
            .bind(9, siteKey);
        insertResult.step();
        insertResult.reset();
    }
    transaction.commit();
    return id;
}

namespace {

constexpr const char* kCheckColumns
    = "c.id, c.time_utc, c.site, c.project_path, c.cy, c.pr, c.outcome, c.error,"
      " c.definitions, c.region, c.host, c.user_name, c.uid,"
      " c.api_yandex_search, c.api_serp_json, c.api_yandex_wordstat";

QByteArray checksQuery(const char* rest)
{
    return QByteArray("SELECT ") + kCheckColumns + " FROM checks c " + rest;
}

RecordedCheck readCheck(const SqliteStatement& row, TextPool& pool)
{
    RecordedCheck check;
    check.id = row.integer(0);
    check.time = fromIsoTime(row.text(1));
    check.site = pool.text(row.bytes(2));
    check.projectPath = pool.text(row.bytes(3));
    check.cy = pool.text(row.bytes(4));
    check.pr = pool.text(row.bytes(5));
    check.outcome = kOutcomeCodes.find(row.bytes(6)).value_or(CheckOutcome::Error);
    check.error = pool.text(row.bytes(7));
    check.definitionsVersion = pool.text(row.bytes(8));
    check.region = pool.text(row.bytes(9));
    check.host = pool.text(row.bytes(10));
    check.user = pool.text(row.bytes(11));
    check.uid = row.text(12);
    for (std::size_t i = 0; i < check.apiRequests.counts.size(); ++i)
        check.apiRequests.counts[i] = int(row.integer(13 + int(i)));
    return check;
}

constexpr const char* kResultsOfCheck
    = "SELECT keyword, engine, result_text, position, result_page, query_count,"
      " reason FROM results WHERE check_id = ? ORDER BY rowid";

void readResults(SqliteStatement& rows, RecordedCheck& check, TextPool& pool)
{
    rows.bind(1, check.id);
    while (rows.step())
        check.results.append(readResult(rows, 0, pool));
    rows.reset();
}

} // namespace

void HistoryDatabase::forEachCheck(
    const QString* site, const std::function<void(const RecordedCheck&)>& visit)
{
    // Every read sees one snapshot.
    SqliteReadTransaction snapshot(*m_db);
    SqliteStatement checksRows(*m_db,
        checksQuery(site ? "WHERE c.site_key = ? ORDER BY c.time_utc, c.id" : "ORDER BY c.time_utc, c.id")
            .constData());
    if (site)
        checksRows.bind(1, seriesSite(*site));
    SqliteStatement resultRows(*m_db, kResultsOfCheck);
    TextPool pool;
    while (checksRows.step()) {
        RecordedCheck check = readCheck(checksRows, pool);
        readResults(resultRows, check, pool);
        visit(check);
    }
}

std::optional<RecordedCheck> HistoryDatabase::latestCheck(const QString& site)
{
    SqliteReadTransaction snapshot(*m_db);
    SqliteStatement latest(
        *m_db, checksQuery("WHERE c.site_key = ? ORDER BY c.time_utc DESC, c.id DESC LIMIT 1").constData());
    latest.bind(1, seriesSite(site));
    if (!latest.step())
        return std::nullopt;
    TextPool pool;
    RecordedCheck check = readCheck(latest, pool);
    SqliteStatement resultRows(*m_db, kResultsOfCheck);
    readResults(resultRows, check, pool);
    return check;
}

QList<RecordedCheck> HistoryDatabase::latestCheckOfEachProject(const QString& site)
{
    SqliteReadTransaction snapshot(*m_db);
    // The project files of the site one after the other, each found by one step in the index.
    SqliteStatement rows(*m_db,
        checksQuery("WHERE c.id IN ("
                    " WITH RECURSIVE projects(path) AS ("
                    "  SELECT min(project_path) FROM checks WHERE site_key = ?1"
                    "  UNION ALL SELECT (SELECT min(project_path) FROM checks"
                    "   WHERE site_key = ?1 AND project_path > projects.path)"
                    "  FROM projects WHERE projects.path IS NOT NULL)"
                    " SELECT (SELECT l.id FROM checks l INDEXED BY checks_by_project"
                    "  WHERE l.site_key = ?1 AND l.project_path = projects.path"
                    "  ORDER BY l.time_utc DESC, l.id DESC LIMIT 1)"
                    " FROM projects WHERE projects.path IS NOT NULL)"
                    " ORDER BY c.time_utc, c.id")
            .constData());
    rows.bind(1, seriesSite(site));
    TextPool pool;
    QList<RecordedCheck> checks;
    while (rows.step())
        checks.append(readCheck(rows, pool));
    return checks;
}

void HistoryDatabase::assignProject(const QStringList& uids, const QString& projectPath)
{
    SqliteTransaction transaction(*m_db);
    SqliteStatement(*m_db,
        "UPDATE checks SET project_path = ? WHERE project_path = ''"
        " AND uid IN (SELECT value FROM json_each(?))")
        .bind(1, projectPath)
        .bind(2,
            QString::fromUtf8(QJsonDocument(QJsonArray::fromStringList(uids)).toJson(QJsonDocument::Compact)))
        .step();
    transaction.commit();
}

SiteHistory HistoryDatabase::siteHistory(const QString& site)
{
    SqliteReadTransaction snapshot(*m_db);
    SqliteStatement rows(*m_db,
        "SELECT c.id, c.time_utc, c.outcome, c.cy, c.pr, c.error,"
        " r.keyword, r.engine, r.result_text, r.position, r.reason, c.host, c.user_name"
        " FROM checks c INDEXED BY checks_by_site LEFT JOIN results r ON r.check_id = c.id"
        " WHERE c.site_key = ? ORDER BY c.time_utc, c.id, r.rowid");
    const QString key = seriesSite(site);
    rows.bind(1, key);
    SiteHistory history;
    SqliteStatement checkCount(*m_db, "SELECT count(*) FROM checks WHERE site_key = ?");
    SqliteStatement resultCount(*m_db, "SELECT count(*) FROM results WHERE site_key = ?");
    checkCount.bind(1, key).step();
    resultCount.bind(1, key).step();
    history.reserve(checkCount.integer(0), resultCount.integer(0));
    qint64 check = 0;
    while (rows.step()) {
        if (const qint64 id = rows.integer(0); id != check || history.checkCount() == 0) {
            check = id;
            history.appendCheck(msecsOfIsoTime(rows.bytes(1)),
                kOutcomeCodes.find(rows.bytes(2)).value_or(CheckOutcome::Error), rows.bytes(3), rows.bytes(4),
                rows.bytes(5), rows.bytes(11), rows.bytes(12));
        }
        if (!rows.isNull(6))
            history.appendResult(
                rows.bytes(6), rows.bytes(7), rows.bytes(8), rows.optionalInt(9), rows.bytes(10));
    }
    history.finish();
    return history;
}

QList<PreviousResult> HistoryDatabase::latestDecidedResults(
    const QString& site, const QStringList& keywords, const QList<Engine>& engines)
{
    SqliteReadTransaction snapshot(*m_db);
    SqliteStatement latest(*m_db,
        "SELECT r.position, c.time_utc FROM results r INDEXED BY results_by_site_series"
        " JOIN checks c ON c.id = r.check_id"
        " WHERE r.site_key = ? AND r.engine = ? AND r.keyword = ?"
        " AND r.reason IN ('found', 'not-found', 'short-list')"
        " ORDER BY r.check_id DESC LIMIT 1");
    const QString key = seriesSite(site);
    QList<PreviousResult> results;
    for (const QString& keyword : keywords) {
        for (Engine engine : engines) {
            latest.bind(1, key).bind(2, engineKey(engine)).bind(3, keyword);
            if (latest.step())
                results.append({ keyword, engine, latest.optionalInt(0), fromIsoTime(latest.text(1)) });
            latest.reset();
        }
    }
    return results;
}

void HistoryDatabase::forEachPendingCheck(
    const std::function<void(const RecordedCheck&, const QString& server)>& visit)
{
    QList<std::pair<RecordedCheck, QString>> pending;
    {
        SqliteReadTransaction snapshot(*m_db);
        SqliteStatement checksRows(
            *m_db, checksQuery("WHERE c.pending <> '' ORDER BY c.time_utc, c.id").constData());
        SqliteStatement servers(*m_db, "SELECT pending FROM checks WHERE id = ?");
        SqliteStatement resultRows(*m_db, kResultsOfCheck);
        TextPool pool;
        while (checksRows.step()) {
            RecordedCheck check = readCheck(checksRows, pool);
            readResults(resultRows, check, pool);
            servers.bind(1, check.id).step();
            pending.append({ check, servers.text(0) });
            servers.reset();
        }
    }
    // Sent after the read, so that marking a check sent never waits for this snapshot.
    for (const auto& [check, server] : pending)
        visit(check, server);
}

void HistoryDatabase::markSent(const QString& uid)
{
    SqliteTransaction transaction(*m_db);
    SqliteStatement(*m_db, "UPDATE checks SET pending = '' WHERE uid = ?").bind(1, uid).step();
    transaction.commit();
}
