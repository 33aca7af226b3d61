#pragma once

#include "net/ConnectionSettings.h"
#include "rank/lookup/Engine.h"
#include "rank/lookup/LookupOutcome.h"

#include <QString>

// What the lookups need from the check they run in: the project's inputs, the connection
// settings, the stop and pause, and where the results go. The check run implements it over the
// project and its results. Texts are Unicode here; the lookups convert keywords and the site
// address to the ANSI code page at the edge.
class LookupHost {
public:
    virtual ~LookupHost() = default;

    virtual QString siteText() const = 0; // edWEB, read afresh at every use
    virtual QString keyword(int n) const = 0; // edKeyWord<n>, n = 1..7
    virtual bool engineChecked(Engine engine) const = 0;
    virtual ConnectionSettings connectionSettings() const = 0; // read afresh at every use
    virtual bool stopRequested() const = 0; // FStopRequested
    virtual void waitWhilePaused() = 0; // returns once the pause is over
    virtual void processEvents() = 0; // "pump window messages"

    virtual void advanceGauge(Engine engine, int step) = 0; // clamps at 100
    // Result cell rule: reset before the lookup, then write text and colour from ResultPage.
    // Every write carries the reason behind the text.
    virtual void resetRankCell(Engine engine, int n) = 0;
    virtual void resetCountCell(Engine engine, int n) = 0; // engines with a query count
    virtual void writeCountCell(Engine engine, int n, const QString& text, const Outcome& why) = 0;
    virtual void writeRankCell(Engine engine, int n, const QString& text, int resultPage, const Outcome& why)
        = 0;
    // An engine that is not asked keeps its cells; it is told why.
    virtual void notAsked(Engine, int /*n*/, const Outcome& /*why*/) { }
};
