#pragma once

#include "rank/lookup/EngineClients.h"
#include "rank/lookup/EngineLookups.h"
#include "rank/lookup/SiteMetrics.h"
#include "rank/pattern/RegExpr.h"
#include "rank/run/ObservedLookupHost.h"

#include <QLocale>
#include <QObject>
#include <cstdint>

class RunHost;
class RunObserver;

// One project's check run: validates the input, reads the CY and the PageRank, calls the 42
// lookups in their fixed order, keeps the elapsed-time clock and handles pause and stop. The
// whole check runs inside ButtonClick; the host pumps the event loop at every wait, so the
// pause, stop and timer handlers run nested inside it.
//
// The object and its host must outlive a running check: to close a project, call requestStop()
// and destroy the frame only after finished() (connected with Qt::QueuedConnection, or while
// isRunning() is false).
class CheckRun : public QObject {
    Q_OBJECT
public:
    explicit CheckRun(RunHost& host, QObject* parent = nullptr);
    ~CheckRun() override;

    bool SiteAddressIsValid();
    bool AnyKeywordGiven() const;

    void ButtonClick();
    void ButtonPauseClick();
    void ButtonStopClick();
    void TimerTimer();

    bool isRunning() const { return m_running; }
    // The project's HTTP clients.
    EngineClients& clients() { return m_clients; }
    // Asks a running check to stop, as the stop button does; nothing when no check runs.
    void requestStop();

    std::uint32_t CheckStartTick() const { return m_checkStartTick; }
    std::uint32_t CheckElapsed() const { return m_checkElapsed; } // whole seconds

    // The locale whose long time format shows the elapsed time; the user's by default.
    void setLocale(const QLocale& locale) { m_locale = locale; }
    // Told about every check from its start to its end; nullptr for none. Not while a check runs.
    void setObserver(RunObserver* observer);

    static const QString kSiteAddressMessage;
    static const QString kKeywordMessage;
    static const QString kPauseCaption;
    static const QString kContinueCaption;
    static const QString kNothingAnsweredMessage;

signals:
    void started();
    // Emitted as the last thing ButtonClick does for a check that ran (after the error box).
    void finished();

private:
    void startSteps();
    void lookupSteps();
    void endSteps(bool normalEnd);
    void showElapsed();

    RunHost& m_host;
    ObservedLookupHost m_observed;
    RunObserver* m_observer = nullptr;
    EngineClients m_clients;
    EngineLookups m_lookups;
    SiteMetrics m_metrics;
    RegExpr m_addressPattern;
    QLocale m_locale;
    std::uint32_t m_checkStartTick = 0;
    std::uint32_t m_checkElapsed = 0;
    bool m_running = false;
};
