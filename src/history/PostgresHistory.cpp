#include "history/PostgresHistory.h"

#include "history/HistoryError.h"
#include "history/HistorySchema.h"
#include "history/HistoryText.h"
#include "history/MachineIdentity.h"
#include "rank/lookup/EngineTable.h"

#include <QRegularExpression>

namespace {

// The advisory lock of the migration: "KSTR" and the schema's hash, so that two histories in one
// database do not wait for each other.
constexpr qint64 kLockKey = 0x4B535452;
constexpr int kBatchRows = 4096;

QByteArray utf8(const QString& text)
{
    return text.toUtf8();
}

constexpr const char* kCheckColumns
    = "c.id, c.time_utc, c.site, c.project_path, c.cy, c.pr, c.outcome, c.error,"
      " c.definitions, c.region, c.host, c.user_name, c.uid,"
      " c.api_yandex_search, c.api_serp_json, c.api_yandex_wordstat";
constexpr int kCheckColumnCount = 16;

RecordedCheck readCheck(const PgResult& rows, int row, TextPool& pool)
{
    RecordedCheck check;
    check.id = rows.integer(row, 0);
    check.time = timeOfIsoText(rows.bytes(row, 1));
    check.site = pool.text(rows.bytes(row, 2));
    check.projectPath = pool.text(rows.bytes(row, 3));
    check.cy = pool.text(rows.bytes(row, 4));
    check.pr = pool.text(rows.bytes(row, 5));
    check.outcome = kOutcomeCodes.find(rows.bytes(row, 6)).value_or(CheckOutcome::Error);
    check.error = pool.text(rows.bytes(row, 7));
    check.definitionsVersion = pool.text(rows.bytes(row, 8));
    check.region = pool.text(rows.bytes(row, 9));
    check.host = pool.text(rows.bytes(row, 10));
    check.user = pool.text(rows.bytes(row, 11));
    check.uid = rows.text(row, 12);
    for (std::size_t i = 0; i < check.apiRequests.counts.size(); ++i)
        check.apiRequests.counts[i] = int(rows.integer(row, 13 + int(i)));
    return check;
}

RecordedResult readResult(const PgResult& rows, int row, int first, TextPool& pool)
{
    RecordedResult result;
    result.keyword = pool.text(rows.bytes(row, first));
    // A code this version does not know is kept as written, never read as another engine or reason.
    if (const auto engine = engineByKey(QUtf8StringView(rows.bytes(row, first + 1))))
        result.engine = *engine;
    else
        result.unknownEngine = rows.text(row, first + 1);
    result.text = pool.text(rows.bytes(row, first + 2));
    result.position = rows.optionalInt(row, first + 3);
    result.resultPage = int(rows.integer(row, first + 4));
    result.countText = pool.text(rows.bytes(row, first + 5));
    if (const auto reason = kReasonCodes.find(rows.bytes(row, first + 6)))
        result.reason = *reason;
    else
        result.unknownReason = rows.text(row, first + 6);
    return result;
}

constexpr const char* kResultColumns
    = "r.keyword, r.engine, r.result_text, r.position, r.result_page, r.query_count, r.reason";

// An array in PostgreSQL's text form: every element quoted, quotes and backslashes escaped.
QByteArray arrayLiteral(const QList<PgParam>& items)
{
    QByteArray out = "{";
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (i)
            out += ',';
        if (!items[i]) {
            out += "NULL";
            continue;
        }
        out += '"';
        for (const char c : *items[i]) {
            if (c == '"' || c == '\\')
                out += '\\';
            out += c;
        }
        out += '"';
    }
    return out + '}';
}

QString newerSchemaText(int version)
{
    return QStringLiteral("история записана более новой версией программы (схема %1)").arg(version);
}

} // namespace

bool PostgresHistory::isValidSchemaName(const QString& name)
{
    static const QRegularExpression kName(QStringLiteral("^[a-z_][a-z0-9_]{0,62}$"));
    return kName.match(name).hasMatch() && !name.startsWith(QLatin1String("pg_"));
}

