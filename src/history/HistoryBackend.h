#pragma once

#include "history/HistoryRecord.h"
#include "history/SiteHistory.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

// The latest decided result of one series before a check.
struct PreviousResult {
    QString keyword;
    Engine engine = Engine::GoogleCom;
    std::optional<int> position;
    QDateTime time;
};

// One store of the position history: a SQLite file of this computer (HistoryDatabase) or the
// shared database on a PostgreSQL server (PostgresHistory). Both keep the same checks and answer
// the same reads; every failure throws HistoryError with the reason in the program's language.
class HistoryBackend {
public:
    virtual ~HistoryBackend() = default;

    virtual int schemaVersion() = 0;

    // Writes one check and its results at once; returns its id. A check whose uid the store holds
    // already is not written again: 0 is returned.
    virtual qint64 record(const RecordedCheck& check) = 0;

    // The checks of the site (every site when it is null), oldest first, one at a time: a history
    // of any length is read in the memory of one check.
    virtual void forEachCheck(const QString* site, const std::function<void(const RecordedCheck&)>& visit)
        = 0;
    // The latest check of the site with its results, if it has one.
    virtual std::optional<RecordedCheck> latestCheck(const QString& site) = 0;
    // The latest check of every project file (as recorded) of the site, oldest first, without
    // their results.
    virtual QList<RecordedCheck> latestCheckOfEachProject(const QString& site) = 0;
    // Gives the checks named by uids that were recorded under no project file to the file at
    // projectPath, all in one step: the checks a project made before its first save become its own.
    virtual void assignProject(const QStringList& uids, const QString& projectPath) = 0;

    // The checks of the site, oldest first, with what the history window shows of their results.
    virtual SiteHistory siteHistory(const QString& site) = 0;
    // For every series of the site among the keywords on the engines, its latest decided result.
    virtual QList<PreviousResult> latestDecidedResults(
        const QString& site, const QStringList& keywords, const QList<Engine>& engines)
        = 0;

    // The CSV rows (without the header) of the checks of the site (every site when it is null),
    // oldest first, handed on in pieces as they are made.
    virtual void writeCsvRows(const QString* site, const std::function<void(QByteArrayView piece)>& write);

    // The checks of the site (compared as seriesSite), oldest first, with their results.
    QList<RecordedCheck> checksOfSite(const QString& site);
    // Every check of every site, oldest first.
    QList<RecordedCheck> allChecks();
};
