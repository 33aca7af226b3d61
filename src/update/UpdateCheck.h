#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>
#include <optional>
#include <stdexcept>

class HttpClient;
class UpdateHost;
struct UpdateFiles;
struct UpdateSource;

// A failure that ends the check with its text in the error box (the new file cannot be written).
class EUpdate : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The update decision: HEAD, comparison of "Last-Modified" with the remembered text, the question,
// the download with its length, signature and version checks, the new file beside the executable, and the
// hand-over to the self-replacement. The form that owns the check adapts the boxes and displays.
class UpdateCheck {
public:
    enum class Outcome {
        NoUpdates, // the HEAD request failed
        UpToDate, // "Last-Modified" as remembered
        NotWritable, // the program's folder cannot take the new file
        Declined, // the user answered No
        Refused, // the download was shorter or longer than announced, or its signature did not verify
        NotNewer, // the signed file carries the running version or an older one
        Cancelled, // the user closed the download display; nothing was written
        Downloaded, // the new file waits beside the executable
    };

    static const QString kUpToDate;
    static const QString kNoUpdates; // the host has no update file (404, 410)
    static const QString kQuestion;
    static const QString kDownloadError;
    static const QString kRestart;
    static QString notWritableText(const QString& folder);
    // The program's own path could not be had, so it has no folder to be replaced in.
    static const QString kNoProgramPathText;
    // A package install is updated by a new package, never replaced by the program.
    static QString packagedText(const QString& homePage);
    // The update host could not be asked, for this reason.
    static QString unreachableText(const QString& reason);

    // A longer file is refused before its download.
    static constexpr qint64 kMaxUpdateBytes = 256 * 1024 * 1024;
    // A longer header text is cut here before it is compared and remembered.
    static constexpr int kMaxVersionChars = 1000;

    UpdateCheck(HttpClient& client, UpdateHost& host);

    // The whole check; autoCheck suppresses the messages the user did not ask for. Errors of the
    // download's transport and of writing the new file end it (after the download display is
    // closed) and reach the caller. A download aborted on the client (the user closed the display)
    // ends it quietly.
    Outcome run(const UpdateSource& source, const UpdateFiles& files, bool autoCheck, const QDate& today);

    // When the replacing script left a failure note, says once that the update could not be
    // installed, with the reason, and removes the note and the new file; true then.
    bool reportFailedInstall(const UpdateFiles& files);
    // The first line of the box that says so; the script's reason follows on the next line.
    static const QString kNotInstalled;

private:
    Outcome download(const UpdateSource& source, const UpdateFiles& files, qint64 length,
        const QString& version, const QDate& today);
    QByteArray fetchFile(const UpdateSource& source, qint64 length, bool* tooLarge);
    // The signature of the file when it verifies.
    std::optional<QByteArray> verifiedSignature(const UpdateSource& source, const QByteArray& file);
    static void writeNewExecutable(
        const UpdateFiles& files, const QByteArray& file, const QByteArray& signature);
    // Whether a new file waiting beside the executable is still signed and newer.
    static bool waitingFileVerifies(const UpdateSource& source, const UpdateFiles& files);

    HttpClient& m_client;
    UpdateHost& m_host;
};
