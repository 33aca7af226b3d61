#include "history/PgConnection.h"

#include "history/HistoryError.h"

#include <libpq-fe.h>
#include <memory>
#include <vector>

namespace {

// The SQLSTATE classes a user is told in his own words.
QString reasonOf(const char* state)
{
    const QByteArrayView code(state ? state : "");
    if (code == "42501")
        return QStringLiteral("нет прав на запись в базу истории");
    if (code.startsWith("08") || code == "57P01" || code == "57P02" || code == "57P03")
        return QStringLiteral("нет связи с сервером PostgreSQL");
    if (code == "57014")
        return QStringLiteral("сервер PostgreSQL не ответил вовремя");
    if (code.startsWith("53"))
        return QStringLiteral("серверу PostgreSQL не хватает ресурсов");
    return QStringLiteral("ошибка сервера PostgreSQL");
}

QString serverText(const char* text)
{
    return QString::fromUtf8(text ? text : "").trimmed();
}

} // namespace

PgResult::~PgResult()
{
    if (m_result)
        PQclear(m_result);
}

PgResult::PgResult(PgResult&& other) noexcept
    : m_result(std::exchange(other.m_result, nullptr))
{
}

PgResult& PgResult::operator=(PgResult&& other) noexcept
{
    if (this != &other) {
        if (m_result)
            PQclear(m_result);
        m_result = std::exchange(other.m_result, nullptr);
    }
    return *this;
}

int PgResult::rows() const
{
    return m_result ? PQntuples(m_result) : 0;
}

bool PgResult::isNull(int row, int column) const
{
    return PQgetisnull(m_result, row, column) != 0;
}

QByteArrayView PgResult::bytes(int row, int column) const
{
    return QByteArrayView(PQgetvalue(m_result, row, column), PQgetlength(m_result, row, column));
}

qint64 PgResult::integer(int row, int column) const
{
    return bytes(row, column).toLongLong();
}

std::optional<int> PgResult::optionalInt(int row, int column) const
{
    if (isNull(row, column))
        return std::nullopt;
    return bytes(row, column).toInt();
}

void PgConnection::checkConninfo(const QString& conninfo)
{
    char* error = nullptr;
    const QByteArray utf8 = conninfo.toUtf8();
    PQconninfoOption* options = PQconninfoParse(utf8.constData(), &error);
    // libpq's own words may quote the string, and with it a password: they are not passed on.
    if (error)
        PQfreemem(error);
    if (!options)
        throw HistoryError(QStringLiteral("строка подключения к PostgreSQL не разобрана; её вид — "
                                          "postgresql://сервер/база или host=сервер dbname=база"));
    bool password = false;
    for (const PQconninfoOption* option = options; option->keyword; ++option) {
        if (qstrcmp(option->keyword, "password") == 0 && option->val && *option->val)
            password = true;
    }
    PQconninfoFree(options);
    if (password)
        throw HistoryError(QStringLiteral(
            "строка подключения к PostgreSQL содержит пароль, а пароль в ней не принимается: запишите "
            "его в файл ~/.pgpass (или в файл, названный в PGPASSFILE) и уберите из строки"));
}

PgConnection::PgConnection(const QString& conninfo)
{
    checkConninfo(conninfo);
    const QByteArray utf8 = conninfo.toUtf8();
    const QByteArray timeout = QByteArray::number(kConnectTimeoutSeconds);
    // What the string gives comes after the program's defaults and wins over them.
    const char* keywords[]
        = { "connect_timeout", "fallback_application_name", "client_encoding", "dbname", nullptr };
    const char* values[] = { timeout.constData(), "kestrova-sertrix", "UTF8", utf8.constData(), nullptr };
    m_conn = PQconnectdbParams(keywords, values, 1);
    if (!m_conn)
        throw HistoryError(QStringLiteral("нет памяти для соединения с сервером PostgreSQL"));
    if (PQstatus(m_conn) != CONNECTION_OK) {
        const QString text = serverText(PQerrorMessage(m_conn));
        PQfinish(m_conn);
        m_conn = nullptr;
        throw HistoryError(QStringLiteral("нет связи с сервером PostgreSQL (%1)").arg(text));
    }
    // The texts are UTF-8 whatever the server's locale; a statement that hangs ends.
    exec("SET client_encoding = 'UTF8'; SET statement_timeout = " + QByteArray::number(kStatementTimeoutMs));
}

PgConnection::~PgConnection()
{
    if (m_conn)
        PQfinish(m_conn);
}

PgResult PgConnection::checked(pg_result* raw)
{
    PgResult result(raw);
    const ExecStatusType status = raw ? PQresultStatus(raw) : PGRES_FATAL_ERROR;
    if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK)
        return result;
    const char* state = raw ? PQresultErrorField(raw, PG_DIAG_SQLSTATE) : nullptr;
    const QString text = serverText(
        raw && PQresultErrorMessage(raw)[0] ? PQresultErrorMessage(raw) : PQerrorMessage(m_conn));
    // An error without a state is libpq's own: the connection broke.
    const QString reason = PQstatus(m_conn) == CONNECTION_BAD || !state
        ? QStringLiteral("нет связи с сервером PostgreSQL")
        : reasonOf(state);
    throw HistoryError(QStringLiteral("%1 (%2)").arg(reason, text));
}

void PgConnection::exec(const QByteArray& sql)
{
    checked(PQexec(m_conn, sql.constData()));
}

PgResult PgConnection::query(const QByteArray& sql, const QList<PgParam>& params)
{
    std::vector<const char*> values;
    values.reserve(std::size_t(params.size()));
    for (const PgParam& param : params)
        values.push_back(param ? param->constData() : nullptr);
    return checked(PQexecParams(
        m_conn, sql.constData(), int(values.size()), nullptr, values.data(), nullptr, nullptr, 0));
}

void PgConnection::copyOut(const QByteArray& sql, const std::function<void(QByteArrayView)>& row)
{
    PgResult started(PQexec(m_conn, sql.constData()));
    if (PQresultStatus(started.raw()) != PGRES_COPY_OUT) {
        checked(started.release());
        throw HistoryError(QStringLiteral("ошибка сервера PostgreSQL (COPY не начат)"));
    }
    for (;;) {
        char* buffer = nullptr;
        const int length = PQgetCopyData(m_conn, &buffer, 0);
        if (length < 0)
            break;
        const std::unique_ptr<char, decltype(&PQfreemem)> owned(buffer, &PQfreemem);
        row(QByteArrayView(buffer, length));
    }
    // The end of the rows, or why they ended early.
    for (pg_result* rest; (rest = PQgetResult(m_conn));)
        checked(rest);
}

QByteArray PgConnection::literal(const QByteArray& text)
{
    char* quoted = PQescapeLiteral(m_conn, text.constData(), std::size_t(text.size()));
    if (!quoted)
        throw HistoryError(
            QStringLiteral("ошибка сервера PostgreSQL (%1)").arg(serverText(PQerrorMessage(m_conn))));
    const QByteArray out(quoted);
    PQfreemem(quoted);
    return out;
}

PgTransaction::PgTransaction(PgConnection& connection, const char* begin)
    : m_connection(connection)
{
    m_connection.exec(begin);
}

PgTransaction::~PgTransaction()
{
    if (!m_open)
        return;
    try {
        m_connection.exec("ROLLBACK");
    } catch (const HistoryError&) {
        // A connection that is gone has rolled back already.
    }
}

void PgTransaction::commit()
{
    m_open = false;
    m_connection.exec("COMMIT");
}
