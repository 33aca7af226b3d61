#include "update/UpdateCheck.h"

#include "net/HttpClient.h"
#include "platform/BoundedFile.h"
#include "platform/ElfExecutable.h"
#include "platform/SafeFile.h"
#include "update/UpdateFiles.h"
#include "update/UpdateHost.h"
#include "update/UpdateSchedule.h"
#include "update/UpdateSignature.h"
#include "update/UpdateSource.h"
#include "update/UpdateVersion.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

const QString UpdateCheck::kUpToDate = QStringLiteral("Обновление не требуется.");
const QString UpdateCheck::kNoUpdates = QStringLiteral("Нет доступных обновлений.");
const QString UpdateCheck::kQuestion = QStringLiteral("Доступна новая версия. Обновить?");
const QString UpdateCheck::kDownloadError
    = QStringLiteral("Ошибка при загрузке обновления! Попробуйте познее.");
const QString UpdateCheck::kNotInstalled = QStringLiteral("Обновление не удалось установить:");
const QString UpdateCheck::kRestart
    = QStringLiteral("Теперь необходимо перезапустить программу.\n\rПроизвести автоматический перезапуск.");

namespace {

// A signature is 64 bytes; a longer reply is no signature.
constexpr qint64 kMaxSignatureBytes = 1024;
// The failure note holds the copy's error text.
constexpr qint64 kMaxFailureNoteBytes = 4096;

void removeWaitingFiles(const UpdateFiles& files)
{
    QFile::remove(files.TempExeFileName);
    QFile::remove(files.SignatureFileName);
    QFile::remove(files.FailureFileName);
}

// Restores the client's defaults after a download, however it ends.
class DownloadSettings {
public:
    explicit DownloadSettings(HttpClient& client)
        : m_client(client)
    {
    }
    ~DownloadSettings()
    {
        m_client.setProgressHandler({});
        m_client.setMaxBody(HttpClient::kMaxBody);
    }
    DownloadSettings(const DownloadSettings&) = delete;
    DownloadSettings& operator=(const DownloadSettings&) = delete;

private:
    HttpClient& m_client;
};

constexpr int kNotFound = 404;
constexpr int kGone = 410;

// One of the host's displays, shown for as long as the step it shows lasts, however that ends.
class HostDisplay {
public:
    using Step = void (UpdateHost::*)();
    HostDisplay(UpdateHost& host, Step started, Step ended)
        : m_host(host)
        , m_ended(ended)
    {
        (m_host.*started)();
    }
    ~HostDisplay() { (m_host.*m_ended)(); }
    HostDisplay(const HostDisplay&) = delete;
    HostDisplay& operator=(const HostDisplay&) = delete;

private:
    UpdateHost& m_host;
    Step m_ended;
};

} // namespace

QString UpdateCheck::notWritableText(const QString& folder)
{
    return QStringLiteral("Обновление не может быть установлено: нет права записи в папку программы\n%1\n"
                          "Обновите программу тем же способом, каким она была установлена.")
        .arg(folder);
}

const QString UpdateCheck::kNoProgramPathText
    = QStringLiteral("Обновление не может быть установлено: не удалось определить путь к файлу программы.");

QString UpdateCheck::packagedText(const QString& homePage)
{
    return QStringLiteral("Программа установлена из пакета kestrova-sertrix и не обновляет себя сама.\n"
                          "Чтобы получить новую версию, установите новый пакет программы с её сайта:\n%1")
        .arg(homePage);
}

QString UpdateCheck::unreachableText(const QString& reason)
{
    return QStringLiteral("Не удалось проверить наличие обновлений: %1").arg(reason);
}

UpdateCheck::UpdateCheck(HttpClient& client, UpdateHost& host)
    : m_client(client)
    , m_host(host)
{
}

