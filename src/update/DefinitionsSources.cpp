#include "update/DefinitionsSources.h"

#include "net/Endpoints.h"
#include "platform/BoundedFile.h"
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
std::optional<EngineDefinitions> readSource(const QString& path, DefinitionsSource source, QStringList& refusals)
{
    if (path.isEmpty() || (!exists(path) && source != DefinitionsSource::File))
        return std::nullopt;
    ParsedDefinitions parsed = DefinitionsFile::read(path, source);
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
    return QStringLiteral("Описания поисковых систем из файла «%1» не приняты: подпись файла не верна.").arg(fileName);
}

std::optional<EngineDefinitions> DefinitionsSources::verifiedDownload(
    const DefinitionsFiles& files, const QByteArray& publicKey, QString* reason)
{
    reason->clear();
    if (!exists(files.downloadedFile))
        return std::nullopt;
    // The signature is checked at every load: a file altered on disk is refused.
    QString readReason;
    const auto content = BoundedFile::read(files.downloadedFile, DefinitionsFile::kMaxBytes, &readReason);
    const auto signature
        = BoundedFile::read(files.downloadedSignature, UpdateSignature::kSignatureBytes, &readReason);
    if (!content) {
        *reason = DefinitionsFile::refusalText(files.downloadedFile,
            { { {}, {}, QStringLiteral("файл не прочитан: %1").arg(readReason), 0 } });
        return std::nullopt;
    }
    if (!signature || !UpdateSignature::verify(*content, *signature, publicKey)) {
        *reason = unsignedText(files.downloadedFile);
        return std::nullopt;
    }
    ParsedDefinitions parsed = DefinitionsFile::parse(*content, &EngineDefinitions::builtIn());
    if (!parsed.definitions) {
        *reason = DefinitionsFile::refusalText(files.downloadedFile, parsed.problems);
        return std::nullopt;
    }
    parsed.definitions->source = DefinitionsSource::Downloaded;
    parsed.definitions->fileName = files.downloadedFile;
    return std::move(parsed.definitions);
}

LoadedDefinitions DefinitionsSources::load(
    const DefinitionsFiles& files, const QString& givenFile, const QByteArray& publicKey)
{
    LoadedDefinitions loaded;
    std::optional<EngineDefinitions> found = readSource(givenFile, DefinitionsSource::File, loaded.refusals);
    if (!found)
        found = readSource(files.userFile, DefinitionsSource::User, loaded.refusals);
    if (!found) {
        QString reason;
        found = verifiedDownload(files, publicKey, &reason);
        if (!reason.isEmpty())
            loaded.refusals << reason;
    }
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
    LoadedDefinitions loaded = load(DefinitionsFiles::standard(), givenFile,
        UpdateSource::fromEndpoints(Endpoints::current()).publicKey);
    EngineDefinitions::setCurrent(loaded.definitions);
    return loaded;
}
