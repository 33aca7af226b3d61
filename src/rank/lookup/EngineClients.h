#pragma once

#include "net/ConnectionSettings.h"
#include "net/HttpClient.h"
#include "rank/lookup/Engine.h"
#include "rank/lookup/EngineDefinitions.h"

#include <QString>
#include <array>
#include <memory>

// The HTTP clients of one project: one per engine (each speaking the HTTP version its engine's
// definition gives) and one for the site metrics, sharing one cookie store, with the engine
// definitions of the check under way. It also keeps count of the requests answered during a
// check, so that a check in which nothing answered can say why.
class EngineClients {
public:
    EngineClients();
    ~EngineClients();
    EngineClients(const EngineClients&) = delete;
    EngineClients& operator=(const EngineClients&) = delete;

    HttpClient& engine(Engine engine) { return *m_engines.at(static_cast<std::size_t>(engine)); }
    HttpClient& metrics() { return *m_metrics; }

    // The definitions the lookups read until the next call; a check sets them at its start.
    void useDefinitions(std::shared_ptr<const EngineDefinitions> definitions);
    const EngineDefinitions& definitions() const { return *m_definitions; }

    // ApplyProxySettings: throws EConvertError for a proxy port that is not a number.
    static void applySettings(HttpClient& client, const ConnectionSettings& settings);

    // Ends every transfer under way; the waiting requests throw EHttpAborted.
    void abortAll();

    void resetTally();
    void noteAnswered() { ++m_answered; }
    void noteFailure(const QString& error) { m_lastFailure = error; }
    int answered() const { return m_answered; }
    // The text of the last failed request of this check; empty when none failed.
    const QString& lastFailure() const { return m_lastFailure; }

    // An engine that refused a lookup of this check is asked once more; refused again, its
    // remaining lookups of the check are not asked.
    void noteLookupBlocked(Engine engine, bool blocked);
    bool keepsBlocking(Engine engine) const { return m_blockedInARow.at(std::size_t(engine)) >= 2; }

private:
    CookieStore m_cookies;
    std::array<std::unique_ptr<HttpClient>, kEngines.size()> m_engines;
    std::unique_ptr<HttpClient> m_metrics;
    std::shared_ptr<const EngineDefinitions> m_definitions;
    int m_answered = 0;
    QString m_lastFailure;
    std::array<int, kEngines.size()> m_blockedInARow {};
};
