#pragma once

#include "history/HistoryDatabase.h"

#include <QString>
#include <functional>
#include <memory>

// The program's way to its history file. After a failure the next use opens the file afresh, so a
// file that was locked or missing a moment ago works again as soon as it can; a failed write is reported once
// through the problem handler and never thrown, so that it cannot stop a check.
class HistoryStore {
public:
    explicit HistoryStore(const QString& path = HistoryDatabase::defaultPath());

    const QString& path() const { return m_path; }
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

    bool record(const RecordedCheck& check);
    // Opens the file now unless it is open; throws HistoryError for one that cannot be opened.
    void open() const;
    // Reads throw HistoryError.
    QList<RecordedCheck> checksOfSite(const QString& site) const;
    QList<RecordedCheck> allChecks() const;
    // The checks of the site (every site when it is null), oldest first, one at a time.
    void forEachCheck(const QString* site, const std::function<void(const RecordedCheck&)>& visit) const;
    SiteHistory siteHistory(const QString& site) const;
    std::optional<RecordedCheck> latestCheck(const QString& site) const;
    QList<RecordedCheck> latestCheckOfEachProject(const QString& site) const;
    QList<PreviousResult> latestDecidedResults(
        const QString& site, const QStringList& keywords, const QList<Engine>& engines) const;

    static const QString kNotWrittenMessage;

private:
    HistoryDatabase& database() const;

    QString m_path;
    // Kept open while it works; dropped after a failure, so the next use opens the file afresh.
    mutable std::unique_ptr<HistoryDatabase> m_db;
    std::function<void(const QString&)> m_problemHandler;
    std::function<void(const RecordedCheck&)> m_recordedHandler;
    bool m_problemReported = false;
    int m_busyTimeoutMs = HistoryDatabase::kBusyTimeoutMs;
};