const QString& PostgresHistory::checkedSchemaName(const QString& name)
{
    if (!isValidSchemaName(name))
        throw HistoryError(QStringLiteral("имя схемы истории «%1» не подходит: только строчные латинские "
                                          "буквы, цифры и «_»")
                               .arg(name.left(64)));
    return name;
}

PostgresHistory::PostgresHistory(const QString& conninfo, const QString& schema)
    : m_schema(checkedSchemaName(schema))
    , m_db(conninfo)
{
    m_db.exec("SET search_path TO \"" + utf8(m_schema) + "\"");
    migrate();
}

int PostgresHistory::readVersion()
{
    const PgResult found = m_db.query("SELECT to_regclass(quote_ident($1) || '.history_schema') IS NOT NULL,"
                                      " (SELECT count(*) FROM pg_tables WHERE schemaname = $1)",
        { utf8(m_schema) });
    if (found.bytes(0, 0) != "t") {
        if (found.integer(0, 1) > 0)
            throw HistoryError(QStringLiteral("схема «%1» базы занята таблицами другой программы; она "
                                              "оставлена как есть")
                                   .arg(m_schema));
        return 0;
    }
    const PgResult version = m_db.query("SELECT version, application_id FROM history_schema");
    if (version.rows() != 1 || version.integer(0, 1) != kLockKey)
        throw HistoryError(QStringLiteral("схема «%1» базы не является историей позиций этой программы; она "
                                          "оставлена как есть")
                               .arg(m_schema));
    return int(version.integer(0, 0));
}

int PostgresHistory::schemaVersion()
{
    return readVersion();
}

void PostgresHistory::migrate()
{
    constexpr int kCurrent = int(std::size(kPostgresSchemaSteps));
    // A history at the program's version needs nothing written: a user who may only read opens it.
    int version = readVersion();
    if (version > kCurrent)
        throw HistoryError(newerSchemaText(version));
    while (version < kCurrent) {
        PgTransaction transaction(m_db);
        m_db.query("SELECT pg_advisory_xact_lock($1::integer, hashtext($2))",
            { QByteArray::number(kLockKey), utf8(m_schema) });
        // Read again under the lock: another program may have moved the schema meanwhile.
        version = readVersion();
        if (version > kCurrent)
            throw HistoryError(newerSchemaText(version));
        if (version == kCurrent)
            break;
        if (version == 0) {
            m_db.exec("CREATE SCHEMA IF NOT EXISTS \"" + utf8(m_schema) + "\"");
            m_db.exec(
                "CREATE TABLE history_schema (version INTEGER NOT NULL, application_id BIGINT NOT NULL)");
            m_db.query("INSERT INTO history_schema VALUES (0, $1)", { QByteArray::number(kLockKey) });
        }
        const char* step
            = kPostgresSchemaSteps[version] ? kPostgresSchemaSteps[version] : kHistorySchemaSteps[version];
        m_db.exec(step);
        m_db.query("UPDATE history_schema SET version = $1", { QByteArray::number(version + 1) });
        transaction.commit();
        ++version;
    }
}

