// ks-sign: the keys and signatures of the files the update host serves (the update file, the
// engine definitions engines.ini); any file is signed as it is, byte for byte.
//   ks-sign keygen SECRET PUBLIC   a new Ed25519 key pair; SECRET readable by its owner only
//   ks-sign sign SECRET FILE       writes the detached signature FILE.sig
//   ks-sign verify PUBLIC FILE     checks FILE against FILE.sig; exit code 0 when it verifies
// Keys are written as one line of hexadecimal digits; PUBLIC is also the form of the PublicKey
// entry of the endpoints file.

#include "platform/SafeFile.h"
#include "update/UpdateSignature.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <cstdio>

namespace {

constexpr int kBadUsage = 2;
constexpr int kFailed = 1;

int usage()
{
    std::fputs("usage: ks-sign keygen SECRET PUBLIC\n"
               "       ks-sign sign SECRET FILE\n"
               "       ks-sign verify PUBLIC FILE\n",
        stderr);
    return kBadUsage;
}

int fail(const QString& text)
{
    std::fprintf(stderr, "ks-sign: %s\n", qPrintable(text));
    return kFailed;
}

bool readWhole(const QString& path, QByteArray* bytes, QString* reason)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *reason = file.errorString();
        return false;
    }
    *bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        *reason = file.errorString();
        return false;
    }
    return true;
}

int keygen(const QString& secretPath, const QString& publicPath)
{
    if (QFileInfo::exists(secretPath))
        return fail(QStringLiteral("%1 exists; a secret key is never overwritten").arg(secretPath));
    const UpdateSignature::KeyPair pair = UpdateSignature::generateKeyPair();
    QString reason;
    if (!UpdateSignature::writeKeyFile(secretPath, pair.secretKey, true, &reason))
        return fail(QStringLiteral("cannot write %1: %2").arg(secretPath, reason));
    if (!UpdateSignature::writeKeyFile(publicPath, pair.publicKey, false, &reason))
        return fail(QStringLiteral("cannot write %1: %2").arg(publicPath, reason));
    std::printf("%s\n", pair.publicKey.toHex().constData());
    return 0;
}

int sign(const QString& secretPath, const QString& filePath)
{
    QString reason;
    const QByteArray secretKey
        = UpdateSignature::readKeyFile(secretPath, UpdateSignature::kSecretKeyBytes, &reason);
    if (secretKey.isEmpty())
        return fail(QStringLiteral("%1: %2").arg(secretPath, reason));
    QByteArray file;
    if (!readWhole(filePath, &file, &reason))
        return fail(QStringLiteral("cannot read %1: %2").arg(filePath, reason));
    const QString signaturePath = filePath + QStringLiteral(".sig");
    if (!SafeFile::replace(signaturePath, UpdateSignature::sign(file, secretKey), &reason))
        return fail(QStringLiteral("cannot write %1: %2").arg(signaturePath, reason));
    return 0;
}

int verify(const QString& publicPath, const QString& filePath)
{
    QString reason;
    const QByteArray publicKey
        = UpdateSignature::readKeyFile(publicPath, UpdateSignature::kPublicKeyBytes, &reason);
    if (publicKey.isEmpty())
        return fail(QStringLiteral("%1: %2").arg(publicPath, reason));
    QByteArray file;
    QByteArray signature;
    if (!readWhole(filePath, &file, &reason))
        return fail(QStringLiteral("cannot read %1: %2").arg(filePath, reason));
    const QString signaturePath = filePath + QStringLiteral(".sig");
    if (!readWhole(signaturePath, &signature, &reason))
        return fail(QStringLiteral("cannot read %1: %2").arg(signaturePath, reason));
    if (!UpdateSignature::verify(file, signature, publicKey))
        return fail(QStringLiteral("%1: the signature does not verify").arg(filePath));
    std::printf("%s: signature verified\n", qPrintable(filePath));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() != 3)
        return usage();
    const QString& command = args[0];
    if (command == QLatin1String("keygen"))
        return keygen(args[1], args[2]);
    if (command == QLatin1String("sign"))
        return sign(args[1], args[2]);
    if (command == QLatin1String("verify"))
        return verify(args[1], args[2]);
    return usage();
}
