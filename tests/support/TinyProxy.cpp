#include "support/TinyProxy.h"
#include "support/LoopbackPort.h"

#include <QFile>
#include <QThread>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace {

const char* const kBinary = "/usr/bin/tinyproxy";

sockaddr_in loopback(quint16 port)
{
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    return address;
}

bool accepts(quint16 port)
{
    const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
    const sockaddr_in address = loopback(port);
    const bool connected
        = socket >= 0 && ::connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    if (socket >= 0)
        ::close(socket);
    return connected;
}

} // namespace

bool TinyProxy::available()
{
    return QFile::exists(kBinary);
}

TinyProxy::TinyProxy(const QString& user, const QString& password, const QList<quint16>& connectPorts)
{
    if (!m_dir.isValid())
        throw std::runtime_error("no temporary directory for tinyproxy");
    m_port = freeLoopbackPort();
    const QString configPath = m_dir.filePath("tinyproxy.conf");
    QFile config(configPath);
    if (!config.open(QIODevice::WriteOnly))
        throw std::runtime_error("cannot write the tinyproxy configuration");
    config.write(QStringLiteral("Port %1\n"
                                "Listen 127.0.0.1\n"
                                "Allow 127.0.0.1\n"
                                "BasicAuth %2 %3\n"
                                "Timeout 60\n"
                                "MaxClients 20\n"
                                "LogFile \"%4\"\n"
                                "LogLevel Info\n"
                                "DisableViaHeader Yes\n")
                     .arg(m_port)
                     .arg(user, password, m_dir.filePath("tinyproxy.log"))
                     .toUtf8());
    for (quint16 port : connectPorts)
        config.write("ConnectPort " + QByteArray::number(port) + "\n");
    config.close();

    m_process.setProgram(kBinary);
    m_process.setArguments({ "-d", "-c", configPath });
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.start();
    if (!m_process.waitForStarted(5000))
        throw std::runtime_error("tinyproxy did not start");
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (accepts(m_port))
            return;
        if (m_process.state() != QProcess::Running)
            break;
        QThread::msleep(50);
    }
    const QByteArray output = m_process.readAll();
    m_process.kill();
    m_process.waitForFinished(2000);
    throw std::runtime_error("tinyproxy does not accept connections: " + output.toStdString());
}

TinyProxy::~TinyProxy()
{
    m_process.terminate();
    if (!m_process.waitForFinished(2000)) {
        m_process.kill();
        m_process.waitForFinished(2000);
    }
}

QByteArray TinyProxy::log() const
{
    QFile file(m_dir.filePath("tinyproxy.log"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