qint64 PostgresHistory::record(const RecordedCheck& check)
{
    const QByteArray siteKey = utf8(seriesSite(check.site));
    PgTransaction transaction(m_db);
    const PgResult inserted = m_db.query(
        "INSERT INTO checks (time_utc, site, site_key, project_path, cy, pr, outcome, error, definitions,"
        " region, host, user_name, uid, api_yandex_search, api_serp_json, api_yandex_wordstat)"
        " VALUES ($1, $2, $3, $4, $5, $6, $7, $8, $9, $10, $11, $12, $13, $14, $15, $16)"
        " ON CONFLICT (uid) DO NOTHING RETURNING id",
        { utf8(isoTime(check.time)), utf8(check.site), siteKey, utf8(check.projectPath), utf8(check.cy),
            utf8(check.pr), utf8(outcomeCode(check.outcome)), utf8(check.error),
            utf8(check.definitionsVersion), utf8(check.region), utf8(check.host), utf8(check.user),
            utf8(check.uid.isEmpty() ? newCheckUid() : check.uid),
            QByteArray::number(check.apiRequests.counts[0]), QByteArray::number(check.apiRequests.counts[1]),
            QByteArray::number(check.apiRequests.counts[2]) });
    if (inserted.rows() == 0)
        return 0;
    const QByteArray id = inserted.bytes(0, 0).toByteArray();
    if (!check.results.isEmpty()) {
        // Every result in one statement, in the order of the check.
        QList<PgParam> keywords, engines, texts, positions, pages, counts, reasons;
        for (const RecordedResult& result : check.results) {
            keywords << utf8(result.keyword);
            engines << utf8(engineCode(result));
            texts << utf8(result.text);
            positions << (result.position ? PgParam(QByteArray::number(*result.position)) : PgParam());
            pages << QByteArray::number(result.resultPage);
            counts << utf8(result.countText);
            reasons << utf8(reasonText(result));
        }
        m_db.query("INSERT INTO results (check_id, keyword, engine, result_text, position, result_page,"
                   " query_count, reason, site_key)"
                   " SELECT $1, k, e, t, p, rp, q, r, $9 FROM unnest($2::text[], $3::text[], $4::text[],"
                   " $5::integer[], $6::integer[], $7::text[], $8::text[]) WITH ORDINALITY AS u(k, e, t, p, "
                   "rp, q, r, n)"
                   " ORDER BY n",
            { id, arrayLiteral(keywords), arrayLiteral(engines), arrayLiteral(texts), arrayLiteral(positions),
                arrayLiteral(pages), arrayLiteral(counts), arrayLiteral(reasons), siteKey });
    }
    transaction.commit();
    return id.toLongLong();
}

void PostgresHistory::forEachRow(const QByteArray& sql, const QList<PgParam>& params,
    const std::function<void(const PgResult&, int row)>& visit)
{
    PgTransaction snapshot(m_db, "BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY");
    m_db.query("DECLARE history_rows NO SCROLL CURSOR FOR " + sql, params);
    const QByteArray fetch = "FETCH " + QByteArray::number(kBatchRows) + " FROM history_rows";
    for (;;) {
        const PgResult batch = m_db.query(fetch);
        for (int row = 0; row < batch.rows(); ++row)
            visit(batch, row);
        if (batch.rows() < kBatchRows)
            break;
    }
    snapshot.commit();
}

void PostgresHistory::forEachCheck(
    const QString* site, const std::function<void(const RecordedCheck&)>& visit)
{
    const QByteArray sql = QByteArray("SELECT ") + kCheckColumns + ", " + kResultColumns
        + " FROM checks c LEFT JOIN results r ON r.check_id = c.id" + (site ? " WHERE c.site_key = $1" : "")
        + " ORDER BY c.time_utc, c.id, r.id";
    QList<PgParam> params;
    if (site)
        params << utf8(seriesSite(*site));
    std::optional<RecordedCheck> current;
    TextPool pool;
    forEachRow(sql, params, [&](const PgResult& rows, int row) {
        if (!current || current->id != rows.integer(row, 0)) {
            if (current)
                visit(*current);
            current = readCheck(rows, row, pool);
        }
        if (!rows.isNull(row, kCheckColumnCount))
            current->results.append(readResult(rows, row, kCheckColumnCount, pool));
    });
    if (current)
        visit(*current);
}

std::optional<RecordedCheck> PostgresHistory::latestCheck(const QString& site)
{
    PgTransaction snapshot(m_db, "BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY");
    const PgResult latest = m_db.query(QByteArray("SELECT ") + kCheckColumns
            + " FROM checks c WHERE c.site_key = $1 ORDER BY c.time_utc DESC, c.id DESC LIMIT 1",
        { utf8(seriesSite(site)) });
    if (latest.rows() == 0)
        return std::nullopt;
    TextPool pool;
    RecordedCheck check = readCheck(latest, 0, pool);
    const PgResult results = m_db.query(
        QByteArray("SELECT ") + kResultColumns + " FROM results r WHERE r.check_id = $1 ORDER BY r.id",
        { QByteArray::number(check.id) });
    for (int row = 0; row < results.rows(); ++row)
        check.results.append(readResult(results, row, 0, pool));
    snapshot.commit();
    return check;
}