UpdateCheck::Outcome UpdateCheck::run(
    const UpdateSource& source, const UpdateFiles& files, bool autoCheck, const QDate& today)
{
    // The package manager owns a packaged copy, whether or not the update host can be reached.
    // Only the user who asked hears of it; the automatic check would repeat it at every start.
    if (files.packaged) {
        if (!autoCheck)
            m_host.showMessage(packagedText(source.homePage));
        return Outcome::NotWritable;
    }
    if (files.ExeFileName.isEmpty()) {
        if (!autoCheck)
            m_host.showMessage(kNoProgramPathText);
        return Outcome::NotWritable;
    }
    HeadResult head;
    try {
        std::optional<HostDisplay> asking;
        if (!autoCheck)
            asking.emplace(m_host, &UpdateHost::askingStarted, &UpdateHost::askingEnded);
        m_client.setMaxBody(HttpClient::kMaxBody);
        head = m_client.head(source.fileUrl);
    } catch (const EHttpAborted&) {
        return Outcome::Cancelled;
    } catch (const EHttpStatus& e) {
        // The host answered that it has no update file: there is none, as the automatic check
        // says too. Any other answer is a failure to ask.
        if (e.status() == kNotFound || e.status() == kGone) {
            m_host.showMessage(kNoUpdates);
            return Outcome::NoUpdates;
        }
        if (!autoCheck)
            m_host.showMessage(unreachableText(QString::fromUtf8(e.what())));
        return Outcome::NoUpdates;
    } catch (const EHttpError& e) {
        // A failed check is no answer; the automatic check stays silent about it.
        if (!autoCheck)
            m_host.showMessage(unreachableText(QString::fromUtf8(e.what())));
        return Outcome::NoUpdates;
    }
    const QString version = QString::fromLatin1(head.lastModified.left(kMaxVersionChars));

    Outcome outcome = Outcome::UpToDate;
    if (version == m_host.storedVersion()) {
        if (!autoCheck)
            m_host.showMessage(kUpToDate);
    } else if (!files.folderWritable()) {
        outcome = Outcome::NotWritable;
    } else if (!m_host.askYesNo(kQuestion)) {
        outcome = Outcome::Declined;
    } else {
        outcome = download(source, files, head.contentLength, version, today);
    }
    if (outcome == Outcome::Cancelled)
        return outcome;

    if (outcome != Outcome::NotWritable && !QFileInfo::exists(files.TempExeFileName))
        return outcome;
    if (!files.folderWritable()) {
        // Only the user who asked hears of it; the automatic check would repeat it at every start.
        if (!autoCheck)
            m_host.showMessage(notWritableText(QDir::toNativeSeparators(files.folder())));
        return Outcome::NotWritable;
    }
    // A copy that failed before is not tried again; a file left from earlier is installed only
    // when it still verifies, as anything may have changed it since.
    if (reportFailedInstall(files))
        return Outcome::Refused;
    if (!waitingFileVerifies(source, files)) {
        removeWaitingFiles(files);
        m_host.showError(kDownloadError);
        return Outcome::Refused;
    }
    m_host.showMessage(kRestart);
    m_host.storeRemembered();
    m_host.installUpdate();
    return outcome;
}

UpdateCheck::Outcome UpdateCheck::download(const UpdateSource& source, const UpdateFiles& files,
    qint64 length, const QString& version, const QDate& today)
{
    const HostDisplay display(m_host, &UpdateHost::downloadStarted, &UpdateHost::downloadEnded);
    // Without an announced length no file can pass the length test, so none is fetched.
    if (length <= 0 || length > kMaxUpdateBytes) {
        m_host.showError(kDownloadError);
        return Outcome::Refused;
    }
    bool tooLarge = false;
    QByteArray file;
    std::optional<QByteArray> signature;
    try {
        file = fetchFile(source, length, &tooLarge);
        if (!tooLarge && file.size() == length)
            signature = verifiedSignature(source, file);
    } catch (const EHttpAborted&) {
        return Outcome::Cancelled;
    }
    if (!signature) {
        m_host.showError(kDownloadError);
        return Outcome::Refused;
    }
    // The signature says who made the file, not that it is newer: an older signed build served
    // under a newer date would take the program back. It is remembered all the same, so that the
    // same file is not offered again.
    // Nor does it say that the file is a program this machine runs: anything else would leave
    // the user with no program at all.
    if (!ElfExecutable::runsHere(file)) {
        m_host.setStored(version, UpdateSchedule::formatDate(today));
        m_host.showError(kDownloadError);
        return Outcome::Refused;
    }
    if (!UpdateVersion::isNewer(UpdateVersion::ofImage(file), UpdateVersion::running())) {
        m_host.setStored(version, UpdateSchedule::formatDate(today));
        m_host.showError(kDownloadError);
        return Outcome::NotNewer;
    }
    writeNewExecutable(files, file, *signature);
    m_host.setStored(version, UpdateSchedule::formatDate(today));
    return Outcome::Downloaded;
}

