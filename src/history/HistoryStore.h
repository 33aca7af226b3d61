#pragma once

#include "history/HistoryBackend.h"
#include "history/HistoryDatabase.h"
#include "history/HistoryLocation.h"

#include <QString>
#include <functional>
#include <memory>

// The program's way to its history: the SQLite file of this computer or a PostgreSQL server (see
// HistoryLocation). After a failure the next use opens the store afresh, so a file that was locked
// or a server that was away a moment ago works again as soon as it can; a failed write is reported
// once through the problem handler and never thrown, so that it cannot stop a check. A check the
// server does not take is kept in the file of this computer with a note, for --history-sync.
class HistoryStore {
public:
    explicit HistoryStore(const QString& location = HistoryLocation::configured());

    const QString& location() const { return m_location; }
    // Another history from now on; the next use opens it.
    void setLocation(const QString& location)
    {
        m_location = location;
        m_backend.reset();
        m_problemReported = false;
    }
    // "Файл истории: ..." or "База истории: ...".
    QString describe() const { return HistoryLocation::describe(m_location); }
    bool isServer() const { return HistoryLocation::isServer(m_location); }

    // Told the first time a check could not be written, with the reason.
    void setProblemHandler(std::function<void(const QString&)> handler)
    {
        m_problemHandler = std::move(handler);
    }

    // Told after every check that was written, so that open views can show it.
    void setRecordedHandler(std::function<void(const RecordedCheck&)> handler)
    {
        m_recordedHandler = std::move(handler);
    }

    // How long a write waits for another writer; HistoryDatabase::kBusyTimeoutMs unless set.
    void setBusyTimeout(int milliseconds) { m_busyTimeoutMs = milliseconds; }
    // The file a check the server did not take is kept in; HistoryDatabase::defaultPath() unless set.
    void setLocalFile(const QString& path) { m_localFile = path; }

    // True when the check was written, or kept in the local file for the server.
    bool record(const RecordedCheck& check);
    // The checks named by uids, recorded before their project was first saved, become the checks
    // of the file at projectPath, also those waiting in the file of this computer for the server.
    // A failure is reported as a failed write; false then.
    bool assignProject(const QStringList& uids, const QString& projectPath);
    // Opens the store now unless it is open; throws HistoryError for one that cannot be opened.
    void open() const;
    // Reads throw HistoryError.
    QList<RecordedCheck> checksOfSite(const QString& site) const;
    QList<RecordedCheck> allChecks() const;
    // The checks of the site (every site when it is null), oldest first, one at a time.
    void forEachCheck(const QString* site, const std::function<void(const RecordedCheck&)>& visit) const;
    // The CSV rows of those checks, in pieces, as HistoryBackend::writeCsvRows makes them.
    void writeCsvRows(const QString* site, const std::function<void(QByteArrayView piece)>& write) const;
    SiteHistory siteHistory(const QString& site) const;
    std::optional<RecordedCheck> latestCheck(const QString& site) const;
    QList<RecordedCheck> latestCheckOfEachProject(const QString& site) const;
    QList<PreviousResult> latestDecidedResults(
        const QString& site, const QStringList& keywords, const QList<Engine>& engines) const;

    static const QString kNotWrittenMessage;
    static const QString kKeptLocallyMessage;

private:
    HistoryBackend& backend() const;
    bool keepLocally(const RecordedCheck& check, const QString& reason);
    void reportOnce(const QString& text);

    QString m_location;
    QString m_localFile = HistoryDatabase::defaultPath();
    // Kept open while it works; dropped after a failure, so the next use opens the store afresh.
    mutable std::unique_ptr<HistoryBackend> m_backend;
    std::function<void(const QString&)> m_problemHandler;
    std::function<void(const RecordedCheck&)> m_recordedHandler;
    bool m_problemReported = false;
    int m_busyTimeoutMs = HistoryDatabase::kBusyTimeoutMs;
};
