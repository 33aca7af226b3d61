#include "rank/lookup/EngineClients.h"

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
}

void EngineClients::noteLookupBlocked(Engine engine, bool blocked)
{
    int& inARow = m_blockedInARow.at(std::size_t(engine));
    inARow = blocked ? inARow + 1 : 0;
}
