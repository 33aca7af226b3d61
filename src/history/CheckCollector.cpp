#include "history/CheckCollector.h"

#include "history/MachineIdentity.h"

#include <QUuid>

void CheckCollector::begin(const QDateTime& time, const QString& site, const QString& projectPath,
    const QStringList& keywords, const QList<Engine>& tickedEngines, const QString& region)
{
    m_active = true;
    m_check = {};
    m_results.clear();
    m_written.clear();
    m_check.time = time.toUTC();
    m_check.site = site;
    m_check.projectPath = projectPath;
    m_check.definitionsVersion = m_definitionsVersion;
    m_check.region = region;
    m_check.host = machineHostName();
    m_check.user = machineUserName();
    m_check.uid = newCheckUid();
    for (qsizetype i = 0; i < keywords.size(); ++i) {
        if (keywords[i].isEmpty())
            continue;
        for (Engine engine : tickedEngines)
            slot(engine, int(i) + 1, keywords[i]);
    }
}

RecordedResult& CheckCollector::slot(Engine engine, int n, const QString& keyword)
{
    RecordedResult& result = m_results[{ n, int(engine) }];
    result.engine = engine;
    if (!keyword.isNull())
        result.keyword = keyword;
    return result;
}

void CheckCollector::metric(bool cy, const QString& text)
{
    (cy ? m_check.cy : m_check.pr) = text;
}

void CheckCollector::count(Engine engine, int n, const QString& keyword, const QString& text)
{
    if (m_active)
        slot(engine, n, keyword).countText = text;
}

void CheckCollector::rank(
    Engine engine, int n, const QString& keyword, const QString& text, int resultPage, Reason reason)
{
    if (!m_active)
        return;
    RecordedResult& result = slot(engine, n, keyword);
    result.text = text;
    result.position = reason == Reason::Found ? positionFromText(text) : std::nullopt;
    result.resultPage = resultPage;
    result.reason = reason;
    m_written[{ n, int(engine) }] = true;
}

// An engine unticked or a keyword emptied during the check: nothing of it is recorded.
void CheckCollector::notAsked(Engine engine, int n, Reason reason)
{
    if (!m_active)
        return;
    const Slot key { n, int(engine) };
    if (reason == Reason::NotAsked) {
        m_results.erase(key);
        m_written.erase(key);
    } else if (m_results.count(key)) {
        m_results[key].reason = reason;
        m_written[key] = true;
    }
}

RecordedCheck CheckCollector::end(CheckOutcome outcome, const QString& error)
{
    m_active = false;
    m_check.outcome = outcome;
    m_check.error = error;
    for (auto& [key, result] : m_results) {
        if (!m_written.count(key))
            result.reason = outcome == CheckOutcome::Stopped ? Reason::Stopped : Reason::NotAsked;
        m_check.results.append(result);
    }
    RecordedCheck check = std::move(m_check);
    m_check = {};
    m_results.clear();
    m_written.clear();
    return check;
}
