#include "history/HistoryDatabase.h"

#include "history/HistoryError.h"
#include "history/HistorySchema.h"
#include "history/Sqlite.h"
#include "rank/lookup/EngineTable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStandardPaths>
#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <iterator>
#include <string>
#include <string_view>
#include <unistd.h>
#include <unordered_map>

static_assert(std::size(kHistorySchemaSteps) == HistoryDatabase::kSchemaVersion);

namespace {

const QString kFolder = QStringLiteral("Tellvik/Kestrova Sertrix");
const QString kFileName = QStringLiteral("history.sqlite");

// The file is created owner-only before SQLite opens it; SQLite gives its -wal and -shm files
// the same permissions.
void createOwnerOnly(const QString& path)
{
    const QFileInfo info(path);
    if (info.exists())
        return;
    if (!QDir().mkpath(info.absolutePath()))
        throw HistoryError(QStringLiteral("не удалось создать папку %1").arg(info.absolutePath()));
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0 && errno != EEXIST)
        throw HistoryError(
            QStringLiteral("не удалось создать файл: %1").arg(QString::fromLocal8Bit(std::strerror(errno))));
    if (fd >= 0)
        ::close(fd);
}

QString isoTime(const QDateTime& time)
{
    return time.toUTC().toString(Qt::ISODateWithMs);
}

QDateTime fromIsoTime(const QString& text)
{
    QDateTime time = QDateTime::fromString(text, Qt::ISODateWithMs);
    return time.toUTC();
}

// A long history repeats few texts (keywords, results, counts): each is made once and shared.
class TextPool {
public:
    QString text(QByteArrayView bytes)
    {
        const std::string_view key(bytes.data(), std::size_t(bytes.size()));
        const auto found = m_texts.find(key);
        if (found != m_texts.end())
            return found->second;
        const QString made = QString::fromUtf8(bytes);
        if (m_texts.size() < kMaxTexts)
            m_texts.emplace(std::string(key), made);
        return made;
    }

private:
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const { return std::hash<std::string_view> {}(text); }
    };
    static constexpr std::size_t kMaxTexts = 4096;
    std::unordered_map<std::string, QString, Hash, std::equal_to<>> m_texts;
};

RecordedResult readResult(const SqliteStatement& row, int first, TextPool& pool)
{
    RecordedResult result;
    result.keyword = pool.text(row.bytes(first));
    result.engine = engineByKey(QUtf8StringView(row.bytes(first + 1))).value_or(Engine::GoogleCom);
    result.text = pool.text(row.bytes(first + 2));
    result.position = row.optionalInt(first + 3);
    result.resultPage = int(row.integer(first + 4));
    result.countText = pool.text(row.bytes(first + 5));
    result.reason = kReasonCodes.find(row.bytes(first + 6)).value_or(Reason::NotAsked);
    return result;
}

} // namespace

HistoryDatabase::HistoryDatabase(const QString& path)
    : m_path(path)
{
    createOwnerOnly(path);
    m_db = std::make_unique<SqliteConnection>(path);
    m_db->setBusyTimeout(kBusyTimeoutMs);
    SqliteStatement(*m_db, "PRAGMA journal_mode = WAL").step();
    m_db->exec("PRAGMA foreign_keys = ON; PRAGMA synchronous = NORMAL");
    migrate();
}

HistoryDatabase::~HistoryDatabase() = default;

QString HistoryDatabase::defaultPath()
{
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return base + u'/' + kFolder + u'/' + kFileName;
}

int HistoryDatabase::schemaVersion()
{
    SqliteStatement version(*m_db, "PRAGMA user_version");
    version.step();
    return int(version.integer(0));
}

void HistoryDatabase::migrate()
{
    if (schemaVersion() == kSchemaVersion)
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
    m_db->exec(QByteArray("PRAGMA user_version = " + QByteArray::number(kSchemaVersion)).constData());
    transaction.commit();
}

