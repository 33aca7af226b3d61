#include "update/DefinitionsUpdate.h"

#include "net/HttpClient.h"
#include "platform/DottedVersion.h"
#include "platform/SafeFile.h"
#include "rank/lookup/DefinitionsFile.h"
#include "update/DefinitionsDeliveryState.h"
#include "update/SignedDefinitionsFile.h"
#include "update/UpdateHost.h"
#include "update/UpdateSignature.h"
#include "update/UpdateSource.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

constexpr int kNotFound = 404;

using Outcome = DefinitionsUpdate::Outcome;
using Result = DefinitionsUpdate::Result;
using Refusal = DefinitionsUpdate::Refusal;

Outcome refused(Refusal refusal, const QString& reason = {})
{
    return { Result::Refused, refusal, {}, reason };
}

Outcome cancelled()
{
    Outcome outcome;
    outcome.result = Result::Cancelled;
    return outcome;
}

Outcome unreachable(const EHttpError& error)
{
    return { Result::Unreachable, Refusal::None, {}, QString::fromUtf8(error.what()) };
}

// Restores the client's defaults and closes the download display however the fetch ends.
class Fetching {
public:
    Fetching(HttpClient& client, UpdateHost* display)
        : m_client(client)
        , m_display(display)
    {
        if (m_display)
            m_display->downloadStarted();
    }
    ~Fetching()
    {
        m_client.setProgressHandler({});
        m_client.setMaxBody(HttpClient::kMaxBody);
        if (m_display)
            m_display->downloadEnded();
    }
    Fetching(const Fetching&) = delete;
    Fetching& operator=(const Fetching&) = delete;

private:
    HttpClient& m_client;
    UpdateHost* m_display;
};

bool writeOwnerOnly(const QString& path, const QByteArray& bytes, QString* reason)
{
    return SafeFile::replace(path, bytes, reason, true);
}

// The later of two versions, either of which may be empty.
QString later(const QString& one, const QString& other)
{
    return other.isEmpty() || DottedVersion::isLater(one, other) ? one : other;
}

} // namespace

DefinitionsUpdate::DefinitionsUpdate(
    HttpClient& client, const DefinitionsFiles& files, const UpdateSource& source)
    : m_client(client)
    , m_files(files)
    , m_url(source.definitionsUrl)
    , m_signatureUrl(source.definitionsSignatureUrl)
    , m_publicKey(source.publicKey)
    , m_write(writeOwnerOnly)
{
}

DefinitionsUpdate::Outcome DefinitionsUpdate::run(bool automatic, const QDate& today)
{
    DefinitionsDeliveryState state = DefinitionsDeliveryState::read(m_files.deliveryState);
    if (automatic && state.asked == today)
        return {};
    HeadResult head;
    try {
        m_client.setMaxBody(HttpClient::kMaxBody);
        head = m_client.head(m_url);
    } catch (const EHttpAborted&) {
        return cancelled();
    } catch (const EHttpStatus& error) {
        state.asked = today;
        state.write(m_files.deliveryState, nullptr);
        // A host that publishes no definitions has nothing new.
        return error.status() == kNotFound ? Outcome {} : unreachable(error);
    } catch (const EHttpError& error) {
        state.asked = today;
        state.write(m_files.deliveryState, nullptr);
        return unreachable(error);
    }
    state.asked = today;
    if (state.announcesSameFile(head.lastModified, head.contentLength, head.etag)) {
        state.write(m_files.deliveryState, nullptr);
        return {};
    }
    const Outcome outcome = fetchAndInstall(head.contentLength, state.highest);
    // A file accepted or refused is not fetched again until the host announces another one.
    if (outcome.result == Result::Installed || outcome.result == Result::Refused)
        state.remember(head.lastModified, head.contentLength, head.etag);
    if (outcome.result == Result::Installed)
        state.installed(outcome.version);
    if (outcome.result != Result::Cancelled)
        state.write(m_files.deliveryState, nullptr);
    return outcome;
}

