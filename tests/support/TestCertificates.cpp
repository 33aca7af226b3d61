#include "support/TestCertificates.h"

#include <QFile>
#include <QProcess>
#include <stdexcept>

TestCertificates::TestCertificates()
{
    if (!m_dir.isValid())
        throw std::runtime_error("no temporary directory for the certificates");
    m_loopback = make(QStringLiteral("loopback"), QStringLiteral("IP:127.0.0.1"));
    m_otherName = make(QStringLiteral("other-name"), QStringLiteral("DNS:engines.elsewhere.example"));
    m_unknown = make(QStringLiteral("unknown"), QStringLiteral("IP:127.0.0.1"));
    m_trusted = m_dir.filePath(QStringLiteral("trusted.pem"));
    QFile trusted(m_trusted);
    QByteArray pem;
    for (const Pair* pair : { &m_loopback, &m_otherName }) {
        QFile file(pair->certificate);
        if (!file.open(QIODevice::ReadOnly))
            throw std::runtime_error("cannot read a test certificate");
        pem += file.readAll();
    }
    if (!trusted.open(QIODevice::WriteOnly) || trusted.write(pem) != pem.size())
        throw std::runtime_error("cannot write the trusted certificates");
}

TestCertificates::Pair TestCertificates::make(const QString& name, const QString& subjectAltName)
{
    Pair pair { m_dir.filePath(name + QStringLiteral(".pem")),
        m_dir.filePath(name + QStringLiteral(".key")) };
    QProcess openssl;
    openssl.setProcessChannelMode(QProcess::MergedChannels);
    openssl.start(QStringLiteral("openssl"),
        { "req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes", "-days", "2",
            "-subj", "/CN=" + name, "-addext", "subjectAltName=" + subjectAltName, "-addext",
            "basicConstraints=critical,CA:TRUE", "-keyout", pair.key, "-out", pair.certificate });
    if (!openssl.waitForFinished(30000) || openssl.exitStatus() != QProcess::NormalExit
        || openssl.exitCode() != 0)
        throw std::runtime_error("openssl could not make a certificate: " + openssl.readAll().toStdString());
    return pair;
}
