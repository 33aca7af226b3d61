#pragma once

#include <QByteArray>
#include <QString>

// Detached Ed25519 signatures of the update file (libsodium). The host serves the file and its
// signature; the program accepts the file only when the signature verifies with its public key.
namespace UpdateSignature {

constexpr int kPublicKeyBytes = 32;
constexpr int kSecretKeyBytes = 64;
constexpr int kSignatureBytes = 64;

// The key the releases are signed with.
QByteArray builtInPublicKey();

// False for a signature or key of the wrong size as well as for one that does not verify.
bool verify(const QByteArray& file, const QByteArray& signature, const QByteArray& publicKey);

struct KeyPair {
    QByteArray secretKey;
    QByteArray publicKey;
};
KeyPair generateKeyPair();
// Empty when the secret key has the wrong size.
QByteArray sign(const QByteArray& file, const QByteArray& secretKey);
QByteArray publicKeyOf(const QByteArray& secretKey);

// Key files hold the key as one line of hexadecimal digits. Returns an empty key and the reason
// when the file cannot be read or holds no key of that size.
QByteArray readKeyFile(const QString& path, int keyBytes, QString* reason);
bool writeKeyFile(const QString& path, const QByteArray& key, bool secret, QString* reason);

} // namespace UpdateSignature
