#pragma once

#include "rank/api/SourceKind.h"
#include "rank/lookup/Engine.h"
#include "rank/lookup/LookupOutcome.h"

#include <QString>

struct Project;

// NothingAnswered: the check ran to its end without one answered request.
enum class RunEnd { Completed, Stopped, Failed, NothingAnswered };
enum class SiteMetric { YandexCY, GooglePR };

// Told what a check does, e.g. to keep every check in a history. Told after the results have
// changed; it must not throw.
class RunObserver {
public:
    virtual ~RunObserver() = default;

    // The input is valid and the first request is about to go out. The project stays alive, and
    // may change, until the check has ended.
    virtual void checkStarted(const Project& project) = 0;
    // Before the first request: the most API requests the check may spend, by source.
    virtual void apiRequestsPlanned(const ApiRequestCounts& /*most*/) { }
    virtual void metricRead(SiteMetric metric, const QString& text, const Outcome& why) = 0;
    virtual void countWritten(
        Engine engine, int n, const QString& keyword, const QString& text, const Outcome& why)
        = 0;
    virtual void rankWritten(
        Engine engine, int n, const QString& keyword, const QString& text, int resultPage, const Outcome& why)
        = 0;
    virtual void notAsked(Engine engine, int n, const Outcome& why) = 0;
    // What the check spent on API requests, by source: after its last request, before checkEnded.
    virtual void apiRequestsSpent(const ApiRequestCounts& /*spent*/) { }
    // After the end steps, before an error is shown.
    virtual void checkEnded(RunEnd end, const QString& error) = 0;
};
