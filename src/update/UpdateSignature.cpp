#include "update/UpdateSignature.h"

#include "platform/SafeFile.h"

#include <QFile>
#include <algorithm>
#include <cctype>
#include <sodium.h>
#include <stdexcept>

namespace UpdateSignature {

namespace {

// Generated with ks-sign keygen; the secret half is kept away from the sources.
constexpr char kBuiltInPublicKey[] = "3202dd57a696bc541e0ddfe511e57def28f89d5c02e7e16cc1de8b913f1e198e";

// A key file is a line of hex digits; anything longer is not a key file.
constexpr qint64 kMaxKeyFileBytes = 1024;

void ensureSodium()
{
    if (sodium_init() < 0)
        throw std::runtime_error("libsodium cannot be initialised");
}

} // namespace

QByteArray builtInPublicKey()
{
    return QByteArray::fromHex(kBuiltInPublicKey);
}

bool verify(const QByteArray& file, const QByteArray& signature, const QByteArray& publicKey)
{
    if (signature.size() != kSignatureBytes || publicKey.size() != kPublicKeyBytes)
        return false;
    ensureSodium();
    return crypto_sign_verify_detached(reinterpret_cast<const unsigned char*>(signature.constData()),
               reinterpret_cast<const unsigned char*>(file.constData()), quint64(file.size()),
               reinterpret_cast<const unsigned char*>(publicKey.constData()))
        == 0;
}

KeyPair generateKeyPair()
{
    ensureSodium();
    KeyPair pair;
    pair.secretKey.resize(kSecretKeyBytes);
    pair.publicKey.resize(kPublicKeyBytes);
    crypto_sign_keypair(reinterpret_cast<unsigned char*>(pair.publicKey.data()),
        reinterpret_cast<unsigned char*>(pair.secretKey.data()));
    return pair;
}

QByteArray sign(const QByteArray& file, const QByteArray& secretKey)
{
    if (secretKey.size() != kSecretKeyBytes)
        return {};
    ensureSodium();
    QByteArray signature(kSignatureBytes, '\0');
    crypto_sign_detached(reinterpret_cast<unsigned char*>(signature.data()), nullptr,
        reinterpret_cast<const unsigned char*>(file.constData()), quint64(file.size()),
        reinterpret_cast<const unsigned char*>(secretKey.constData()));
    return signature;
}

QByteArray publicKeyOf(const QByteArray& secretKey)
{
    if (secretKey.size() != kSecretKeyBytes)
        return {};
    ensureSodium();
    QByteArray publicKey(kPublicKeyBytes, '\0');
    crypto_sign_ed25519_sk_to_pk(reinterpret_cast<unsigned char*>(publicKey.data()),
        reinterpret_cast<const unsigned char*>(secretKey.constData()));
    return publicKey;
}

QByteArray readKeyFile(const QString& path, int keyBytes, QString* reason)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *reason = file.errorString();
        return {};
    }
    const QByteArray text = file.read(kMaxKeyFileBytes + 1).trimmed();
    const bool hexOnly = !text.isEmpty()
        && std::all_of(text.begin(), text.end(), [](char c) { return std::isxdigit(uchar(c)); });
    if (!hexOnly || text.size() != 2 * keyBytes) {
        *reason = QStringLiteral("not a key of %1 bytes written as %2 hexadecimal digits")
                      .arg(keyBytes)
                      .arg(2 * keyBytes);
        return {};
    }
    return QByteArray::fromHex(text);
}

bool writeKeyFile(const QString& path, const QByteArray& key, bool secret, QString* reason)
{
    return SafeFile::replace(path, key.toHex() + '\n', reason, secret);
}

} // namespace UpdateSignature
