#pragma once

#include "rank/lookup/LookupHost.h"

#include <QString>

// What the run control needs from the project it runs in, besides what the lookups need.
// The project frame implements it with its widgets; the command-line checker with plain values.
class RunHost : public LookupHost {
public:
    virtual void showMessage(const QString& text) = 0; // plain box: no icon, OK button
    virtual void showError(const QString& text) = 0; // the standard error box

    virtual void setStartEnabled(bool enabled) = 0; // Button
    virtual void setPauseCaption(const QString& caption) = 0; // ButtonPause
    virtual void setRunning(bool running) = 0; // SetRunning: swaps start for pause and stop
    virtual void setPaused(bool paused) = 0; // SetPaused
    virtual bool paused() const = 0; // FPaused
    virtual void setStopRequested(bool stop) = 0; // SetStopRequested
    virtual void setTimerActive(bool active) = 0; // Timer, which calls CheckRun::TimerTimer

    virtual void setTimeText(const QString& text) = 0; // stTime
    virtual void setYandexCY(const QString& text, const Outcome& why) = 0; // stYandexCY
    virtual void setGooglePR(const QString& text, const Outcome& why) = 0; // stGooglePR
    virtual void setGauge(Engine engine, int position) = 0;

    // A check that ran to its end without a single answered request is a failure; told once,
    // at the end, with the text of the last failed request.
    virtual void nothingAnswered(const QString& lastError) = 0;

    // Told after each of the 42 lookups has returned (also when it changed nothing).
    virtual void lookupDone(Engine, int /*n*/) { }
};
