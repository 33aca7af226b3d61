#pragma once

#include <QDBusMessage>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A D-Bus session bus of the test's own (dbus-daemon with its own configuration, no services to
// start), optionally with gnome-keyring-daemon serving the Secret Service on it, unlocked with a
// test password and keeping its keyrings in a temporary folder. Stopped when destroyed.
class SessionBus {
public:
    explicit SessionBus(bool withKeyring);
    ~SessionBus();
    SessionBus(const SessionBus&) = delete;
    SessionBus& operator=(const SessionBus&) = delete;

    QString address() const { return m_address; }

private:
    void startKeyring();

    QTemporaryDir m_dir; // a path without spaces, as a bus address asks
    QProcess m_bus;
    QProcess m_keyring;
    QString m_address;
};

// GLib and libsecret keep one bus connection a process, so a process has one bus for all its
// tests: with the keyring when the test filter names the "Keyring" suites only, without one
// otherwise. DBUS_SESSION_BUS_ADDRESS names it before any test runs, so that no test reaches the
// desktop's own keyring.
bool keyringProcess();

// A method of org.freedesktop.Secret.Service called on the bus at address; the reply or the error.
QDBusMessage callSecretService(const QString& address, const QString& method, const QVariantList& arguments);
