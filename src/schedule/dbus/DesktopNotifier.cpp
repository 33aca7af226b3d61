#include "schedule/dbus/DesktopNotifier.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QVariantMap>

bool DesktopNotifier::send(const DesktopNotice& notice, QString* reason) const
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        if (reason)
            *reason = bus.lastError().message();
        return false;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("/org/freedesktop/Notifications"), QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("Notify"));
    call << QStringLiteral("Kestrova Sertrix") << uint(0) << QStringLiteral("kestrova-sertrix")
         << notice.summary << notice.body << QStringList() << QVariantMap() << int(-1);
    const QDBusMessage reply = bus.call(call, QDBus::Block, kTimeoutMs);
    if (reply.type() == QDBusMessage::ReplyMessage)
        return true;
    if (reason)
        *reason = reply.errorMessage();
    return false;
}
