#pragma once

#include "update/DefinitionsSources.h"

#include <QByteArray>
#include <QDate>
#include <QString>

class HttpClient;
class UpdateHost;
struct UpdateSource;

// Fetches the engine definitions that the update host publishes beside the program's update file
// and installs them as the downloaded definitions when their signature holds, they validate and
// their version is newer than the one in use. The file in use is never changed while a check runs:
// a check takes the definitions once, at its start.
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
        NotNewer, // version not later than the one in use; reason holds both versions
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

    // The automatic check asks at most once a day; a check from the menu always asks.
    Outcome run(bool automatic, const QDate& today);

    // The version of the definitions this delivery replaces: the downloaded file's when it
    // verifies, else the built-in one. The user's own file plays no part.
    QString versionInUse() const;

    // The line the menu check adds to its message, empty when there is nothing to say.
    static QString menuLine(const Outcome& outcome);

private:
    Outcome fetchAndInstall(qint64 length);
    bool install(const QByteArray& content, const QByteArray& signature, QString* reason) const;

    HttpClient& m_client;
    DefinitionsFiles m_files;
    QByteArray m_url;
    QByteArray m_signatureUrl;
    QByteArray m_publicKey;
    UpdateHost* m_display = nullptr;
};
