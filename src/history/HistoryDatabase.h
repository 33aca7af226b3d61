#pragma once

#include "history/HistoryRecord.h"
#include "history/SiteHistory.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class SqliteConnection;

// The latest decided result of one series before a check.
struct PreviousResult {
    QString keyword;
    Engine engine = Engine::GoogleCom;
    std::optional<int> position;
    QDateTime time;
};

// The position history in one SQLite file: every check with its results. Only a regular file of
// the user, not a symbolic link, is opened, and only when it carries the program's application id
// (or is an unmarked history of an earlier version, which gets it): a foreign file is refused
// before anything is written to it. The file is made readable by its owner only, written in WAL
// mode with a busy timeout so that the program and kestrova-check can write at the same time, and
// migrated forward by PRAGMA user_version. A file that is damaged, locked or of a newer schema is
// reported (HistoryError), never replaced.
class HistoryDatabase {
public:
    static constexpr int kSchemaVersion = 5;
    // How long a writer waits for another one that holds the file.
    static constexpr int kBusyTimeoutMs = 10000;
    // "KSTR": PRAGMA application_id of every history file the program makes.
    static constexpr qint64 kApplicationId = 0x4B535452;

    // Opens the file, creating it and its folder when they do not exist yet.
    explicit HistoryDatabase(const QString& path, int busyTimeoutMs = kBusyTimeoutMs);
    ~HistoryDatabase();

    // $XDG_DATA_HOME/Tellvik/Kestrova Sertrix/history.sqlite (by default below ~/.local/share).
    static QString defaultPath();

    const QString& path() const { return m_path; }
    int schemaVersion();

    // Writes one check and its results at once; returns its id.
    qint64 record(const RecordedCheck& check);

    // The checks of the site (compared as seriesSite), oldest first, with their results.
    QList<RecordedCheck> checksOfSite(const QString& site);
    // Every check of every site, oldest first.
    QList<RecordedCheck> allChecks();
    // The checks of the site (every site when it is null), oldest first, one at a time: a history
    // of any length is read in the memory of one check.
    void forEachCheck(const QString* site, const std::function<void(const RecordedCheck&)>& visit);
    // The latest check of the site with its results, if it has one.
    std::optional<RecordedCheck> latestCheck(const QString& site);
    // The latest check of every project file (as recorded) of the site, oldest first, without
    // their results: one look into an index per project file, whatever the length of the history.
    QList<RecordedCheck> latestCheckOfEachProject(const QString& site);
    // The checks of the site, oldest first, with what the history window shows of their results,
    // read at once into the flat form.
    SiteHistory siteHistory(const QString& site);
    // For every series of the site among the keywords on the engines, its latest decided result:
    // one look into an index per series, whatever the length of the history.
    QList<PreviousResult> latestDecidedResults(
        const QString& site, const QStringList& keywords, const QList<Engine>& engines);

private:
    // Throws HistoryError for a file that is not a history of the program.
    void recognise();
    void migrate();

    QString m_path;
    std::unique_ptr<SqliteConnection> m_db;
    bool m_unmarked = false; // recognised as ours without the application id, which migrate() sets
};
