#include "TlsServer.h"

#include <QSslSocket>

void TlsServer::useTls(const QSslCertificate& certificate, const QSslKey& key)
{
    m_certificate = certificate;
    m_key = key;
}

void TlsServer::incomingConnection(qintptr descriptor)
{
    if (!tls()) {
        QTcpServer::incomingConnection(descriptor);
        return;
    }
    auto* socket = new QSslSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        return;
    }
    socket->setLocalCertificate(m_certificate);
    socket->setPrivateKey(m_key);
    socket->setPeerVerifyMode(QSslSocket::VerifyNone);
    addPendingConnection(socket);
    socket->startServerEncryption();
}
