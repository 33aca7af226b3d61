#include "NotificationDesktop.h"

#include "support/StopProcess.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QThread>

namespace {

constexpr int kStartMs = 20000;

// The first line a starting program prints, such as an address or a display number.
QString firstLine(QProcess& process)
{
    QDeadlineTimer deadline(kStartMs);
    while (!process.canReadLine() && !deadline.hasExpired()) {
        if (!process.waitForReadyRead(int(deadline.remainingTime())))
            break;
    }
    return QString::fromUtf8(process.readLine()).trimmed();
}

} // namespace

NotificationDesktop::NotificationDesktop(const QString& busSocket)
{
    for (const char* tool : { "dbus-daemon", "Xvfb", "dunst", "dunstctl" }) {
        if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty()) {
            m_problem = QStringLiteral("%1 is not installed").arg(QLatin1String(tool));
            return;
        }
    }
    if (startBus(busSocket) && startDisplay())
        m_serverUp = startServer();
}

NotificationDesktop::~NotificationDesktop()
{
    stopProcess(m_server);
    stopProcess(m_display);
    stopProcess(m_bus);
}

bool NotificationDesktop::startBus(const QString& socket)
{
    QStringList arguments { QStringLiteral("--session"), QStringLiteral("--nofork"),
        QStringLiteral("--print-address=1") };
    if (!socket.isEmpty())
        arguments << QStringLiteral("--address=unix:path=")
                + QString::fromLatin1(QFile::encodeName(socket).toPercentEncoding("/.\\*", "~"));
    m_bus.start(QStringLiteral("dbus-daemon"), arguments);
    m_busAddress = firstLine(m_bus);
    if (m_busAddress.isEmpty())
        m_problem = QStringLiteral("dbus-daemon gave no address");
    return !m_busAddress.isEmpty();
}

bool NotificationDesktop::startDisplay()
{
    m_display.start(QStringLiteral("Xvfb"),
        { QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-nolisten"),
            QStringLiteral("tcp"), QStringLiteral("-screen"), QStringLiteral("0"),
            QStringLiteral("800x600x24") });
    const QString number = firstLine(m_display);
    if (number.isEmpty()) {
        m_problem = QStringLiteral("Xvfb gave no display");
        return false;
    }
    m_displayName = u':' + number;
    return true;
}

bool NotificationDesktop::startServer()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), m_displayName);
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_busAddress);
    m_server.setProcessEnvironment(environment);
    m_server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_server.start(QStringLiteral("dunst"));
    m_server.waitForStarted(kStartMs);
    QDeadlineTimer deadline(kStartMs);
    while (!deadline.hasExpired() && m_server.state() == QProcess::Running) {
        if (dunstctl({ QStringLiteral("count") }).contains("History"))
            return true;
        QThread::msleep(50);
    }
    m_problem = QStringLiteral("dunst did not take the notification service");
    return false;
}

QByteArray NotificationDesktop::dunstctl(const QStringList& arguments)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_busAddress);
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral("dunstctl"), arguments);
    if (!process.waitForFinished(10000)) {
        process.kill();
        process.waitForFinished(5000);
        return {};
    }
    return process.exitCode() == 0 ? process.readAllStandardOutput() : QByteArray();
}

QJsonArray NotificationDesktop::notices()
{
    dunstctl({ QStringLiteral("close-all") });
    const QJsonArray history = QJsonDocument::fromJson(dunstctl({ QStringLiteral("history") }))
                                   .object()
                                   .value(QStringLiteral("data"))
                                   .toArray();
    QJsonArray notices;
    const QJsonArray newestFirst = history.isEmpty() ? QJsonArray() : history.first().toArray();
    for (qsizetype i = newestFirst.size() - 1; i >= 0; --i)
        notices.append(newestFirst[i]);
    return notices;
}
