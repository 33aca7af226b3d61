#include "rank/lookup/EngineClients.h"

#include "rank/lookup/EngineTable.h"
#include "rank/lookup/PageScans.h"

EngineClients::EngineClients()
{
    for (Engine engine : kEngines)
        m_engines[static_cast<std::size_t>(engine)] = std::make_unique<HttpClient>(m_cookies);
    m_metrics = std::make_unique<HttpClient>(m_cookies);
    useDefinitions(EngineDefinitions::current());
}

void EngineClients::useDefinitions(std::shared_ptr<const EngineDefinitions> definitions)
{
    m_definitions = std::move(definitions);
    for (Engine engine : kEngines)
        this->engine(engine).setVersion(m_definitions->engine(engine).httpVersion);
}

EngineClients::~EngineClients() = default;

void EngineClients::applySettings(HttpClient& client, const ConnectionSettings& settings)
{
    client.proxy() = proxyParamsFrom(settings);
}

void EngineClients::abortAll()
{
    for (auto& client : m_engines) {
        if (client->busy())
            client->abort();
    }
    if (m_metrics->busy())
        m_metrics->abort();
}

void EngineClients::resetTally()
{
    m_answered = 0;
    m_lastFailure.clear();
    m_blockedInARow.fill(0);
    m_apiRequests = {};
    m_apiPolls = 0;
    m_refused.fill(std::nullopt);
    m_wordstatRefused.reset();
}

void EngineClients::useSources(const SourceChoice& choice, const SourceKeys& keys, bool scheduled)
{
    m_choice = choice;
    m_keys = keys;
    m_scheduled = scheduled;
}

SourceKind EngineClients::sourceFor(Engine engine) const
{
    return m_definitions->engine(engine).api.inForce(m_choice.engines.at(std::size_t(engine)));
}

SourceKind EngineClients::wordstatSource() const
{
    return m_definitions->wordstat.api.inForce(m_choice.wordstat);
}

int EngineClients::apiRequestsPerKeyword(Engine engine) const
{
    const EngineDefinition& row = m_definitions->engine(engine);
    const int depth = PageScans::kMaxPages * row.pageSize;
    switch (sourceFor(engine)) {
    case SourceKind::YandexSearchApi:
        return (depth + row.api.groupsOnPage - 1) / row.api.groupsOnPage;
    case SourceKind::SerpJson:
        return PageScans::kMaxPages;
    default:
        return 0;
    }
}

ApiRequestCounts EngineClients::mostApiRequests(
    const std::array<bool, kEngines.size()>& ticked, int keywords) const
{
    ApiRequestCounts most;
    for (Engine engine : kEngines) {
        if (!ticked.at(std::size_t(engine)))
            continue;
        if (const SourceKind source = sourceFor(engine); source != SourceKind::Page)
            most[source] += keywords * apiRequestsPerKeyword(engine);
        if (engineRow(engine).hasQueryCount() && wordstatSource() != SourceKind::Page)
            most[wordstatSource()] += keywords;
    }
    return most;
}

void EngineClients::noteLookupBlocked(Engine engine, bool blocked)
{
    int& inARow = m_blockedInARow.at(std::size_t(engine));
    inARow = blocked ? inARow + 1 : 0;
}
