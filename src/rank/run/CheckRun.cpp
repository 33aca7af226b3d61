#include "rank/run/CheckRun.h"

#include "platform/CodePage.h"
#include "platform/TickCount.h"
#include "rank/run/ElapsedTime.h"
#include "rank/run/RunHost.h"
#include "rank/run/RunObserver.h"

#include <QtGlobal>

const QString CheckRun::kSiteAddressMessage
    = QStringLiteral("Необходимо правильно указать адрес контролируемого сайта!");
const QString CheckRun::kKeywordMessage = QStringLiteral("Необходимо указать хотябы одно ключевое слово!");
const QString CheckRun::kPauseCaption = QStringLiteral("Пауза");
const QString CheckRun::kContinueCaption = QStringLiteral("Продолжить");
const QString CheckRun::kNothingAnsweredMessage
    = QStringLiteral("Проверка закончилась, но ни один запрос не получил ответа.\nПоследняя ошибка: %1");

namespace {

constexpr int kKeywordCount = 7;

} // namespace

CheckRun::CheckRun(RunHost& host, QObject* parent)
    : QObject(parent)
    , m_host(host)
    , m_observed(host)
    , m_lookups(m_observed, m_clients)
    , m_metrics(host, m_clients)
    , m_addressPattern(QByteArrayLiteral("(http://)([_a-z\\d\\-\\.]+\\.[\\w]*)(/?)"))
{
}

CheckRun::~CheckRun()
{
    Q_ASSERT_X(!m_running, "CheckRun", "destroyed while its check runs");
}

void CheckRun::setObserver(RunObserver* observer)
{
    Q_ASSERT(!m_running);
    m_observer = observer;
    m_observed.setObserver(observer);
}

bool CheckRun::SiteAddressIsValid()
{
    const QByteArray site = CodePage::toAnsi(m_host.siteText());
    return !site.isEmpty() && m_addressPattern.exec(site);
}

bool CheckRun::AnyKeywordGiven() const
{
    for (int n = 1; n <= kKeywordCount; ++n) {
        if (!m_host.keyword(n).isEmpty())
            return true;
    }
    return false;
}

void CheckRun::ButtonClick()
{
    if (m_running)
        return;
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
    if (m_observer)
        m_observer->checkStarted(m_host);
    QString error;
    bool failed = false;
    try {
        lookupSteps();
    } catch (const std::exception& e) {
        failed = true;
        error = QString::fromUtf8(e.what());
    } catch (...) {
        endSteps(false);
        if (m_observer)
            m_observer->checkEnded(RunEnd::Failed, QStringLiteral("unknown error"));
        m_running = false;
        throw;
    }
    endSteps(!failed);
    if (m_observer)
        m_observer->checkEnded(
            failed ? RunEnd::Failed : (m_host.stopRequested() ? RunEnd::Stopped : RunEnd::Completed), error);
    if (failed)
        m_host.showError(error);
    else if (!m_host.stopRequested() && m_clients.answered() == 0)
        m_host.nothingAnswered(m_clients.lastFailure());
    m_running = false;
    emit finished();
}

void CheckRun::startSteps()
{
    m_clients.resetTally();
    m_checkElapsed = 0;
    m_checkStartTick = TickCount::now();
    m_host.setTimeText(formatElapsed(m_checkElapsed, m_locale));
    m_host.setStartEnabled(false);
    m_host.setStopRequested(false);
    m_host.setRunning(true);
    m_host.setPaused(false);
    m_host.setTimerActive(true);
    for (Engine engine : kEngines)
        m_host.setGauge(engine, 0);
}

void CheckRun::lookupSteps()
{
    m_host.waitWhilePaused();
    const MetricResult cy = m_metrics.FetchYandexCY();
    m_host.setYandexCY(cy.text, cy.why);
    if (m_observer)
        m_observer->metricRead(SiteMetric::YandexCY, cy.text, cy.why);
    m_host.waitWhilePaused();
    const MetricResult pr = m_metrics.FetchPageRank();
    m_host.setGooglePR(pr.text, pr.why);
    if (m_observer)
        m_observer->metricRead(SiteMetric::GooglePR, pr.text, pr.why);
    for (int n = 1; n <= kKeywordCount; ++n) {
        for (Engine engine : kEngines) {
            m_host.waitWhilePaused();
            m_lookups.check(engine, n);
            m_host.lookupDone(engine, n);
        }
    }
    m_host.waitWhilePaused();
}

void CheckRun::endSteps(bool normalEnd)
{
    m_host.setTimerActive(false);
    showElapsed();
    m_host.setStartEnabled(true);
    m_host.setPaused(false);
    m_host.setRunning(false);
    m_host.setPauseCaption(kPauseCaption);
    m_host.processEvents();
    if (normalEnd)
        m_host.processEvents();
}

// A stopping check is not paused: it would hold the stop (and a closing project) indefinitely.
void CheckRun::ButtonPauseClick()
{
    if (!m_running || m_host.stopRequested())
        return;
    m_host.processEvents();
    const bool paused = !m_host.paused();
    m_host.setPaused(paused);
    m_host.setTimerActive(!paused);
    m_host.setPauseCaption(paused ? kContinueCaption : kPauseCaption);
    m_host.processEvents();
}

void CheckRun::ButtonStopClick()
{
    if (!m_running)
        return;
    m_host.processEvents();
    m_host.setStopRequested(true);
    m_host.setPaused(false);
    m_host.setPauseCaption(kPauseCaption);
    // A request that hangs would otherwise hold the stop until the server gives up.
    m_clients.abortAll();
    m_host.processEvents();
}

void CheckRun::requestStop()
{
    ButtonStopClick();
}

void CheckRun::TimerTimer()
{
    showElapsed();
    m_host.processEvents();
}

void CheckRun::showElapsed()
{
    m_checkElapsed = elapsedSecondsSince(m_checkStartTick);
    m_host.setTimeText(formatElapsed(m_checkElapsed, m_locale));
}
