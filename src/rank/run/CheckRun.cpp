#include "rank/run/CheckRun.h"

#include "platform/CodePage.h"
#include "platform/TickCount.h"
#include "rank/lookup/EngineTable.h"
#include "rank/lookup/LookupHost.h"
#include "rank/run/ElapsedTime.h"
#include "rank/run/RunHost.h"
#include "rank/run/RunObserver.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QScopedValueRollback>
#include <QtGlobal>
#include <algorithm>

const QString CheckRun::kSiteAddressMessage
    = QStringLiteral("Необходимо правильно указать адрес контролируемого сайта!");
const QString CheckRun::kKeywordMessage = QStringLiteral("Необходимо указать хотябы одно ключевое слово!");
const QString CheckRun::kPauseCaption = QStringLiteral("Пауза");
const QString CheckRun::kContinueCaption = QStringLiteral("Продолжить");
const QString CheckRun::kNothingAnsweredMessage
    = QStringLiteral("Проверка закончилась, но ни один запрос не получил ответа.\nПоследняя ошибка: %1");

// What the lookups read and write: the project's inputs, the run's stop and pause, and the results,
// each change told to the views and the observer.
class CheckRun::Lookups : public LookupHost {
public:
    explicit Lookups(CheckRun& run)
        : m_run(run)
    {
    }

    QString siteText() const override { return m_run.m_project.site; }
    QString keyword(int n) const override { return m_run.m_project.keyword(n); }
    bool engineChecked(Engine engine) const override { return m_run.m_project.isTicked(engine); }
    ConnectionSettings connectionSettings() const override { return m_run.m_host.connectionSettings(); }
    bool stopRequested() const override { return m_run.m_stopRequested; }
    void waitWhilePaused() override { m_run.waitWhilePaused(); }
    void processEvents() override { m_run.processEvents(); }
    void advanceGauge(Engine engine, int step) override
    {
        m_run.setGauge(engine, m_run.m_results.gauge(engine) + step);
    }

    void resetRankCell(Engine engine, int n) override
    {
        m_run.m_results.rank(engine, n) = { {}, 0, {}, {}, CellResult::State::Reset };
        emit m_run.cellChanged(engine, n);
    }

    void resetCountCell(Engine engine, int n) override
    {
        m_run.m_results.count(engine, n) = { {}, 0, {}, {}, CellResult::State::Reset };
        emit m_run.cellChanged(engine, n);
    }

    void writeCountCell(Engine engine, int n, const QString& text, const Outcome& why) override
    {
        m_run.m_results.count(engine, n) = { text, 0, why, {}, CellResult::State::Written };
        emit m_run.cellChanged(engine, n);
        if (m_run.m_observer)
            m_run.m_observer->countWritten(engine, n, keyword(n), text, why);
    }

    void writeRankCell(Engine engine, int n, const QString& text, int resultPage, const Outcome& why) override
    {
        m_run.m_results.rank(engine, n) = { text, resultPage, why, {}, CellResult::State::Written };
        emit m_run.cellChanged(engine, n);
        if (m_run.m_observer)
            m_run.m_observer->rankWritten(engine, n, keyword(n), text, resultPage, why);
    }

    // An unticked engine or a stopped check keeps what the cells show; the cells of an empty
    // keyword, just blanked, say why they stay empty.
    void notAsked(Engine engine, int n, const Outcome& why) override
    {
        CellResult& rank = m_run.m_results.rank(engine, n);
        if (why.reason == Reason::NotAsked && rank.state == CellResult::State::Reset) {
            rank.why = why;
            if (engineRow(engine).hasQueryCount())
                m_run.m_results.count(engine, n).why = why;
            emit m_run.cellChanged(engine, n);
        }
        if (m_run.m_observer)
            m_run.m_observer->notAsked(engine, n, why);
    }

private:
    CheckRun& m_run;
};

CheckRun::CheckRun(const Project& project, ProjectResults& results, RunHost& host, QObject* parent)
    : QObject(parent)
    , m_edited(project)
    , m_project(project)
    , m_host(host)
    , m_results(results)
    , m_lookupHost(std::make_unique<Lookups>(*this))
    , m_lookups(*m_lookupHost, m_clients)
    , m_metrics(*m_lookupHost, m_clients)
    , m_addressPattern(QByteArrayLiteral("(http://)([_a-z\\d\\-\\.]+\\.[\\w]*)(/?)"))
{
    // The clock wakes when the shown time changes, once a second, and not at all where no time is shown.
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setObjectName(QStringLiteral("Timer"));
    connect(&m_timer, &QTimer::timeout, this, &CheckRun::TimerTimer);
}

