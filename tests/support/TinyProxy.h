#pragma once

#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// The system's tinyproxy, started on a free loopback port with its own configuration and
// Basic authentication; stopped when the fixture is destroyed.
class TinyProxy {
public:
    // connectPorts: the ports CONNECT may reach (tinyproxy's ConnectPort); none given: every port.
    TinyProxy(const QString& user, const QString& password, const QList<quint16>& connectPorts = {});
    ~TinyProxy();
    TinyProxy(const TinyProxy&) = delete;
    TinyProxy& operator=(const TinyProxy&) = delete;

    static bool available();

    quint16 port() const { return m_port; }
    // tinyproxy's log; at the Info level it names every request line it receives.
    QByteArray log() const;

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    quint16 m_port = 0;
};