DefinitionsUpdate::Outcome DefinitionsUpdate::fetchAndInstall(qint64 length, const QString& highestInstalled)
{
    if (length > DefinitionsFile::kMaxBytes)
        return refused(Refusal::TooLarge);
    QByteArray content;
    QByteArray signature;
    {
        const Fetching fetching(m_client, m_display);
        const qint64 total = length > 0 ? length : DefinitionsFile::kMaxBytes;
        m_client.setProgressHandler([this, total] {
            if (m_display)
                m_display->downloadProgress(m_client.received(), total);
        });
        try {
            m_client.setMaxBody(DefinitionsFile::kMaxBytes);
            content = m_client.get(m_url);
        } catch (const EHttpAborted&) {
            return cancelled();
        } catch (const EHttpTooLarge&) {
            return refused(Refusal::TooLarge);
        } catch (const EHttpError& error) {
            return unreachable(error);
        }
        try {
            m_client.setMaxBody(kMaxSignatureBytes);
            signature = m_client.get(m_signatureUrl);
        } catch (const EHttpAborted&) {
            return cancelled();
        } catch (const EHttpTooLarge&) {
            return refused(Refusal::Unsigned);
        } catch (const EHttpStatus& error) {
            if (error.status() == kNotFound)
                return refused(Refusal::Unsigned);
            return unreachable(error);
        } catch (const EHttpError& error) {
            return unreachable(error);
        }
    }
    if (!UpdateSignature::verify(content, signature, m_publicKey))
        return refused(Refusal::Unsigned);
    const ParsedDefinitions parsed = DefinitionsFile::parse(content, &EngineDefinitions::builtIn());
    if (!parsed.definitions) {
        return refused(
            Refusal::Invalid, parsed.problems.isEmpty() ? QString() : parsed.problems.first().text());
    }
    const QString offered = parsed.definitions->version;
    if (const auto notNewer = notNewerRefusal(offered, highestInstalled))
        return *notNewer;
    QString reason;
    if (!install(content, signature, &reason))
        return { Result::NotWritten, Refusal::None, offered, reason };
    return { Result::Installed, Refusal::None, offered, {} };
}

QString DefinitionsUpdate::versionInUse() const
{
    DefinitionsFiles downloadedOnly = m_files;
    downloadedOnly.userFile.clear();
    return DefinitionsSources::load(downloadedOnly, {}, m_publicKey).definitions->version;
}

// Nothing at or below a version installed before is installed again, so that a replayed file can
// take the definitions back neither while a newer one is in use nor after it was refused or rolled
// back. The files on disk count as well as the remembered version, which a lost state file forgets.
std::optional<DefinitionsUpdate::Outcome> DefinitionsUpdate::notNewerRefusal(
    const QString& offered, const QString& highestInstalled) const
{
    const QString inUse = versionInUse();
    QString highest = highestInstalled;
    QString ignored;
    for (const auto& [file, signature] : { std::pair { m_files.downloadedFile, m_files.downloadedSignature },
             std::pair { m_files.previousFile, m_files.previousSignature } }) {
        if (const auto installed = DefinitionsSources::verifiedFile(file, signature, m_publicKey, &ignored))
            highest = later(installed->definitions.version, highest);
    }
    if (!DottedVersion::isLater(offered, inUse))
        return refused(
            Refusal::NotNewer, QStringLiteral("версия %1 не новее используемой %2").arg(offered, inUse));
    if (!highest.isEmpty() && !DottedVersion::isLater(offered, highest))
        return refused(Refusal::NotNewer,
            QStringLiteral("версия %1 не новее установленной ранее %2").arg(offered, highest));
    return std::nullopt;
}

bool DefinitionsUpdate::install(const QByteArray& content, const QByteArray& signature, QString* reason) const
{
    const QString folder = QFileInfo(m_files.downloadedFile).absolutePath();
    if (!QDir().mkpath(folder)) {
        *reason = QStringLiteral("не удалось создать папку %1").arg(QDir::toNativeSeparators(folder));
        return false;
    }
    // The file replaced becomes the rollback copy only when it verifies and validates; a damaged
    // one never takes the place of a good copy. A copy that cannot be written stops the install,
    // so that the rollback copy is always the file the current one replaced.
    QString ignored;
    if (const auto current = DefinitionsSources::verifiedFile(
            m_files.downloadedFile, m_files.downloadedSignature, m_publicKey, &ignored)) {
        if (!m_write(m_files.previousFile, SignedDefinitionsFile::compose(current->pair), reason))
            return false;
        QFile::remove(m_files.previousSignature);
    }
    // One rename puts the file and its signature in place together.
    if (!m_write(m_files.downloadedFile, SignedDefinitionsFile::compose({ content, signature }), reason))
        return false;
    QFile::remove(m_files.downloadedSignature);
    return true;
}

QString DefinitionsUpdate::menuLine(const Outcome& outcome)
{
    switch (outcome.result) {
    case Result::Installed:
        return QStringLiteral("Описания поисковых систем обновлены (версия %1).").arg(outcome.version);
    case Result::Refused:
        break;
    case Result::Unreachable:
        return QStringLiteral("Описания поисковых систем не проверены: %1").arg(outcome.reason);
    case Result::NotWritten:
        return QStringLiteral("Описания поисковых систем не сохранены: %1").arg(outcome.reason);
    case Result::NothingNew:
    case Result::Cancelled:
        return {};
    }
    QString why;
    switch (outcome.refusal) {
    case Refusal::Unsigned:
        why = QStringLiteral("подпись файла не верна или её нет");
        break;
    case Refusal::TooLarge:
        why = QStringLiteral("файл больше 64 КБ");
        break;
    case Refusal::Invalid:
        why = QStringLiteral("файл с ошибкой: %1").arg(outcome.reason);
        break;
    case Refusal::NotNewer:
    case Refusal::None:
        why = outcome.reason;
        break;
    }
    return QStringLiteral("Описания поисковых систем не приняты: %1.").arg(why);
}
