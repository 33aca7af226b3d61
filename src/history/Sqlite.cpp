#include "history/Sqlite.h"

#include "history/HistoryError.h"

#include <sqlite3.h>

namespace {

[[noreturn]] void fail(const SqliteConnection& connection)
{
    throw HistoryError(connection.lastError());
}

const char* reasonOf(int code)
{
    switch (code & 0xFF) {
    case SQLITE_FULL:
        return "диск заполнен";
    case SQLITE_IOERR:
        return "ошибка чтения или записи на диске";
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return "файл занят другой программой";
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return "файл повреждён или не является базой данных";
    case SQLITE_READONLY:
        return "файл открыт только для чтения";
    case SQLITE_CANTOPEN:
        return "файл не удаётся открыть";
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return "нет прав на файл";
    case SQLITE_NOMEM:
        return "не хватает памяти";
    default:
        return "ошибка базы данных";
    }
}

} // namespace

QString sqliteErrorText(int code, const QString& libraryText)
{
    return QString::fromUtf8(reasonOf(code)) + QStringLiteral(" (") + libraryText + u')';
}

SqliteConnection::SqliteConnection(const QString& path, Mode mode)
{
    open(path.toUtf8(),
        (mode == Mode::ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_NOFOLLOW);
}

std::unique_ptr<SqliteConnection> SqliteConnection::inMemory()
{
    std::unique_ptr<SqliteConnection> connection(new SqliteConnection);
    connection->open(":memory:", SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_MEMORY);
    return connection;
}

void SqliteConnection::open(const QByteArray& name, int flags)
{
    const int rc = sqlite3_open_v2(name.constData(), &m_db, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        const QString why = m_db ? lastError() : sqliteErrorText(rc, QString::fromUtf8(sqlite3_errstr(rc)));
        sqlite3_close(m_db);
        m_db = nullptr;
        throw HistoryError(why);
    }
    sqlite3_extended_result_codes(m_db, 1);
}

SqliteConnection::~SqliteConnection()
{
    sqlite3_close(m_db);
}

QString SqliteConnection::lastError() const
{
    return sqliteErrorText(sqlite3_extended_errcode(m_db), QString::fromUtf8(sqlite3_errmsg(m_db)));
}

void SqliteConnection::exec(const char* sql)
{
    char* message = nullptr;
    const int rc = sqlite3_exec(m_db, sql, nullptr, nullptr, &message);
    if (rc != SQLITE_OK) {
        const QString why = message ? sqliteErrorText(rc, QString::fromUtf8(message)) : lastError();
        sqlite3_free(message);
        throw HistoryError(why);
    }
}

void SqliteConnection::setBusyTimeout(int milliseconds)
{
    if (sqlite3_busy_timeout(m_db, milliseconds) != SQLITE_OK)
        fail(*this);
}

qint64 SqliteConnection::lastInsertId() const
{
    return sqlite3_last_insert_rowid(m_db);
}

SqliteStatement::SqliteStatement(SqliteConnection& connection, const char* sql)
    : m_connection(connection)
{
    if (sqlite3_prepare_v2(connection.handle(), sql, -1, &m_statement, nullptr) != SQLITE_OK)
        fail(m_connection);
}

SqliteStatement::~SqliteStatement()
{
    sqlite3_finalize(m_statement);
}

SqliteStatement& SqliteStatement::bind(int index, const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    if (sqlite3_bind_text(m_statement, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT)
        != SQLITE_OK)
        fail(m_connection);
    return *this;
}

SqliteStatement& SqliteStatement::bind(int index, qint64 value)
{
    if (sqlite3_bind_int64(m_statement, index, value) != SQLITE_OK)
        fail(m_connection);
    return *this;
}

SqliteStatement& SqliteStatement::bind(int index, std::optional<int> value)
{
    const int rc
        = value ? sqlite3_bind_int64(m_statement, index, *value) : sqlite3_bind_null(m_statement, index);
    if (rc != SQLITE_OK)
        fail(m_connection);
    return *this;
}

bool SqliteStatement::step()
{
    const int rc = sqlite3_step(m_statement);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    fail(m_connection);
}

void SqliteStatement::reset()
{
    sqlite3_reset(m_statement);
    sqlite3_clear_bindings(m_statement);
}

QString SqliteStatement::text(int column) const
{
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
    return QString::fromUtf8(bytes, sqlite3_column_bytes(m_statement, column));
}

QByteArrayView SqliteStatement::bytes(int column) const
{
    const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
    return QByteArrayView(data, sqlite3_column_bytes(m_statement, column));
}

qint64 SqliteStatement::integer(int column) const
{
    return sqlite3_column_int64(m_statement, column);
}

bool SqliteStatement::isNull(int column) const
{
    return sqlite3_column_type(m_statement, column) == SQLITE_NULL;
}

std::optional<int> SqliteStatement::optionalInt(int column) const
{
    if (sqlite3_column_type(m_statement, column) == SQLITE_NULL)
        return std::nullopt;
    return int(sqlite3_column_int64(m_statement, column));
}

SqliteTransaction::SqliteTransaction(SqliteConnection& connection)
    : m_connection(connection)
{
    m_connection.exec("BEGIN IMMEDIATE");
}

SqliteTransaction::~SqliteTransaction()
{
    if (m_open)
        sqlite3_exec(m_connection.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void SqliteTransaction::commit()
{
    m_connection.exec("COMMIT");
    m_open = false;
}

SqliteReadTransaction::SqliteReadTransaction(SqliteConnection& connection)
    : m_connection(connection)
{
    m_connection.exec("BEGIN");
}

SqliteReadTransaction::~SqliteReadTransaction()
{
    sqlite3_exec(m_connection.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}
