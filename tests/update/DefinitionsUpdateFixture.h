#pragma once

#include "net/Endpoints.h"
#include "net/HttpClient.h"
#include "support/SandboxEngines.h"
#include "update/DefinitionsSources.h"
#include "update/DefinitionsUpdate.h"
#include "update/UpdateSignature.h"
#include "update/UpdateSource.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

// The update host of the sandbox publishing engine definitions, and the data folder they go to.

const QDate kToday(2026, 12, 7);

inline QByteArray definitionsFile(const QByteArray& version, const QByteArray& more = {})
{
    return "[definitions]\nVersion=" + version + "\n\n[MSNCom]\nPageSize=10\n" + more;
}

inline QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The published bytes, then their signature on a last line of its own.
inline QByteArray signedFile(const QByteArray& content, const QByteArray& signature)
{
    return content + "\n; signature: " + signature.toBase64() + "\n";
}

inline int modeOf(const QString& path)
{
    struct stat status { };
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? int(status.st_mode & 07777) : -1;
}

inline QStringList methodsAndTargets(const QList<SandboxEngines::Request>& requests)
{
    QStringList lines;
    for (const auto& request : requests)
        lines << QString::fromLatin1(request.method + ' ' + request.target);
    return lines;
}

class DefinitionsUpdateTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sandbox.started());
        ASSERT_TRUE(folder.isValid());
        source = UpdateSource::fromEndpoints(Endpoints::fromFile(sandbox.endpointsFile()));
        files = DefinitionsFiles::in(
            folder.filePath(QStringLiteral("settings")), folder.filePath(QStringLiteral("data")));
    }

    bool publish(const QByteArray& file) { return sandbox.command("definitions\n" + file); }

    DefinitionsUpdate::Outcome run(bool automatic = false, const QDate& today = kToday)
    {
        return DefinitionsUpdate(client, files, source).run(automatic, today);
    }

    QString versionInUse() { return DefinitionsUpdate(client, files, source).versionInUse(); }

    void expectInstalled(const QByteArray& version, const QByteArray& file)
    {
        SCOPED_TRACE(version.constData());
        const DefinitionsUpdate::Outcome outcome = run();
        EXPECT_EQ(outcome.result, DefinitionsUpdate::Result::Installed) << outcome.reason.toStdString();
        EXPECT_EQ(outcome.version, QString::fromLatin1(version));
        EXPECT_EQ(DefinitionsUpdate::menuLine(outcome),
            QStringLiteral("Описания поисковых систем обновлены (версия %1).")
                .arg(QString::fromLatin1(version)));
        expectSigned(files.downloadedFile, file);
        EXPECT_FALSE(QFile::exists(files.downloadedSignature));
    }

    void expectSigned(const QString& path, const QByteArray& content)
    {
        const QByteArray onDisk = readAll(path);
        ASSERT_TRUE(onDisk.startsWith(content + "\n; signature: ")) << onDisk.toStdString();
        const QByteArray signature = QByteArray::fromBase64(onDisk.mid(content.size() + 14).chopped(1));
        EXPECT_TRUE(UpdateSignature::verify(content, signature, source.publicKey));
        EXPECT_EQ(onDisk, signedFile(content, signature));
        EXPECT_EQ(modeOf(path), 0600);
    }

    LoadedDefinitions load() { return DefinitionsSources::load(files, {}, source.publicKey); }

    // The signature the update host serves for content.
    QByteArray signatureOf(const QByteArray& content)
    {
        if (!publish(content))
            return {};
        const QByteArray signature = client.get(source.definitionsSignatureUrl);
        sandbox.clearRequests();
        return signature;
    }

    static void writeFile(const QString& path, const QByteArray& bytes)
    {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }

    SandboxEngines sandbox;
    QTemporaryDir folder;
    UpdateSource source;
    DefinitionsFiles files;
    HttpClient client { HttpVersion::Http11 };
};
