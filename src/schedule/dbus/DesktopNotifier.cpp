#include "schedule/dbus/DesktopNotifier.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDir>
#include <QFile>
#include <QVariantMap>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");

// A server that reads markup in the body would render a keyword's <b> or hide an <a>'s address:
// the body goes as text unless the server says it reads no markup.
bool serverReadsMarkup(QDBusConnection& bus)
{
    const QDBusMessage reply = bus.call(
        QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("GetCapabilities")),
        QDBus::Block, DesktopNotifier::kTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return true;
    return reply.arguments().constFirst().toStringList().contains(QStringLiteral("body-markup"));
}

// A D-Bus address value: bytes other than letters, digits and "-_/.\\*" as %XX.
QString addressValue(const QString& path)
{
    return QString::fromLatin1(QFile::encodeName(path).toPercentEncoding("/.\\*", "~"));
}

// The user's session bus. Under cron DBUS_SESSION_BUS_ADDRESS is not set, though the user's bus
// runs at its usual place, $XDG_RUNTIME_DIR/bus (or /run/user/UID/bus).
QDBusConnection userBus()
{
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        return QDBusConnection::sessionBus();
    QStringList places;
    if (const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR"); QDir::isAbsolutePath(runtime))
        places << runtime + QStringLiteral("/bus");
    places << QStringLiteral("/run/user/%1/bus").arg(::getuid());
    for (const QString& place : places) {
        struct stat info { };
        if (::stat(QFile::encodeName(place).constData(), &info) == 0 && S_ISSOCK(info.st_mode)
            && info.st_uid == ::getuid())
            return QDBusConnection::connectToBus(
                QStringLiteral("unix:path=") + addressValue(place), QStringLiteral("kestrova-user-bus"));
    }
    return QDBusConnection::sessionBus();
}

} // namespace

QString DesktopNotifier::markupEscaped(const QString& body)
{
    QString escaped;
    escaped.reserve(body.size());
    for (const QChar c : body) {
        if (c == u'&')
            escaped += QStringLiteral("&amp;");
        else if (c == u'<')
            escaped += QStringLiteral("&lt;");
        else if (c == u'>')
            escaped += QStringLiteral("&gt;");
        else
            escaped += c;
    }
    return escaped;
}

bool DesktopNotifier::send(const DesktopNotice& notice, QString* reason) const
{
    QDBusConnection bus = userBus();
    if (!bus.isConnected()) {
        if (reason)
            *reason = bus.lastError().message();
        return false;
    }
    const QString body = serverReadsMarkup(bus) ? markupEscaped(notice.body) : notice.body;
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("Notify"));
    call << QStringLiteral("Kestrova Sertrix") << uint(0) << QStringLiteral("kestrova-sertrix")
         << notice.summary << body << QStringList() << QVariantMap() << int(-1);
    const QDBusMessage reply = bus.call(call, QDBus::Block, kTimeoutMs);
    if (reply.type() == QDBusMessage::ReplyMessage)
        return true;
    if (reason)
        *reason = reply.errorMessage();
    return false;
}