CheckRun::~CheckRun()
{
    Q_ASSERT_X(!m_running, "CheckRun", "destroyed while its check runs");
}

void CheckRun::setObserver(RunObserver* observer)
{
    Q_ASSERT(!m_running);
    m_observer = observer;
}

bool CheckRun::SiteAddressIsValid()
{
    const QByteArray site = CodePage::toAnsi((m_running ? m_project : m_edited).site);
    return !site.isEmpty() && m_addressPattern.exec(site);
}

bool CheckRun::AnyKeywordGiven() const
{
    return (m_running ? m_project : m_edited).anyKeyword();
}

void CheckRun::ButtonClick()
{
    if (m_running)
        return;
    m_project = m_edited;
    try {
        if (!SiteAddressIsValid()) {
            m_host.showMessage(kSiteAddressMessage);
            return;
        }
        if (!AnyKeywordGiven()) {
            m_host.showMessage(kKeywordMessage);
            return;
        }
    } catch (const std::exception& e) {
        m_host.showError(QString::fromUtf8(e.what()));
        return;
    }

    m_running = true;
    emit started();
    startSteps();
    if (m_observer) {
        m_observer->checkStarted(m_project);
        if (m_results.apiRequestsPlanned.total() > 0)
            m_observer->apiRequestsPlanned(m_results.apiRequestsPlanned);
    }
    if (m_results.apiRequestsPlanned.total() > 0)
        emit apiRequestsPlanned();
    QString error;
    bool failed = false;
    try {
        lookupSteps();
    } catch (const std::exception& e) {
        failed = true;
        error = QString::fromUtf8(e.what());
    } catch (...) {
        m_results.apiRequests = m_clients.apiRequests();
        if (m_observer)
            m_observer->apiRequestsSpent(m_results.apiRequests);
        endSteps(false);
        if (m_observer)
            m_observer->checkEnded(RunEnd::Failed, QStringLiteral("неизвестная ошибка"));
        m_running = false;
        throw;
    }
    m_results.apiRequests = m_clients.apiRequests();
    if (m_observer)
        m_observer->apiRequestsSpent(m_results.apiRequests);
    endSteps(!failed);
    m_results.stopped = m_stopRequested;
    if (failed)
        m_results.error = error;
    else if (!m_stopRequested && m_clients.answered() == 0)
        m_results.nothingAnswered = m_clients.lastFailure();
    if (m_observer) {
        if (m_results.nothingAnswered)
            m_observer->checkEnded(RunEnd::NothingAnswered, *m_results.nothingAnswered);
        else
            m_observer->checkEnded(
                failed ? RunEnd::Failed : (m_stopRequested ? RunEnd::Stopped : RunEnd::Completed), error);
    }
    if (failed)
        m_host.showError(error);
    else if (m_results.nothingAnswered)
        m_host.showMessage(kNothingAnsweredMessage.arg(*m_results.nothingAnswered));
    m_running = false;
    emit finished();
}

QString CheckRun::apiRequestsPlannedText(const ApiRequestCounts& most)
{
    if (most.total() == 0)
        return {};
    QStringList parts;
    for (SourceKind source : kApiSources) {
        if (most[source] > 0)
            parts << QStringLiteral("%1 — %2").arg(sourceCaption(source)).arg(most[source]);
    }
    return QStringLiteral("Запросов к API — не больше %1: %2")
        .arg(most.total())
        .arg(parts.join(QStringLiteral(", ")));
}

QString CheckRun::apiRequestsSpentText(const ApiRequestCounts& spent)
{
    QStringList parts;
    for (SourceKind source : kApiSources) {
        if (spent[source] > 0)
            parts << QStringLiteral("%1 — %2").arg(sourceCaption(source)).arg(spent[source]);
    }
    const QString text = QStringLiteral("Потрачено запросов к API: %1").arg(spent.total());
    return parts.isEmpty() ? text : text + QStringLiteral(" (%1)").arg(parts.join(QStringLiteral(", ")));
}

