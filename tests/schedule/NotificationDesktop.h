#pragma once

#include <QJsonArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>

// A private session bus with a real notification server on it: dbus-daemon, an Xvfb display and
// dunst, stopped with the object. ready() is false when one of them is not installed.
class NotificationDesktop {
public:
    // busSocket: the bus listens there (unix:path=) instead of at an address of its own choice.
    explicit NotificationDesktop(const QString& busSocket = {});
    ~NotificationDesktop();

    bool ready() const { return !m_busAddress.isEmpty() && m_serverUp; }
    const QString& problem() const { return m_problem; }
    const QString& busAddress() const { return m_busAddress; }

    // The notices the server was given, oldest first: every one shown is closed first, since
    // dunstctl history holds closed notices only.
    QJsonArray notices();

private:
    bool startBus(const QString& socket);
    bool startDisplay();
    bool startServer();
    QByteArray dunstctl(const QStringList& arguments);

    QProcess m_bus;
    QProcess m_display;
    QProcess m_server;
    QString m_busAddress;
    QString m_displayName;
    QString m_problem;
    bool m_serverUp = false;
};
