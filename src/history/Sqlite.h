#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <memory>
#include <optional>

struct sqlite3;
struct sqlite3_stmt;

// The reason of a SQLite error in the program's language, SQLite's own text after it:
// "диск заполнен (database or disk is full)".
QString sqliteErrorText(int code, const QString& libraryText);

// A connection to one SQLite file. Errors throw HistoryError with the reason in the program's
// language and SQLite's own text after it.
class SqliteConnection {
public:
    enum class Mode {
        ReadWrite,
        ReadOnly, // nothing written, not even the journal mode, whatever is asked
    };
    // Opens an existing file; never creates or replaces one, and never follows a symbolic link.
    explicit SqliteConnection(const QString& path, Mode mode = Mode::ReadWrite);
    // A new empty database in memory.
    static std::unique_ptr<SqliteConnection> inMemory();
    ~SqliteConnection();
    SqliteConnection(const SqliteConnection&) = delete;
    SqliteConnection& operator=(const SqliteConnection&) = delete;

    void exec(const char* sql);
    void setBusyTimeout(int milliseconds);
    qint64 lastInsertId() const;
    sqlite3* handle() const { return m_db; }
    QString lastError() const;

private:
    SqliteConnection() = default;
    void open(const QByteArray& name, int flags);

    sqlite3* m_db = nullptr;
};

class SqliteStatement {
public:
    SqliteStatement(SqliteConnection& connection, const char* sql);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    // Parameters are numbered from 1.
    SqliteStatement& bind(int index, const QString& text);
    SqliteStatement& bind(int index, qint64 value);
    SqliteStatement& bind(int index, std::optional<int> value);
    // True while a row is there to read.
    bool step();
    void reset();

    // Columns are numbered from 0.
    QString text(int column) const;
    // The column's UTF-8 bytes, valid until the next step.
    QByteArrayView bytes(int column) const;
    qint64 integer(int column) const;
    std::optional<int> optionalInt(int column) const;
    bool isNull(int column) const;

private:
    SqliteConnection& m_connection;
    sqlite3_stmt* m_statement = nullptr;
};

// A write transaction that takes the write lock at once (waiting up to the busy timeout) and
// rolls back unless committed.
class SqliteTransaction {
public:
    explicit SqliteTransaction(SqliteConnection& connection);
    ~SqliteTransaction();
    void commit();

private:
    SqliteConnection& m_connection;
    bool m_open = true;
};

// A read of several statements that sees one snapshot of the file.
class SqliteReadTransaction {
public:
    explicit SqliteReadTransaction(SqliteConnection& connection);
    ~SqliteReadTransaction();

private:
    SqliteConnection& m_connection;
};
