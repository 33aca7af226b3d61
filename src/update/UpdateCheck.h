#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>
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
// the download with its length and signature checks, the new file beside the executable, and the
// hand-over to the self-replacement. The form that owns the check adapts the boxes and displays.
class UpdateCheck {
public:
    enum class Outcome {
        NoUpdates, // the HEAD request failed
        UpToDate, // "Last-Modified" as remembered
        NotWritable, // the program's folder cannot take the new file
        Declined, // the user answered No
        Refused, // the download was shorter or longer than announced, or its signature did not verify
        Downloaded, // the new file waits beside the executable
    };

    static const QString kUpToDate;
    static const QString kQuestion;
    static const QString kDownloadError;
    static const QString kRestart;
    static QString notWritableText(const QString& folder);
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
    // closed) and reach the caller.
    Outcome run(const UpdateSource& source, const UpdateFiles& files, bool autoCheck, const QDate& today);

private:
    Outcome download(const UpdateSource& source, const UpdateFiles& files, qint64 length,
        const QString& version, const QDate& today);
    QByteArray fetchFile(const UpdateSource& source, qint64 length, bool* tooLarge);
    bool signatureVerifies(const UpdateSource& source, const QByteArray& file);
    static void writeNewExecutable(const UpdateFiles& files, const QByteArray& file);

    HttpClient& m_client;
    UpdateHost& m_host;
};
