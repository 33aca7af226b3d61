#include "rank/lookup/EngineClients.h"

#include "rank/lookup/EngineTable.h"

EngineClients::EngineClients()
{
    for (Engine engine : kEngines) {
        m_engines[static_cast<std::size_t>(engine)]
            = std::make_unique<HttpClient>(m_cookies, engineRow(engine).httpVersion);
    }
    m_metrics = std::make_unique<HttpClient>(m_cookies);
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
}
