#include "support/PostgresServer.h"
#include "support/LoopbackPort.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <arpa/inet.h>
#include <libpq-fe.h>
#include <memory>
#include <netinet/in.h>
#include <pwd.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace {

const QString kBin = QStringLiteral("/usr/lib/postgresql/15/bin/");
const char* const kServerUser = "nobody";

struct Connection {
    PGconn* conn;
    ~Connection() { PQfinish(conn); }
};

} // namespace

PostgresServer::PostgresServer()
    : m_dir(QDir::tempPath() + QStringLiteral("/ks-postgres-XXXXXX"))
{
    if (!m_dir.isValid())
        throw std::runtime_error("no temporary directory for PostgreSQL");
    if (::geteuid() == 0) {
        const passwd* user = ::getpwnam(kServerUser);
        if (!user || ::chown(QFile::encodeName(m_dir.path()).constData(), user->pw_uid, user->pw_gid) != 0)
            throw std::runtime_error("cannot give the PostgreSQL folder to nobody");
    }
    QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    m_port = freeLoopbackPort();
    runOrThrow(kBin + "initdb",
        { "-D", m_dir.filePath("data"), "-U", "admin", "-E", "UTF8", "--no-locale", "--auth-local=trust",
            "--auth-host=scram-sha-256", "--no-sync" });
    start();
}

PostgresServer::~PostgresServer()
{
    QProcess stop;
    const QStringList command
        = asServerUser(kBin + "pg_ctl", { "-D", m_dir.filePath("data"), "-m", "immediate", "-w", "stop" });
    stop.start(command.first(), command.mid(1));
    stop.waitForFinished(30000);
}

PostgresServer& PostgresServer::shared()
{
    static PostgresServer server;
    return server;
}

QStringList PostgresServer::asServerUser(const QString& program, const QStringList& arguments) const
{
    if (::geteuid() != 0)
        return QStringList { program } + arguments;
    return QStringList { "runuser", "-u", kServerUser, "--", program } + arguments;
}

void PostgresServer::runOrThrow(const QString& program, const QStringList& arguments) const
{
    const QStringList command = asServerUser(program, arguments);
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setWorkingDirectory(m_dir.path());
    process.start(command.first(), command.mid(1));
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0)
        throw std::runtime_error(
            (program + " failed: " + QString::fromLocal8Bit(process.readAll())).toStdString());
}

void PostgresServer::start()
{
    try {
        startServer();
    } catch (const std::runtime_error& e) {
        QFile log(m_dir.filePath("data/server.log"));
        log.open(QIODevice::ReadOnly);
        throw std::runtime_error(e.what() + std::string("\n") + log.readAll().toStdString());
    }
}

void PostgresServer::startServer()
{
    runOrThrow(kBin + "pg_ctl",
        { "-D", m_dir.filePath("data"), "-l", m_dir.filePath("data/server.log"), "-w", "-o",
            QStringLiteral("-c listen_addresses=127.0.0.1 -p %1 -k %2 -c fsync=off -c full_page_writes=off "
                           "-c max_connections=200")
                .arg(m_port)
                .arg(m_dir.path()),
            "start" });
}

void PostgresServer::stopAtOnce()
{
    runOrThrow(kBin + "pg_ctl", { "-D", m_dir.filePath("data"), "-m", "immediate", "-w", "stop" });
}

QString PostgresServer::conninfo(const QString& database, const QString& user) const
{
    return QStringLiteral("host=%1 port=%2 dbname=%3 user=%4")
        .arg(m_dir.path())
        .arg(m_port)
        .arg(database, user);
}

QString PostgresServer::tcpConninfo(const QString& database, const QString& user) const
{
    return QStringLiteral("host=127.0.0.1 port=%1 dbname=%2 user=%3").arg(m_port).arg(database, user);
}

QString PostgresServer::createDatabase()
{
    const QString name = QStringLiteral("history_%1").arg(++m_databases);
    run(QStringLiteral("postgres"), QStringLiteral("CREATE DATABASE %1").arg(name));
    return name;
}

void PostgresServer::run(const QString& database, const QString& sql) const
{
    value(database, sql);
}

QString PostgresServer::value(const QString& database, const QString& sql) const
{
    Connection connection { PQconnectdb(conninfo(database).toUtf8().constData()) };
    if (PQstatus(connection.conn) != CONNECTION_OK)
        throw std::runtime_error(std::string("cannot connect: ") + PQerrorMessage(connection.conn));
    std::unique_ptr<PGresult, void (*)(PGresult*)> result(
        PQexec(connection.conn, sql.toUtf8().constData()), PQclear);
    const ExecStatusType status = PQresultStatus(result.get());
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        throw std::runtime_error(std::string("SQL failed: ") + PQerrorMessage(connection.conn));
    if (status != PGRES_TUPLES_OK || PQntuples(result.get()) == 0)
        return {};
    return QString::fromUtf8(PQgetvalue(result.get(), 0, 0));
}
