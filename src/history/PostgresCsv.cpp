#include "history/PostgresHistory.h"

#include "history/HistoryCsv.h"
#include "history/HistoryRecord.h"
#include "history/HistorySchema.h"

// The CSV of a long history is written by the server, COPY's CSV being the program's own in all but
// two things made up for here: an empty text is written as NULL (unquoted, as the program writes
// it), and each row ends in CRLF. Every field goes through the formula guard of the CSV.

namespace {

QByteArray quoted(QByteArrayView text)
{
    return "'" + text.toByteArray().replace('\'', "''") + "'";
}

QByteArray field(const QByteArray& expression)
{
    return "CASE WHEN (" + expression + ") ~ '" + kFormulaStartPattern + "' AND (" + expression + ") !~ '"
        + kPlainNumberPattern + "' THEN '''' || (" + expression + ") ELSE NULLIF(" + expression + ", '') END";
}

// The caption of a known engine, the code of another as recorded.
QByteArray engineColumn()
{
    QByteArray cases = "CASE r.engine WHEN '' THEN " + quoted(engineCaption(Engine::GoogleCom).toUtf8());
    for (const Engine engine : kEngines)
        cases += " WHEN " + quoted(engineKey(engine).toUtf8()) + " THEN "
            + quoted(engineCaption(engine).toUtf8());
    return cases + " ELSE r.engine END";
}

// An outcome this version does not know reads as an error, as in the checks the program reads.
QByteArray outcome()
{
    QByteArray known;
    for (const CheckOutcome outcome : { CheckOutcome::Completed, CheckOutcome::Stopped, CheckOutcome::Error,
             CheckOutcome::NothingAnswered })
        known += (known.isEmpty() ? "" : ", ") + quoted(outcomeCode(outcome).toUtf8());
    return "CASE WHEN c.outcome IN (" + known + ") THEN c.outcome ELSE "
        + quoted(outcomeCode(CheckOutcome::Error).toUtf8()) + " END";
}

// The time to the second, as the CSV of any store gives it.
constexpr const char* kTime
    = "CASE WHEN c.time_utc ~ '^[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}\\.[0-9]{3}Z$'"
      " THEN left(c.time_utc, 19) || 'Z' ELSE c.time_utc END";

} // namespace

void PostgresHistory::writeCsvRows(const QString* site, const std::function<void(QByteArrayView)>& write)
{
    const QList<QByteArray> columns { kTime, "c.site", "r.keyword", engineColumn(), "r.position::text",
        "r.result_page::text", "r.query_count", "c.cy", "c.pr",
        "COALESCE(NULLIF(r.reason, ''), " + quoted(reasonCode(Reason::NotAsked).toUtf8()) + ")", outcome(),
        "c.definitions", "c.region", "c.host", "c.user_name" };
    QList<QByteArray> numbers;
    for (const char* column : kApiRequestColumns)
        numbers << "CASE WHEN r.id = min(r.id) OVER (PARTITION BY c.id) THEN c." + QByteArray(column)
                + "::text END";
    QByteArray select;
    for (const QByteArray& column : columns)
        select += (select.isEmpty() ? "" : ", ") + field(column);
    for (const QByteArray& column : numbers)
        select += ", " + column;
    const QByteArray sql = "COPY (SELECT " + select + " FROM checks c JOIN results r ON r.check_id = c.id"
        + (site ? " WHERE c.site_key = " + m_db.literal(seriesSite(*site).toUtf8()) : QByteArray())
        + " ORDER BY c.time_utc, c.id, r.id) TO STDOUT (FORMAT csv)";

    constexpr qsizetype kPieceBytes = 256 * 1024;
    QByteArray piece;
    piece.reserve(kPieceBytes + 4096);
    PgTransaction snapshot(m_db, "BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY");
    m_db.copyOut(sql, [&](QByteArrayView row) {
        piece.append(row.chopped(row.endsWith('\n') ? 1 : 0));
        piece.append("\r\n");
        if (piece.size() >= kPieceBytes) {
            write(piece);
            piece.resize(0);
        }
    });
    snapshot.commit();
    write(piece);
}
