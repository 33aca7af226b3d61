#pragma once

#include "history/HistoryRecord.h"

#include <map>
#include <utility>

// The results of one check as its lookups write them: one per non-empty keyword and ticked
// engine, in the order of the check. A lookup the check did not reach (a stop or an error came
// first) is kept with the reason "stopped" or "not-asked" and no result.
class CheckCollector {
public:
    void begin(const QDateTime& time, const QString& site, const QString& projectPath,
        const QStringList& keywords, const QList<Engine>& tickedEngines, const QString& region = {});
    void metric(bool cy, const QString& text);
    void count(Engine engine, int n, const QString& keyword, const QString& text);
    void rank(
        Engine engine, int n, const QString& keyword, const QString& text, int resultPage, Reason reason);
    void notAsked(Engine engine, int n, Reason reason);
    void apiRequests(const ApiRequestCounts& spent) { m_check.apiRequests = spent; }
    RecordedCheck end(CheckOutcome outcome, const QString& error);
    // The version of the engine definitions the checks use, written with every check from now on.
    void setDefinitionsVersion(const QString& version) { m_definitionsVersion = version; }

    bool active() const { return m_active; }

private:
    using Slot = std::pair<int, int>; // keyword number, engine index
    RecordedResult& slot(Engine engine, int n, const QString& keyword);

    bool m_active = false;
    RecordedCheck m_check;
    QString m_definitionsVersion;
    std::map<Slot, RecordedResult> m_results;
    std::map<Slot, bool> m_written;
};
