#include "update/DefinitionsSources.h"
#include "update/UpdateSignature.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QString dataFile(const QString& name)
{
    return qEnvironmentVariable("KS_SOURCE_DIR") + QStringLiteral("/tests/data/update/") + name;
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST(UpdateSignature, VerifiesOnlyTheSignedBytesWithTheMatchingKey)
{
    const auto pair = UpdateSignature::generateKeyPair();
    const QByteArray file = "new program";
    const QByteArray signature = UpdateSignature::sign(file, pair.secretKey);
    EXPECT_TRUE(UpdateSignature::verify(file, signature, pair.publicKey));
    EXPECT_EQ(UpdateSignature::publicKeyOf(pair.secretKey), pair.publicKey);

    EXPECT_FALSE(UpdateSignature::verify(file + ' ', signature, pair.publicKey));
    EXPECT_FALSE(UpdateSignature::verify(file, signature, UpdateSignature::generateKeyPair().publicKey));
    EXPECT_FALSE(UpdateSignature::verify(file, signature.left(63), pair.publicKey));
    EXPECT_FALSE(UpdateSignature::verify(file, signature + '\0', pair.publicKey));
    EXPECT_FALSE(UpdateSignature::verify(file, QByteArray(), pair.publicKey));
    EXPECT_FALSE(UpdateSignature::verify(file, signature, pair.publicKey.left(31)));
}

TEST(UpdateSignature, BuiltInKeyIsAKey)
{
    EXPECT_EQ(UpdateSignature::builtInPublicKey().size(), UpdateSignature::kPublicKeyBytes);
}

TEST(UpdateSignature, TestKeysOfTheRepositoryFitTogether)
{
    QString reason;
    const QByteArray secretKey
        = UpdateSignature::readKeyFile(dataFile("test.key"), UpdateSignature::kSecretKeyBytes, &reason);
    ASSERT_FALSE(secretKey.isEmpty()) << reason.toStdString();
    const QByteArray publicKey
        = UpdateSignature::readKeyFile(dataFile("test.pub"), UpdateSignature::kPublicKeyBytes, &reason);
    EXPECT_EQ(UpdateSignature::publicKeyOf(secretKey), publicKey);
    EXPECT_NE(publicKey, UpdateSignature::builtInPublicKey());
}

TEST(UpdateSignature, KeyFilesThatHoldNoKeyAreRefused)
{
    QTemporaryDir dir;
    const auto write = [&dir](const QByteArray& content) {
        const QString path = dir.filePath(QStringLiteral("key"));
        QFile file(path);
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(content);
        return path;
    };
    const QByteArray hex = QByteArray(64, 'a');
    for (const QByteArray& content :
        { hex.left(63), hex + "a", hex.left(62) + "zz", QByteArray(), QByteArray(4000, 'a') }) {
        QString reason;
        EXPECT_TRUE(UpdateSignature::readKeyFile(write(content), 32, &reason).isEmpty());
        EXPECT_FALSE(reason.isEmpty());
    }
    QString reason;
    EXPECT_EQ(
        UpdateSignature::readKeyFile(write("  " + hex + "\r\n"), 32, &reason), QByteArray::fromHex(hex));
    EXPECT_TRUE(UpdateSignature::readKeyFile(dir.filePath(QStringLiteral("none")), 32, &reason).isEmpty());
}

class KsSignTool : public ::testing::Test {
protected:
    int run(const QStringList& args, QByteArray* out = nullptr)
    {
        QProcess process;
        process.start(qEnvironmentVariable("KS_SIGN_BIN"), args);
        process.waitForFinished(30000);
        if (out)
            *out = process.readAllStandardOutput();
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }
    QString path(const QString& name) const { return dir.filePath(name); }

    QTemporaryDir dir;
};

TEST_F(KsSignTool, KeygenSignVerify)
{
    QByteArray printed;
    ASSERT_EQ(run({ "keygen", path("s.key"), path("s.pub") }, &printed), 0);
    EXPECT_EQ(printed.trimmed(), readAll(path("s.pub")).trimmed());
    EXPECT_EQ(QFile::permissions(path("s.key")) & (QFile::ReadGroup | QFile::ReadOther), 0);
    // A secret key is never overwritten.
    EXPECT_EQ(run({ "keygen", path("s.key"), path("other.pub") }), 1);

    QFile update(path("zlt upd"));
    ASSERT_TRUE(update.open(QIODevice::WriteOnly));
    update.write("new program");
    update.close();
    ASSERT_EQ(run({ "sign", path("s.key"), path("zlt upd") }), 0);
    EXPECT_EQ(readAll(path("zlt upd.sig")).size(), UpdateSignature::kSignatureBytes);
    EXPECT_EQ(run({ "verify", path("s.pub"), path("zlt upd") }), 0);
    EXPECT_EQ(run({ "verify", dataFile("test.pub"), path("zlt upd") }), 1);

    ASSERT_TRUE(update.open(QIODevice::Append));
    update.write("!");
    update.close();
    EXPECT_EQ(run({ "verify", path("s.pub"), path("zlt upd") }), 1);
    EXPECT_EQ(run({ "sign", path("s.pub"), path("zlt upd") }), 1); // a public key cannot sign
    EXPECT_EQ(run({ "sign" }), 2);
}

TEST_F(KsSignTool, SignsEngineDefinitionsThatTheProgramThenAccepts)
{
    ASSERT_EQ(run({ "keygen", path("s.key"), path("s.pub") }), 0);
    const DefinitionsFiles files = DefinitionsFiles::in(path("settings"), dir.path());
    QFile definitions(files.downloadedFile);
    ASSERT_TRUE(definitions.open(QIODevice::WriteOnly));
    definitions.write("[definitions]\nVersion=9999.4\n");
    definitions.close();
    ASSERT_EQ(run({ "sign", path("s.key"), files.downloadedFile }), 0);
    EXPECT_TRUE(QFile::exists(path("engines.ini.sig")));

    QString reason;
    const QByteArray publicKey
        = UpdateSignature::readKeyFile(path("s.pub"), UpdateSignature::kPublicKeyBytes, &reason);
    const auto accepted = DefinitionsSources::verifiedDownload(files, publicKey, &reason);
    ASSERT_TRUE(accepted) << reason.toStdString();
    EXPECT_EQ(accepted->version, QStringLiteral("9999.4"));
    EXPECT_EQ(run({ "verify", path("s.pub"), files.downloadedFile }), 0);
}