QByteArray UpdateCheck::fetchFile(const UpdateSource& source, qint64 length, bool* tooLarge)
{
    const DownloadSettings restore(m_client);
    m_client.setMaxBody(length);
    m_client.setProgressHandler([this, length] { m_host.downloadProgress(m_client.received(), length); });
    try {
        QByteArray file = m_client.get(source.fileUrl);
        m_host.downloadProgress(file.size(), length);
        return file;
    } catch (const EHttpTooLarge&) {
        *tooLarge = true;
        return {};
    }
}

std::optional<QByteArray> UpdateCheck::verifiedSignature(const UpdateSource& source, const QByteArray& file)
{
    const DownloadSettings restore(m_client);
    m_client.setMaxBody(kMaxSignatureBytes);
    QByteArray signature;
    try {
        signature = m_client.get(source.signatureUrl);
    } catch (const EHttpAborted&) {
        throw;
    } catch (const EHttpError&) {
        return std::nullopt; // a missing signature refuses the file like a wrong one
    }
    if (!UpdateSignature::verify(file, signature, source.publicKey))
        return std::nullopt;
    return signature;
}

bool UpdateCheck::waitingFileVerifies(const UpdateSource& source, const UpdateFiles& files)
{
    const auto file = BoundedFile::read(files.TempExeFileName, kMaxUpdateBytes, nullptr);
    const auto signature = BoundedFile::read(files.SignatureFileName, kMaxSignatureBytes, nullptr);
    return file && signature && UpdateSignature::verify(*file, *signature, source.publicKey)
        && ElfExecutable::runsHere(*file)
        && UpdateVersion::isNewer(UpdateVersion::ofImage(*file), UpdateVersion::running());
}

bool UpdateCheck::reportFailedInstall(const UpdateFiles& files)
{
    if (files.FailureFileName.isEmpty() || !QFileInfo::exists(files.FailureFileName))
        return false;
    const auto note = BoundedFile::read(files.FailureFileName, kMaxFailureNoteBytes, nullptr);
    removeWaitingFiles(files);
    const QString reason = note ? QString::fromLocal8Bit(*note).trimmed() : QString();
    m_host.showError(kDownloadError + u'\n' + kNotInstalled + u' ' + reason);
    return true;
}

void UpdateCheck::writeNewExecutable(
    const UpdateFiles& files, const QByteArray& file, const QByteArray& signature)
{
    QString reason;
    if (!SafeFile::replace(files.SignatureFileName, signature, &reason))
        throw EUpdate(QStringLiteral("Cannot create file \"%1\". %2")
                          .arg(QDir::toNativeSeparators(files.SignatureFileName), reason)
                          .toStdString());
    QFile::remove(files.FailureFileName);
    if (!SafeFile::replace(files.TempExeFileName, file, &reason))
        throw EUpdate(QStringLiteral("Cannot create file \"%1\". %2")
                          .arg(QDir::toNativeSeparators(files.TempExeFileName), reason)
                          .toStdString());
    QFile::setPermissions(files.TempExeFileName,
        QFile::permissions(files.ExeFileName) | QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}
