#pragma once

#include "update/DefinitionsSources.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <functional>
#include <optional>

class HttpClient;
class UpdateHost;
struct UpdateSource;

// Fetches the engine definitions that the update host publishes beside the program's update file
// and installs them as the downloaded definitions when their signature holds, they validate and
// their version is newer than the one in use and than every one installed before. The file in use
// is never changed while a check runs: a check takes the definitions once, at its start.
//
// The file and its signature are installed together, as one file replaced by one rename; the file
// it replaces becomes the rollback copy only when it verifies, so an install cut short by a kill or
// a full disk leaves the definitions in use as they were, or the new ones.
class DefinitionsUpdate {
public:
    enum class Result {
        Installed, // the new file is in place; version holds its version
        NothingNew, // the host offers no file, or the one already seen, or it was asked today
        Refused, // the file offered was not accepted; refusal says why
        Unreachable, // the host could not be asked or did not answer; reason holds the error
        NotWritten, // the accepted file could not be written; reason says why
        Cancelled, // the user stopped the transfer
    };
    enum class Refusal {
        None,
        Unsigned, // no signature, or one that does not verify (a tampered file)
        TooLarge, // more than DefinitionsFile::kMaxBytes
        Invalid, // refused by the definitions' own rules; reason holds the first problem
        NotNewer, // version not later than the one in use or one installed before; reason holds both
    };
    struct Outcome {
        Result result = Result::NothingNew;
        Refusal refusal = Refusal::None;
        QString version;
        QString reason;
    };

    // The host's signature file is 64 bytes; a longer reply is no signature.
    static constexpr qint64 kMaxSignatureBytes = 1024;

    DefinitionsUpdate(HttpClient& client, const DefinitionsFiles& files, const UpdateSource& source);

    // Shows the download display of the update form while the file is fetched (closing it cancels).
    void setDisplay(UpdateHost* display) { m_display = display; }

    // Writes one installed file at once (SafeFile::replace, owner-only, by default); tests put a
    // full disk or a kill here.
    using FileWriter = std::function<bool(const QString& path, const QByteArray& bytes, QString* reason)>;
    void setFileWriter(FileWriter writer) { m_write = std::move(writer); }

    // The automatic check asks at most once a day; a check from the menu always asks.
    Outcome run(bool automatic, const QDate& today);

    // The version of the definitions this delivery replaces: the newer of the downloaded and the
    // built-in ones. The user's own file plays no part.
    QString versionInUse() const;

    // The line the menu check adds to its message, empty when there is nothing to say.
    static QString menuLine(const Outcome& outcome);

private:
    Outcome fetchAndInstall(qint64 length, const QString& highestInstalled);
    std::optional<Outcome> notNewerRefusal(const QString& offered, const QString& highestInstalled) const;
    bool install(const QByteArray& content, const QByteArray& signature, QString* reason) const;

    HttpClient& m_client;
    DefinitionsFiles m_files;
    QByteArray m_url;
    QByteArray m_signatureUrl;
    QByteArray m_publicKey;
    UpdateHost* m_display = nullptr;
    FileWriter m_write;
};
