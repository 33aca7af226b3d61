#pragma once

#include "rank/lookup/Engine.h"

#include <QString>

class HttpClient;

// What the lookups need from the project they run for. The project frame implements it
// with its widgets; the command-line checker with plain values. Texts are Unicode here;
// the lookups convert keywords and the site address to the ANSI code page at the edge.
class LookupHost {
public:
    virtual ~LookupHost() = default;

    virtual QString siteText() const = 0; // edWEB, read afresh at every use
    virtual QString keyword(int n) const = 0; // edKeyWord<n>, n = 1..7
    virtual bool engineChecked(Engine engine) const = 0;
    virtual bool stopRequested() const = 0; // FStopRequested
    virtual void waitWhilePaused() = 0; // returns once the pause is over
    virtual void processEvents() = 0; // "pump window messages"
    virtual void applyProxySettings(HttpClient& client) = 0; // may throw (port not a number)

    virtual HttpClient& engineClient(Engine engine) = 0; // HTTPGooglecom .. HTTPMSN
    virtual HttpClient& metricsClient() = 0; // HTTPCYPR

    virtual void advanceGauge(Engine engine, int step) = 0; // clamps at 100
    // Result cell rule: reset before the lookup, then write text and colour from ResultPage.
    virtual void resetRankCell(Engine engine, int n) = 0;
    virtual void resetCountCell(int n) = 0; // Yandex.ru only
    virtual void writeCountCell(int n, const QString& text) = 0;
    virtual void writeRankCell(Engine engine, int n, const QString& text, int resultPage) = 0;
};
