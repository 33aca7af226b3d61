#include "support/SandboxEngines.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>
#include <QTcpSocket>

namespace {

constexpr int kStartTimeoutMs = 10000;
constexpr int kExchangeTimeoutMs = 10000;

QString sandboxProgram()
{
    const QString configured = qEnvironmentVariable("KS_SANDBOX");
    if (!configured.isEmpty())
        return configured;
    return QCoreApplication::applicationDirPath() + QStringLiteral("/../tools/sandbox/ks-sandbox");
}

} // namespace

SandboxEngines::SandboxEngines(int requestIntervalMs)
{
    start(requestIntervalMs, {});
}

SandboxEngines::SandboxEngines(
    int requestIntervalMs, const QString& certificate, const QString& key, const QString& caFile)
{
    start(requestIntervalMs,
        { QStringLiteral("--tls-cert"), certificate, QStringLiteral("--tls-key"), key,
            QStringLiteral("--tls-ca"), caFile });
}

SandboxEngines::SandboxEngines(int requestIntervalMs, const QStringList& moreArguments)
{
    start(requestIntervalMs, moreArguments);
}

void SandboxEngines::start(int requestIntervalMs, const QStringList& moreArguments)
{
    if (!m_dir.isValid())
        return;
    const QString file = endpointsFile();
    m_process.setProgram(sandboxProgram());
    m_process.setArguments(
        QStringList { QStringLiteral("--endpoints-out"), file, QStringLiteral("--interval-ms"),
            QString::number(requestIntervalMs), QStringLiteral("--exit-on-stdin-close") }
        + moreArguments);
    m_process.setWorkingDirectory(m_dir.path());
    m_process.setProcessChannelMode(QProcess::ForwardedChannels);
    m_process.start();
    if (!m_process.waitForStarted(kStartTimeoutMs)) {
        qWarning("sandbox engines: cannot start %s", qPrintable(m_process.program()));
        return;
    }
    // The file appears by a rename once every port listens, so its presence means it is complete.
    const QDeadlineTimer deadline(kStartTimeoutMs);
    while (!QFile::exists(file)) {
        if (deadline.hasExpired() || m_process.waitForFinished(10)) {
            qWarning("sandbox engines: no endpoints file");
            return;
        }
    }
    QSettings ini(file, QSettings::IniFormat);
    ini.beginGroup(QStringLiteral("hosts"));
    for (const QString& key : ini.childKeys())
        m_hosts.insert(key, ini.value(key).toString());
    ini.endGroup();
    m_controlHost = ini.value(QStringLiteral("sandbox/Control")).toString();
}

SandboxEngines::~SandboxEngines()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

bool SandboxEngines::started() const
{
    return !m_controlHost.isEmpty() && m_process.state() == QProcess::Running;
}

QString SandboxEngines::endpointsFile() const
{
    return m_dir.filePath(QStringLiteral("endpoints.ini"));
}

QString SandboxEngines::host(const QString& service) const
{
    return m_hosts.value(service);
}

bool SandboxEngines::command(const QByteArray& lines)
{
    int status = 0;
    const QByteArray reply = exchange("POST", "/control", lines, &status);
    if (status != 200)
        qWarning("sandbox engines refused a command (%d): %s", status, reply.constData());
    return status == 200;
}

QList<SandboxEngines::Request> SandboxEngines::requests(const QString& service) const
{
    int status = 0;
    const QByteArray log = exchange("GET", "/log", {}, &status);
    QList<Request> found;
    for (const QByteArray& line : log.split('\n')) {
        if (line.isEmpty())
            continue;
        const QJsonObject object = QJsonDocument::fromJson(line).object();
        Request request;
        request.service = object.value(QStringLiteral("service")).toString();
        if (!service.isEmpty() && request.service != service)
            continue;
        request.method = object.value(QStringLiteral("method")).toString().toLatin1();
        request.target = QByteArray::fromBase64(object.value(QStringLiteral("target")).toString().toLatin1());
        request.head = QByteArray::fromBase64(object.value(QStringLiteral("head")).toString().toLatin1());
        request.body = QByteArray::fromBase64(object.value(QStringLiteral("body")).toString().toLatin1());
        request.connection = object.value(QStringLiteral("connection")).toInt();
        found.append(request);
    }
    return found;
}

void SandboxEngines::clearRequests()
{
    command("clearlog");
}

// One blocking request to the control port; the reply body, with its status in *status (0 when
// the exchange failed).
QByteArray SandboxEngines::exchange(
    const QByteArray& method, const QByteArray& path, const QByteArray& body, int* status) const
{
    *status = 0;
    const qsizetype colon = m_controlHost.lastIndexOf(QLatin1Char(':'));
    if (colon < 0)
        return {};
    QTcpSocket socket;
    socket.connectToHost(m_controlHost.left(colon), m_controlHost.mid(colon + 1).toUShort());
    if (!socket.waitForConnected(kExchangeTimeoutMs))
        return {};
    socket.write(method + ' ' + path + " HTTP/1.1\r\nHost: " + m_controlHost.toLatin1()
        + "\r\nConnection: close\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body);
    QByteArray reply;
    while (socket.state() == QAbstractSocket::ConnectedState && socket.waitForReadyRead(kExchangeTimeoutMs))
        reply += socket.readAll();
    reply += socket.readAll();
    const qsizetype headEnd = reply.indexOf("\r\n\r\n");
    if (!reply.startsWith("HTTP/1.1 ") || headEnd < 0)
        return {};
    *status = reply.mid(9, 3).toInt();
    return reply.mid(headEnd + 4);
}
