#pragma once

#include "history/HistoryBackend.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class SqliteConnection;

// The position history in one SQLite file: every check with its results. Only a regular file of
// the user, not a symbolic link, is opened, and only when it carries the program's application id
// (or is an unmarked history of an earlier version, which gets it): a foreign file is refused
// before anything is written to it. The file is made readable by its owner only, written in WAL
// mode with a busy timeout so that the program and kestrova-check can write at the same time, and
// migrated forward by PRAGMA user_version. A file that is damaged, locked or of a newer schema is
// reported (HistoryError), never replaced.
class HistoryDatabase : public HistoryBackend {
public:
    static constexpr int kSchemaVersion = 7;
    // How long a writer waits for another one that holds the file.
    static constexpr int kBusyTimeoutMs = 10000;
    // "KSTR": PRAGMA application_id of every history file the program makes.
    static constexpr qint64 kApplicationId = 0x4B535452;

    // Opens the file, creating it and its folder when they do not exist yet.
    explicit HistoryDatabase(const QString& path, int busyTimeoutMs = kBusyTimeoutMs);
    ~HistoryDatabase();

    // history.sqlite in the program's data folder (ProgramFolders::data()).
    static QString defaultPath();

    const QString& path() const { return m_path; }
    int schemaVersion() override;

    qint64 record(const RecordedCheck& check) override;
    void forEachCheck(const QString* site, const std::function<void(const RecordedCheck&)>& visit) override;
    std::optional<RecordedCheck> latestCheck(const QString& site) override;
    // One look into an index per project file, whatever the length of the history.
    QList<RecordedCheck> latestCheckOfEachProject(const QString& site) override;
    void assignProject(const QStringList& uids, const QString& projectPath) override;
    SiteHistory siteHistory(const QString& site) override;
    // One look into an index per series, whatever the length of the history.
    QList<PreviousResult> latestDecidedResults(
        const QString& site, const QStringList& keywords, const QList<Engine>& engines) override;

    // A check kept here for a server that did not take it: recorded with a note naming the server,
    // until markSent() clears the note.
    qint64 recordPending(const RecordedCheck& check, const QString& server);
    // The checks kept for a server, oldest first, each with the server its note names.
    void forEachPendingCheck(const std::function<void(const RecordedCheck&, const QString& server)>& visit);
    void markSent(const QString& uid);

private:
    // Throws HistoryError for a file that is not a history of the program.
    void recognise();
    void migrate();
    qint64 insertCheck(const RecordedCheck& check, const QString& pending);

    QString m_path;
    std::unique_ptr<SqliteConnection> m_db;
    bool m_unmarked = false; // recognised as ours without the application id, which migrate() sets
};
