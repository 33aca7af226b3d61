#pragma once

#include <QString>
#include <QTemporaryDir>

// Certificates made for one test run by the openssl command, in a temporary folder removed with
// the object; no key outside it. Each is self-signed, so it is its own authority.
class TestCertificates {
public:
    struct Pair {
        QString certificate; // PEM file
        QString key; // PEM file
    };

    TestCertificates();

    // A certificate for 127.0.0.1 (the sandbox's address).
    const Pair& loopback() const { return m_loopback; }
    // A certificate for another name, trusted like the loopback one.
    const Pair& otherName() const { return m_otherName; }
    // A second certificate for 127.0.0.1 that no CA file names.
    const Pair& unknownAuthority() const { return m_unknown; }
    // One PEM file with the loopback and other-name certificates: the [tls] CaFile of the tests.
    QString trustedFile() const { return m_trusted; }

private:
    Pair make(const QString& name, const QString& subjectAltName);

    QTemporaryDir m_dir;
    Pair m_loopback;
    Pair m_otherName;
    Pair m_unknown;
    QString m_trusted;
};