qint64 HistoryDatabase::record(const RecordedCheck& check)
{
    SqliteTransaction transaction(*m_db);
    SqliteStatement insertCheck(*m_db,
        "INSERT INTO checks (time_utc, site, site_key, project_path, cy, pr, outcome, error)"
        " VALUES (?, ?, ?, ?, ?, ?, ?, ?)");
    insertCheck.bind(1, isoTime(check.time))
        .bind(2, check.site)
        .bind(3, seriesSite(check.site))
        .bind(4, check.projectPath)
        .bind(5, check.cy)
        .bind(6, check.pr)
        .bind(7, outcomeCode(check.outcome))
        .bind(8, check.error);
    insertCheck.step();
    const qint64 id = m_db->lastInsertId();
    SqliteStatement insertResult(*m_db,
        "INSERT INTO results (check_id, keyword, engine, result_text, position, result_page, query_count, "
        "reason)"
        " VALUES (?, ?, ?, ?, ?, ?, ?, ?)");
    for (const RecordedResult& result : check.results) {
        insertResult.bind(1, id)
            .bind(2, result.keyword)
            .bind(3, engineKey(result.engine))
            .bind(4, result.text)
            .bind(5, result.position)
            .bind(6, qint64(result.resultPage))
            .bind(7, result.countText)
            .bind(8, reasonCode(result.reason));
        insertResult.step();
        insertResult.reset();
    }
    transaction.commit();
    return id;
}

QList<RecordedCheck> HistoryDatabase::checksOfSite(const QString& site)
{
    const QString key = seriesSite(site);
    return readChecks("SELECT id, time_utc, site, project_path, cy, pr, outcome, error FROM checks"
                      " WHERE site_key = ? ORDER BY time_utc, id",
        "SELECT r.check_id, r.keyword, r.engine, r.result_text, r.position, r.result_page, r.query_count, "
        "r.reason"
        " FROM results r JOIN checks c ON c.id = r.check_id WHERE c.site_key = ?"
        " ORDER BY c.time_utc, c.id, r.rowid",
        &key);
}

QList<RecordedCheck> HistoryDatabase::allChecks()
{
    return readChecks("SELECT id, time_utc, site, project_path, cy, pr, outcome, error FROM checks"
                      " ORDER BY time_utc, id",
        "SELECT check_id, keyword, engine, result_text, position, result_page, query_count, reason"
        " FROM results ORDER BY check_id, rowid",
        nullptr);
}

QList<RecordedCheck> HistoryDatabase::readChecks(
    const char* checksSql, const char* resultsSql, const QString* siteKey)
{
    // Both reads see one snapshot.
    SqliteReadTransaction snapshot(*m_db);

    QList<RecordedCheck> checks;
    QHash<qint64, qsizetype> indexOfId;
    SqliteStatement readChecksRows(*m_db, checksSql);
    if (siteKey)
        readChecksRows.bind(1, *siteKey);
    while (readChecksRows.step()) {
        RecordedCheck check;
        check.id = readChecksRows.integer(0);
        check.time = fromIsoTime(readChecksRows.text(1));
        check.site = readChecksRows.text(2);
        check.projectPath = readChecksRows.text(3);
        check.cy = readChecksRows.text(4);
        check.pr = readChecksRows.text(5);
        check.outcome = kOutcomeCodes.find(readChecksRows.bytes(6)).value_or(CheckOutcome::Error);
        check.error = readChecksRows.text(7);
        indexOfId.insert(check.id, checks.size());
        checks.append(std::move(check));
    }
    TextPool pool;
    SqliteStatement readResults(*m_db, resultsSql);
    if (siteKey)
        readResults.bind(1, *siteKey);
    while (readResults.step()) {
        const auto found = indexOfId.constFind(readResults.integer(0));
        if (found != indexOfId.constEnd())
            checks[*found].results.append(readResult(readResults, 1, pool));
    }
    return checks;
}

QList<PreviousResult> HistoryDatabase::latestDecidedResults(const QString& site)
{
    // SQLite takes the bare columns from the row that gives max().
    SqliteStatement latest(*m_db,
        "SELECT r.keyword, r.engine, r.position, c.time_utc, max(r.check_id) FROM results r"
        " JOIN checks c ON c.id = r.check_id"
        " WHERE c.site_key = ? AND r.reason IN ('found', 'not-found', 'short-list')"
        " GROUP BY r.keyword, r.engine");
    latest.bind(1, seriesSite(site));
    QList<PreviousResult> results;
    while (latest.step()) {
        const auto engine = engineByKey(latest.text(1));
        if (!engine)
            continue;
        results.append({ latest.text(0), *engine, latest.optionalInt(2), fromIsoTime(latest.text(3)) });
    }
    return results;
}
