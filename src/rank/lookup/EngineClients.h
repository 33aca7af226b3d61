#pragma once

#include "net/ConnectionSettings.h"
#include "net/HttpClient.h"
#include "rank/api/SourceChoice.h"
#include "rank/api/SourceKeys.h"
#include "rank/api/SourceKind.h"
#include "rank/lookup/Engine.h"
#include "rank/lookup/EngineDefinitions.h"
#include "rank/lookup/LookupOutcome.h"

#include <QString>
#include <array>
#include <memory>
#include <optional>

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

    // The sources the next checks read from: the user's choice per engine (a source the definitions
    // do not offer means their first), the keys of the API sources, and whether the check runs on a
    // schedule (only such a check uses a deferred mode).
    void useSources(const SourceChoice& choice, const SourceKeys& keys, bool scheduled);
    SourceKind sourceFor(Engine engine) const;
    SourceKind wordstatSource() const;
    const SourceKeys& keys() const { return m_keys; }
    bool scheduled() const { return m_scheduled; }

    // The most API requests a check of these keywords on these engines may spend, by source: every
    // request of every keyword as deep as page reading goes, without repeats of unanswered ones.
    ApiRequestCounts mostApiRequests(const std::array<bool, kEngines.size()>& ticked, int keywords) const;
    // The requests of one keyword on an engine whose source in force is an API (0 for pages).
    int apiRequestsPerKeyword(Engine engine) const;
    // API requests answered during this check, by source; polls of deferred searches apart.
    const ApiRequestCounts& apiRequests() const { return m_apiRequests; }
    void noteApiRequest(SourceKind source) { ++m_apiRequests[source]; }
    int apiPolls() const { return m_apiPolls; }
    void noteApiPoll() { ++m_apiPolls; }

    // An API source that refused a lookup of this check is not asked again in it: the engine's
    // remaining lookups (or the remaining counts) are refused with the same reason.
    void noteRefused(Engine engine, const Outcome& why) { m_refused.at(std::size_t(engine)) = why; }
    const std::optional<Outcome>& refusal(Engine engine) const { return m_refused.at(std::size_t(engine)); }
    void noteWordstatRefused(const Outcome& why) { m_wordstatRefused = why; }
    const std::optional<Outcome>& wordstatRefusal() const { return m_wordstatRefused; }

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
    SourceChoice m_choice;
    SourceKeys m_keys;
    bool m_scheduled = false;
    ApiRequestCounts m_apiRequests;
    int m_apiPolls = 0;
    std::array<std::optional<Outcome>, kEngines.size()> m_refused;
    std::optional<Outcome> m_wordstatRefused;
};
