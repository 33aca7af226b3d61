#pragma once

#include <QSslCertificate>
#include <QSslKey>
#include <QTcpServer>

// A listening port that speaks TLS once given a certificate, plain TCP before; the connections it
// hands out are QSslSocket objects whose reads and writes carry the plain text.
class TlsServer : public QTcpServer {
public:
    void useTls(const QSslCertificate& certificate, const QSslKey& key);
    bool tls() const { return !m_certificate.isNull(); }

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    QSslCertificate m_certificate;
    QSslKey m_key;
};