QList<RecordedCheck> PostgresHistory::latestCheckOfEachProject(const QString& site)
{
    // The project files of the site one after the other, each found by one step in the index.
    const PgResult rows = m_db.query(QByteArray("SELECT ") + kCheckColumns
            + " FROM checks c WHERE c.id IN ("
              " WITH RECURSIVE projects(path) AS ("
              "  SELECT min(project_path) FROM checks WHERE site_key = $1"
              "  UNION ALL SELECT (SELECT min(project_path) FROM checks"
              "   WHERE site_key = $1 AND project_path > projects.path)"
              "  FROM projects WHERE projects.path IS NOT NULL)"
              " SELECT (SELECT l.id FROM checks l"
              "  WHERE l.site_key = $1 AND l.project_path = projects.path"
              "  ORDER BY l.time_utc DESC, l.id DESC LIMIT 1)"
              " FROM projects WHERE projects.path IS NOT NULL)"
              " ORDER BY c.time_utc, c.id",
        { utf8(seriesSite(site)) });
    QList<RecordedCheck> checks;
    TextPool pool;
    for (int row = 0; row < rows.rows(); ++row)
        checks.append(readCheck(rows, row, pool));
    return checks;
}

void PostgresHistory::assignProject(const QStringList& uids, const QString& projectPath)
{
    QList<PgParam> named;
    for (const QString& uid : uids)
        named << utf8(uid);
    PgTransaction transaction(m_db);
    m_db.query("UPDATE checks SET project_path = $1 WHERE project_path = '' AND uid = ANY($2::text[])",
        { utf8(projectPath), arrayLiteral(named) });
    transaction.commit();
}

SiteHistory PostgresHistory::siteHistory(const QString& site)
{
    SiteHistory history;
    qint64 check = 0;
    forEachRow("SELECT c.id, c.time_utc, c.outcome, c.cy, c.pr, c.error,"
               " r.keyword, r.engine, r.result_text, r.position, r.reason, c.host, c.user_name"
               " FROM checks c LEFT JOIN results r ON r.check_id = c.id"
               " WHERE c.site_key = $1 ORDER BY c.time_utc, c.id, r.id",
        { utf8(seriesSite(site)) }, [&](const PgResult& rows, int row) {
            if (const qint64 id = rows.integer(row, 0); id != check || history.checkCount() == 0) {
                check = id;
                history.appendCheck(msecsOfIsoTime(rows.bytes(row, 1)),
                    kOutcomeCodes.find(rows.bytes(row, 2)).value_or(CheckOutcome::Error), rows.bytes(row, 3),
                    rows.bytes(row, 4), rows.bytes(row, 5), rows.bytes(row, 11), rows.bytes(row, 12));
            }
            if (!rows.isNull(row, 6))
                history.appendResult(rows.bytes(row, 6), rows.bytes(row, 7), rows.bytes(row, 8),
                    rows.optionalInt(row, 9), rows.bytes(row, 10));
        });
    history.finish();
    return history;
}

QList<PreviousResult> PostgresHistory::latestDecidedResults(
    const QString& site, const QStringList& keywords, const QList<Engine>& engines)
{
    PgTransaction snapshot(m_db, "BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY");
    const QByteArray key = utf8(seriesSite(site));
    QList<PreviousResult> results;
    for (const QString& keyword : keywords) {
        for (Engine engine : engines) {
            const PgResult latest = m_db.query("SELECT r.position, c.time_utc FROM results r"
                                               " JOIN checks c ON c.id = r.check_id"
                                               " WHERE r.site_key = $1 AND r.engine = $2 AND r.keyword = $3"
                                               " AND r.reason IN ('found', 'not-found', 'short-list')"
                                               " ORDER BY r.check_id DESC LIMIT 1",
                { key, utf8(engineKey(engine)), utf8(keyword) });
            if (latest.rows() > 0)
                results.append(
                    { keyword, engine, latest.optionalInt(0, 0), timeOfIsoText(latest.bytes(0, 1)) });
        }
    }
    snapshot.commit();
    return results;
}
