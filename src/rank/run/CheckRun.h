#pragma once

#include "rank/lookup/EngineClients.h"
#include "rank/lookup/EngineLookups.h"
#include "rank/lookup/SiteMetrics.h"
#include "rank/pattern/RegExpr.h"
#include "rank/project/ProjectResults.h"

#include <QLocale>
#include <QObject>
#include <QTimer>
#include <cstdint>
#include <memory>

class QEventLoop;
class RunHost;
class RunObserver;

// One project's check run: validates the input, reads the CY and the PageRank, calls the 42
// lookups in their fixed order, writes what they find into the project's results, keeps the
// elapsed-time clock and handles pause and stop. The whole check runs inside ButtonClick; every
// wait pumps the event loop, so the pause, stop and clock handlers run nested inside it. Views
// follow the signals.
//
// The object, its project, its results and its host must outlive a running check: to close a project, call
// requestStop() and destroy the run only after finished() (connected with Qt::QueuedConnection,
// or while isRunning() is false).
class CheckRun : public QObject {
    Q_OBJECT
public:
    CheckRun(const Project& project, ProjectResults& results, RunHost& host, QObject* parent = nullptr);
    ~CheckRun() override;

    const Project& project() const { return m_project; }
    const ProjectResults& results() const { return m_results; }

    bool SiteAddressIsValid();
    bool AnyKeywordGiven() const;

    void ButtonClick();
    void ButtonPauseClick();
    void ButtonStopClick();
    void TimerTimer();

    // ButtonClick is under way.
    bool isRunning() const { return m_running; }
    // What the buttons show: start swapped for pause and stop (SetRunning), the start button
    // enabled, and the pause button's caption.
    bool showsRunning() const { return m_showsRunning; }
    bool startEnabled() const { return m_startEnabled; }
    const QString& pauseCaption() const { return m_pauseCaption; }
    bool paused() const { return m_paused; } // FPaused
    bool stopRequested() const { return m_stopRequested; } // FStopRequested
    bool clockRunning() const { return m_timer.isActive(); }

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

    // "Запросов к API — не больше 14: Yandex Search API — 14"; empty when none is planned.
    static QString apiRequestsPlannedText(const ApiRequestCounts& most);
    // "Потрачено запросов к API: 3 (Yandex Search API — 2, Yandex Wordstat API — 1)".
    static QString apiRequestsSpentText(const ApiRequestCounts& spent);

signals:
    void started();
    // Emitted as the last thing ButtonClick does for a check that ran (after the error box).
    void finished();
    void cellChanged(Engine engine, int n); // the rank or the count cell of keyword n on the engine
    void gaugeChanged(Engine engine);
    void figuresChanged(); // CY, PageRank or the time
    void stateChanged(); // the buttons, the pause or the clock
    void lookupDone(Engine engine, int n); // after each of the 42 lookups, also one that did nothing
    // At the start of a check that may ask API sources: the results hold the most it may spend.
    void apiRequestsPlanned();

private:
    class Lookups;

    void startSteps();
    void lookupSteps();
    void endSteps(bool normalEnd);
    void showElapsed();
    void startClock();
    void setGauge(Engine engine, int position);
    void setPaused(bool paused);
    void waitWhilePaused();
    void processEvents();

    const Project& m_edited; // the project as its window edits it
    Project m_project; // as it stood when the check started: what is asked is what is recorded
    RunHost& m_host;
    ProjectResults& m_results;
    RunObserver* m_observer = nullptr;
    EngineClients m_clients;
    std::unique_ptr<Lookups> m_lookupHost; // what the lookups read and write
    EngineLookups m_lookups;
    SiteMetrics m_metrics;
    RegExpr m_addressPattern;
    QLocale m_locale;
    QTimer m_timer;
    QEventLoop* m_pauseLoop = nullptr; // the wait of a paused check
    std::uint32_t m_checkStartTick = 0;
    std::uint32_t m_checkElapsed = 0;
    bool m_running = false;
    bool m_showsRunning = false;
    bool m_startEnabled = true;
    bool m_paused = false;
    bool m_stopRequested = false;
    QString m_pauseCaption = kPauseCaption;
};