void CheckRun::startSteps()
{
    m_clients.resetTally();
    // Definitions changed from now on take effect at the next check.
    m_clients.useDefinitions(definitionsForRegion(EngineDefinitions::current(), m_project.region));
    m_results.beginCheck();
    m_results.region = m_project.region;
    m_results.definitionsVersion = m_clients.definitions().version;
    m_results.definitionsInForce = definitionsInForceText(m_clients.definitions());
    m_results.definitionsSource = definitionsSourceCode(m_clients.definitions().source);
    std::array<bool, kEngines.size()> ticked {};
    int keywords = 0;
    for (Engine engine : kEngines)
        ticked.at(std::size_t(engine)) = m_project.isTicked(engine);
    for (int n = 1; n <= Project::KeywordCount; ++n)
        keywords += CodePage::toAnsi(m_project.keyword(n)).isEmpty() ? 0 : 1;
    const SourceChoice choice = m_host.sourceChoice();
    m_clients.useSources(choice, {}, m_host.scheduledCheck());
    m_results.apiRequestsPlanned = m_clients.mostApiRequests(ticked, keywords);
    if (m_results.apiRequestsPlanned.total() > 0)
        m_clients.useSources(choice, m_host.sourceKeys(), m_host.scheduledCheck());
    m_checkElapsed = 0;
    m_checkStartTick = TickCount::now();
    m_results.elapsed = formatElapsed(m_checkElapsed, m_locale);
    emit figuresChanged();
    m_startEnabled = false;
    m_stopRequested = false;
    m_showsRunning = true;
    m_paused = false;
    startClock();
    emit stateChanged();
    for (Engine engine : kEngines)
        setGauge(engine, 0);
}

void CheckRun::lookupSteps()
{
    waitWhilePaused();
    m_results.cy = m_metrics.FetchYandexCY();
    emit figuresChanged();
    if (m_observer)
        m_observer->metricRead(SiteMetric::YandexCY, m_results.cy.text, m_results.cy.why);
    waitWhilePaused();
    m_results.pr = m_metrics.FetchPageRank();
    emit figuresChanged();
    if (m_observer)
        m_observer->metricRead(SiteMetric::GooglePR, m_results.pr.text, m_results.pr.why);
    for (int n = 1; n <= Project::KeywordCount; ++n) {
        for (Engine engine : kEngines) {
            waitWhilePaused();
            m_lookups.check(engine, n);
            emit lookupDone(engine, n);
        }
    }
    waitWhilePaused();
}

void CheckRun::endSteps(bool normalEnd)
{
    m_timer.stop();
    showElapsed();
    m_startEnabled = true;
    m_paused = false;
    m_showsRunning = false;
    m_pauseCaption = kPauseCaption;
    emit stateChanged();
    processEvents();
    if (normalEnd)
        processEvents();
}

// A stopping check is not paused: it would hold the stop (and a closing project) indefinitely.
void CheckRun::ButtonPauseClick()
{
    if (!m_running || m_stopRequested)
        return;
    processEvents();
    setPaused(!m_paused);
    if (m_paused)
        m_timer.stop();
    else
        startClock();
    m_pauseCaption = m_paused ? kContinueCaption : kPauseCaption;
    emit stateChanged();
    processEvents();
}

void CheckRun::ButtonStopClick()
{
    if (!m_running)
        return;
    processEvents();
    m_stopRequested = true;
    setPaused(false);
    m_pauseCaption = kPauseCaption;
    emit stateChanged();
    // A request that hangs would otherwise hold the stop until the server gives up.
    m_clients.abortAll();
    processEvents();
}

void CheckRun::requestStop()
{
    ButtonStopClick();
}

void CheckRun::TimerTimer()
{
    showElapsed();
    startClock();
    processEvents();
}

// Due when the elapsed time reaches its next whole second.
void CheckRun::startClock()
{
    if (m_host.showsClock())
        m_timer.start(static_cast<int>(1000 - TickCount::since(m_checkStartTick) % 1000));
}

void CheckRun::showElapsed()
{
    m_checkElapsed = elapsedSecondsSince(m_checkStartTick);
    m_results.elapsed = formatElapsed(m_checkElapsed, m_locale);
    emit figuresChanged();
}

void CheckRun::setPaused(bool paused)
{
    m_paused = paused;
    if (!paused && m_pauseLoop)
        m_pauseLoop->quit();
}

void CheckRun::setGauge(Engine engine, int position)
{
    m_results.gauge(engine) = std::clamp(position, 0, 100);
    emit gaugeChanged(engine);
}

// Pumps pending events once, then waits on the event loop while the check is paused. A stop ends
// the wait as well: the lookups test the stop flag right after it.
void CheckRun::waitWhilePaused()
{
    processEvents();
    while (m_paused && !m_stopRequested) {
        QEventLoop loop;
        const QScopedValueRollback<QEventLoop*> waiting(m_pauseLoop, &loop);
        loop.exec();
    }
}

void CheckRun::processEvents()
{
    QCoreApplication::processEvents();
}
