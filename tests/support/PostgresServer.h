#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// Debian's PostgreSQL 15, made by initdb in a temporary folder and started on a Unix socket in it
// and a free loopback port; stopped and removed with the fixture. Run as root, the server runs as
// the unprivileged user "nobody" (PostgreSQL refuses root). The superuser "admin" may connect
// over the socket without a password; TCP connections on 127.0.0.1 need a role's password.
class PostgresServer {
public:
    PostgresServer();
    ~PostgresServer();
    PostgresServer(const PostgresServer&) = delete;
    PostgresServer& operator=(const PostgresServer&) = delete;

    // The server of the test binary, started by its first use and stopped at exit.
    static PostgresServer& shared();

    quint16 port() const { return m_port; }
    QString socketDir() const { return m_dir.path(); }
    // key=value words over the socket for the database and the user.
    QString conninfo(const QString& database, const QString& user = QStringLiteral("admin")) const;
    // The same over TCP on 127.0.0.1: a password is needed (from .pgpass or PGPASSFILE).
    QString tcpConninfo(const QString& database, const QString& user) const;

    // A new empty database owned by the superuser; its name.
    QString createDatabase();
    // Statements run by the superuser in the database; throws with the server's message.
    void run(const QString& database, const QString& sql) const;
    // The first column of the first row, as text.
    QString value(const QString& database, const QString& sql) const;

    // Ends the server at once, as a crash or a pulled cable would, and starts it again.
    void stopAtOnce();
    void start();

private:
    QStringList asServerUser(const QString& program, const QStringList& arguments) const;
    void startServer();
    void runOrThrow(const QString& program, const QStringList& arguments) const;

    QTemporaryDir m_dir;
    quint16 m_port = 0;
    int m_databases = 0;
};
