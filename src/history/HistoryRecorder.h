#pragma once

#include "history/CheckCollector.h"
#include "history/HistoryDatabase.h"
#include "history/PositionChange.h"
#include "rank/run/RunObserver.h"

#include <functional>

class HistoryStore;

// Keeps every check of one project in the history: collects the check's results as the run
// tells them and writes them when it ends. Tells the change of each position since the previous
// check of the same site as soon as the position is written.
class HistoryRecorder : public RunObserver {
public:
    using ChangeHandler = std::function<void(Engine engine, int n, const PositionChange& change)>;

    HistoryRecorder(HistoryStore& store, std::function<QString()> projectPath);

    void setChangeHandler(ChangeHandler handler) { m_changeHandler = std::move(handler); }
    // The version of the engine definitions ("2026.12.7.1") that the checks started from now on use.
    void setDefinitionsVersion(const QString& version) { m_collector.setDefinitionsVersion(version); }
    bool lastWritten() const { return m_lastWritten; }
    // The check last ended, as it was given to the history.
    const RecordedCheck& lastRecorded() const { return m_lastRecorded; }

    // The project was saved to the file at projectPath: the checks it made while it had no file
    // become the file's. Those that could not be moved are tried again at the next save.
    void projectSaved(const QString& projectPath);

    void checkStarted(const Project& project) override;
    void metricRead(SiteMetric metric, const QString& text, const Outcome& why) override;
    void countWritten(
        Engine engine, int n, const QString& keyword, const QString& text, const Outcome& why) override;
    void rankWritten(Engine engine, int n, const QString& keyword, const QString& text, int resultPage,
        const Outcome& why) override;
    void notAsked(Engine engine, int n, const Outcome& why) override;
    void apiRequestsSpent(const ApiRequestCounts& spent) override;
    void checkEnded(RunEnd end, const QString& error) override;

private:
    HistoryStore& m_store;
    std::function<QString()> m_projectPath;
    ChangeHandler m_changeHandler;
    CheckCollector m_collector;
    QList<PreviousResult> m_previous;
    RecordedCheck m_lastRecorded;
    QStringList m_unsavedChecks; // uids of the checks written under no project file
    bool m_lastWritten = false;
};
