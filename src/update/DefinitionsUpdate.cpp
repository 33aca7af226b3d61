#include "update/DefinitionsUpdate.h"

#include "net/HttpClient.h"
#include "platform/BoundedFile.h"
#include "platform/DottedVersion.h"
#include "platform/SafeFile.h"
#include "rank/lookup/DefinitionsFile.h"
#include "update/DefinitionsDeliveryState.h"
#include "update/UpdateHost.h"
#include "update/UpdateSignature.h"
#include "update/UpdateSource.h"

#include <QDir>
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

bool copyOwnerOnly(const QString& from, qint64 maxBytes, const QString& to, QString* reason)
{
    const auto bytes = BoundedFile::read(from, maxBytes, reason);
    return bytes && SafeFile::replace(to, *bytes, reason, true);
}

} // namespace

DefinitionsUpdate::DefinitionsUpdate(
    HttpClient& client, const DefinitionsFiles& files, const UpdateSource& source)
    : m_client(client)
    , m_files(files)
    , m_url(source.definitionsUrl)
    , m_signatureUrl(source.definitionsSignatureUrl)
    , m_publicKey(source.publicKey)
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
    if (state.announcesSameFile(head.lastModified, head.contentLength)) {
        state.write(m_files.deliveryState, nullptr);
        return {};
    }
    const Outcome outcome = fetchAndInstall(head.contentLength);
    // A file accepted or refused is not fetched again until the host announces another one.
    if (outcome.result == Result::Installed || outcome.result == Result::Refused) {
        state.lastModified = head.lastModified;
        state.length = head.contentLength;
    }
    if (outcome.result != Result::Cancelled)
        state.write(m_files.deliveryState, nullptr);
    return outcome;
}

DefinitionsUpdate::Outcome DefinitionsUpdate::fetchAndInstall(qint64 length)
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
    const QString inUse = versionInUse();
    if (!DottedVersion::isLater(offered, inUse))
        return refused(
            Refusal::NotNewer, QStringLiteral("версия %1 не новее используемой %2").arg(offered, inUse));
    QString reason;
    if (!install(content, signature, &reason))
        return { Result::NotWritten, Refusal::None, offered, reason };
    return { Result::Installed, Refusal::None, offered, {} };
}

QString DefinitionsUpdate::versionInUse() const
{
    QString reason;
    const std::optional<EngineDefinitions> installed
        = DefinitionsSources::verifiedDownload(m_files, m_publicKey, &reason);
    return installed ? installed->version : EngineDefinitions::builtIn().version;
}

bool DefinitionsUpdate::install(const QByteArray& content, const QByteArray& signature, QString* reason) const
{
    const QString folder = QFileInfo(m_files.downloadedFile).absolutePath();
    if (!QDir().mkpath(folder)) {
        *reason = QStringLiteral("не удалось создать папку %1").arg(QDir::toNativeSeparators(folder));
        return false;
    }
    // The file replaced stays as the rollback copy, with its signature, as long as both can be read.
    if (QFileInfo::exists(m_files.downloadedFile) && QFileInfo::exists(m_files.downloadedSignature)) {
        QString ignored;
        if (copyOwnerOnly(m_files.downloadedFile, DefinitionsFile::kMaxBytes, m_files.previousFile, &ignored))
            copyOwnerOnly(
                m_files.downloadedSignature, kMaxSignatureBytes, m_files.previousSignature, &ignored);
    }
    // Between the two replacements the pair does not verify and the built-in definitions are
    // used; the host's headers are remembered only once both are written, so an interrupted
    // install is fetched again.
    return SafeFile::replace(m_files.downloadedFile, content, reason, true)
        && SafeFile::replace(m_files.downloadedSignature, signature, reason, true);
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
