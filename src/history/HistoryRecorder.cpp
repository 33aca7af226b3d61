#include "history/HistoryRecorder.h"

#include "history/HistoryError.h"
#include "history/HistoryStore.h"
#include "rank/project/Project.h"

#include <QStringList>

HistoryRecorder::HistoryRecorder(HistoryStore& store, std::function<QString()> projectPath)
    : m_store(store)
    , m_projectPath(std::move(projectPath))
{
}

void HistoryRecorder::checkStarted(const Project& project)
{
    const QStringList keywords(project.keywords.begin(), project.keywords.end());
    QList<Engine> ticked;
    for (Engine engine : kEngines) {
        if (project.isTicked(engine))
            ticked << engine;
    }
    const QString site = project.site;
    m_collector.begin(QDateTime::currentDateTimeUtc(), site, m_projectPath ? m_projectPath() : QString(),
        keywords, ticked, regionCode(project.region));
    m_previous.clear();
    if (!m_changeHandler)
        return;
    try {
        QStringList asked;
        for (const QString& keyword : keywords) {
            if (!keyword.isEmpty() && !asked.contains(keyword))
                asked << keyword;
        }
        m_previous = m_store.latestDecidedResults(site, asked, ticked);
    } catch (const HistoryError&) {
        // Without the earlier checks the tooltips only lack the change; writing reports the trouble.
    }
}

void HistoryRecorder::metricRead(SiteMetric metric, const QString& text, const Outcome&)
{
    m_collector.metric(metric == SiteMetric::YandexCY, text);
}

void HistoryRecorder::countWritten(
    Engine engine, int n, const QString& keyword, const QString& text, const Outcome&)
{
    m_collector.count(engine, n, keyword, text);
}

void HistoryRecorder::rankWritten(
    Engine engine, int n, const QString& keyword, const QString& text, int resultPage, const Outcome& why)
{
    m_collector.rank(engine, n, keyword, text, resultPage, why.reason);
    if (!m_changeHandler)
        return;
    const std::optional<int> current = why.reason == Reason::Found ? positionFromText(text) : std::nullopt;
    for (const PreviousResult& previous : m_previous) {
        if (previous.engine == engine && previous.keyword == keyword) {
            m_changeHandler(
                engine, n, positionChange(current, why.reason, true, previous.position, previous.time));
            return;
        }
    }
    m_changeHandler(engine, n, positionChange(current, why.reason, false, std::nullopt));
}

void HistoryRecorder::notAsked(Engine engine, int n, const Outcome& why)
{
    m_collector.notAsked(engine, n, why.reason);
}

void HistoryRecorder::apiRequestsSpent(const ApiRequestCounts& spent)
{
    m_collector.apiRequests(spent);
}

void HistoryRecorder::checkEnded(RunEnd end, const QString& error)
{
    if (!m_collector.active())
        return;
    const CheckOutcome outcome = end == RunEnd::Completed ? CheckOutcome::Completed
        : end == RunEnd::Stopped                          ? CheckOutcome::Stopped
        : end == RunEnd::NothingAnswered                  ? CheckOutcome::NothingAnswered
                                                          : CheckOutcome::Error;
    m_lastRecorded = m_collector.end(outcome, error);
    // A project first saved while its check ran owns that check.
    if (m_lastRecorded.projectPath.isEmpty() && m_projectPath)
        m_lastRecorded.projectPath = m_projectPath();
    m_lastWritten = m_store.record(m_lastRecorded);
    if (m_lastWritten && m_lastRecorded.projectPath.isEmpty())
        m_unsavedChecks << m_lastRecorded.uid;
}

void HistoryRecorder::projectSaved(const QString& projectPath)
{
    if (!m_unsavedChecks.isEmpty() && m_store.assignProject(m_unsavedChecks, projectPath))
        m_unsavedChecks.clear();
}
