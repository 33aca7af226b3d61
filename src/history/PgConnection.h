#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <functional>
#include <optional>
#include <utility>

struct pg_conn;
struct pg_result;

// One libpq result; rows and columns are numbered from 0.
class PgResult {
public:
    explicit PgResult(pg_result* result = nullptr)
        : m_result(result)
    {
    }
    ~PgResult();
    PgResult(PgResult&& other) noexcept;
    PgResult& operator=(PgResult&& other) noexcept;
    PgResult(const PgResult&) = delete;
    PgResult& operator=(const PgResult&) = delete;

    int rows() const;
    pg_result* raw() const { return m_result; }
    pg_result* release() { return std::exchange(m_result, nullptr); }
    bool isNull(int row, int column) const;
    // The column's text as the server sent it (UTF-8), valid while the result lives.
    QByteArrayView bytes(int row, int column) const;
    QString text(int row, int column) const { return QString::fromUtf8(bytes(row, column)); }
    qint64 integer(int row, int column) const;
    std::optional<int> optionalInt(int row, int column) const;

private:
    pg_result* m_result = nullptr;
};

// A parameter of a statement: text, or SQL NULL.
using PgParam = std::optional<QByteArray>;

// A connection to a PostgreSQL server named by a libpq connection string. The string is refused
// when it holds a password (the libpq password file is the place for one); every failure throws
// HistoryError with the reason in the program's language and the server's text after it.
class PgConnection {
public:
    // How long a connection is tried and a statement may run, unless the string says otherwise.
    static constexpr int kConnectTimeoutSeconds = 10;
    static constexpr int kStatementTimeoutMs = 120000;

    explicit PgConnection(const QString& conninfo);
    ~PgConnection();
    PgConnection(const PgConnection&) = delete;
    PgConnection& operator=(const PgConnection&) = delete;

    // Throws HistoryError when the string cannot be read or holds a password.
    static void checkConninfo(const QString& conninfo);

    // Statements without parameters, several at once.
    void exec(const QByteArray& sql);
    PgResult query(const QByteArray& sql, const QList<PgParam>& params = {});
    // Runs "COPY (...) TO STDOUT" and hands on each row as the server wrote it.
    void copyOut(const QByteArray& sql, const std::function<void(QByteArrayView row)>& row);
    // The text as an SQL string literal, for the statements that take no parameters (COPY).
    QByteArray literal(const QByteArray& text);

private:
    PgResult checked(pg_result* result);

    pg_conn* m_conn = nullptr;
};

// A transaction that rolls back unless committed.
class PgTransaction {
public:
    explicit PgTransaction(PgConnection& connection, const char* begin = "BEGIN");
    ~PgTransaction();
    void commit();

private:
    PgConnection& m_connection;
    bool m_open = true;
};
