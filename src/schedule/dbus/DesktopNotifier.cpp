#include "schedule/dbus/DesktopNotifier.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QVariantMap>

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
    QDBusConnection bus = QDBusConnection::sessionBus();
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
