#pragma once

#include "rank/lookup/EngineDefinitions.h"
#include "update/SignedDefinitionsFile.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

// The files the engine definitions may come from, besides a file given on the command line.
struct DefinitionsFiles {
    QString userFile; // the user's own: <settings folder>/engines.ini
    QString downloadedFile; // fetched through the update channel, signed: <data folder>/engines.ini
    QString downloadedSignature; // the signature beside it written by earlier versions: engines.ini.sig
    QString previousFile; // the downloaded file it replaced, kept for a rollback: engines.ini.previous
    QString previousSignature; // earlier versions' signature beside it: engines.ini.previous.sig
    // When the update host was last asked, what it announced, the highest version installed:
    // engines.ini.state
    QString deliveryState;

    // In the program's settings and data folders.
    static DefinitionsFiles standard();
    static DefinitionsFiles in(const QString& settingsFolder, const QString& dataFolder);
};

struct LoadedDefinitions {
    std::shared_ptr<const EngineDefinitions> definitions;
    // Why files were passed over on the way, one message each (the file, and every problem).
    QStringList refusals;
};

namespace DefinitionsSources {

// The first usable of: the given file (when not empty), the user's file, the downloaded
// definitions (verifiedDownload) when they are newer than the built-in ones, the built-in
// definitions. A missing file is passed over silently; a refused one falls back to the next, with
// its message in refusals.
LoadedDefinitions load(const DefinitionsFiles& files, const QString& givenFile, const QByteArray& publicKey);

// The downloaded definitions: the current file when it is there, its signature verifies with
// publicKey and it validates; when it is there but refused, the rollback copy if that one is
// usable. Otherwise nothing, with the reason the current file was refused (empty when there is no
// file at all).
std::optional<EngineDefinitions> verifiedDownload(
    const DefinitionsFiles& files, const QByteArray& publicKey, QString* reason);

// One signed file, as verifiedDownload reads it, with the bytes and signature it was read from.
struct VerifiedFile {
    EngineDefinitions definitions;
    SignedDefinitionsFile::Verified pair;
};
std::optional<VerifiedFile> verifiedFile(
    const QString& path, const QString& legacySignature, const QByteArray& publicKey, QString* reason);

// The refusals not reported before in this process, so that a message is shown once.
QStringList notShownBefore(const QStringList& refusals);

// The message that refuses a downloaded file whose signature does not verify.
QString unsignedText(const QString& fileName);

// load() with the standard files and the update key, made the definitions of the next check.
LoadedDefinitions reloadCurrent(const QString& givenFile = {});

} // namespace DefinitionsSources
