#include "update/DefinitionsSources.h"

#include "net/Endpoints.h"
#include "platform/DottedVersion.h"
#include "platform/ProgramFolders.h"
#include "rank/lookup/DefinitionsFile.h"
#include "update/UpdateSignature.h"
#include "update/UpdateSource.h"

#include <QFileInfo>
#include <QSet>
#include <mutex>

namespace {

const QString kFileName = QStringLiteral("engines.ini");

bool exists(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

// A readable file that does not validate is refused; a missing one is passed over without a word.
std::optional<EngineDefinitions> readSource(const QString& path, DefinitionsSource source,
    QStringList& refusals, const EngineDefinitions* base = nullptr)
{
    if (path.isEmpty() || (!exists(path) && source != DefinitionsSource::File))
        return std::nullopt;
    ParsedDefinitions parsed = DefinitionsFile::read(path, source, base);
    if (!parsed.definitions) {
        refusals << DefinitionsFile::refusalText(path, parsed.problems);
        return std::nullopt;
    }
    return std::move(parsed.definitions);
}

} // namespace

DefinitionsFiles DefinitionsFiles::standard()
{
    return in(ProgramFolders::settings(), ProgramFolders::data());
}

DefinitionsFiles DefinitionsFiles::in(const QString& settingsFolder, const QString& dataFolder)
{
    DefinitionsFiles files;
    files.userFile = settingsFolder + u'/' + kFileName;
    files.downloadedFile = dataFolder + u'/' + kFileName;
    files.downloadedSignature = files.downloadedFile + QStringLiteral(".sig");
    files.previousFile = files.downloadedFile + QStringLiteral(".previous");
    files.previousSignature = files.previousFile + QStringLiteral(".sig");
    files.deliveryState = files.downloadedFile + QStringLiteral(".state");
    return files;
}

QString DefinitionsSources::unsignedText(const QString& fileName)
{
    return QStringLiteral("Описания поисковых систем из файла «%1» не приняты: подпись файла не верна.")
        .arg(fileName);
}

std::optional<DefinitionsSources::VerifiedFile> DefinitionsSources::verifiedFile(
    const QString& path, const QString& legacySignature, const QByteArray& publicKey, QString* reason)
{
    reason->clear();
    // The signature is checked at every load: a file altered on disk is refused.
    QString readReason;
    SignedDefinitionsFile::Failure failure {};
    auto pair = SignedDefinitionsFile::read(path, legacySignature, publicKey, &failure, &readReason);
    if (!pair) {
        *reason = failure == SignedDefinitionsFile::Failure::Unsigned
            ? unsignedText(path)
            : DefinitionsFile::refusalText(
                path, { { {}, {}, QStringLiteral("файл не прочитан: %1").arg(readReason), 0 } });
        return std::nullopt;
    }
    ParsedDefinitions parsed = DefinitionsFile::parse(pair->content, &EngineDefinitions::builtIn());
    if (!parsed.definitions) {
        *reason = DefinitionsFile::refusalText(path, parsed.problems);
        return std::nullopt;
    }
    parsed.definitions->source = DefinitionsSource::Downloaded;
    parsed.definitions->fileName = path;
    return VerifiedFile { std::move(*parsed.definitions), std::move(*pair) };
}

std::optional<EngineDefinitions> DefinitionsSources::verifiedDownload(
    const DefinitionsFiles& files, const QByteArray& publicKey, QString* reason)
{
    reason->clear();
    if (!exists(files.downloadedFile))
        return std::nullopt;
    if (auto current = verifiedFile(files.downloadedFile, files.downloadedSignature, publicKey, reason))
        return std::move(current->definitions);
    // A current file that is refused (damaged, or half replaced by an earlier version of the
    // program) gives way to the file it replaced.
    QString previousReason;
    if (exists(files.previousFile)) {
        if (auto previous
            = verifiedFile(files.previousFile, files.previousSignature, publicKey, &previousReason))
            return std::move(previous->definitions);
    }
    return std::nullopt;
}

LoadedDefinitions DefinitionsSources::load(
    const DefinitionsFiles& files, const QString& givenFile, const QByteArray& publicKey)
{
    LoadedDefinitions loaded;
    std::optional<EngineDefinitions> found = readSource(givenFile, DefinitionsSource::File, loaded.refusals);
    if (found)
        return { std::make_shared<const EngineDefinitions>(std::move(*found)), loaded.refusals };
    QString reason;
    std::optional<EngineDefinitions> downloaded = verifiedDownload(files, publicKey, &reason);
    if (!reason.isEmpty())
        loaded.refusals << reason;
    // Downloaded definitions older than the built-in ones (those of an earlier program, or a
    // replayed file) give way to them.
    if (downloaded && !DottedVersion::isLater(downloaded->version, EngineDefinitions::builtIn().version))
        downloaded.reset();
    // The user's own file mends what it gives over the downloaded fixes of every other engine.
    found = readSource(
        files.userFile, DefinitionsSource::User, loaded.refusals, downloaded ? &*downloaded : nullptr);
    if (found && downloaded)
        found->overDownloaded = downloaded->version;
    if (!found)
        found = std::move(downloaded);
    loaded.definitions = found ? std::make_shared<const EngineDefinitions>(std::move(*found))
                               : std::make_shared<const EngineDefinitions>(EngineDefinitions::builtIn());
    return loaded;
}

QStringList DefinitionsSources::notShownBefore(const QStringList& refusals)
{
    static std::mutex mutex;
    static QSet<QString> shown;
    std::lock_guard lock(mutex);
    QStringList fresh;
    for (const QString& refusal : refusals) {
        if (!shown.contains(refusal)) {
            shown.insert(refusal);
            fresh << refusal;
        }
    }
    return fresh;
}

LoadedDefinitions DefinitionsSources::reloadCurrent(const QString& givenFile)
{
    LoadedDefinitions loaded = load(
        DefinitionsFiles::standard(), givenFile, UpdateSource::fromEndpoints(Endpoints::current()).publicKey);
    EngineDefinitions::setCurrent(loaded.definitions);
    return loaded;
}
