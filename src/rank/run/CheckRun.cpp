#include "rank/run/CheckRun.h"

#include "platform/CodePage.h"
#include "platform/TickCount.h"
#include "net/HttpClient.h"
#include "rank/run/ElapsedTime.h"
#include "rank/run/RunHost.h"

#include <QtGlobal>

const QString CheckRun::kSiteAddressMessage
    = QStringLiteral("Необходимо правильно указать адрес контролируемого сайта!");
const QString CheckRun::kKeywordMessage = QStringLiteral("Необходимо указать хотябы одно ключевое слово!");
const QString CheckRun::kPauseCaption = QStringLiteral("Пауза");
const QString CheckRun::kContinueCaption = QStringLiteral("Продолжить");

namespace {

constexpr int kKeywordCount = 7;

// Gauges are zeroed in this order, which differs from the lookup order.
constexpr Engine kGaugeResetOrder[] = { Engine::GoogleCom, Engine::GoogleRu, Engine::YandexRu,
    Engine::AportRu, Engine::RamblerRu, Engine::MSNCom };

} // namespace

CheckRun::CheckRun(RunHost& host, QObject* parent)
    : QObject(parent)
    , m_host(host)
    , m_lookups(host)
    , m_metrics(host)
    , m_addressPattern(QByteArrayLiteral("(http://)([_a-z\\d\\-\\.]+\\.[\\w]*)(/?)"))
{
}

CheckRun::~CheckRun()
{
    Q_ASSERT_X(!m_running, "CheckRun", "destroyed while its check runs");
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
    QString error;
    bool failed = false;
    try {
        lookupSteps();
    } catch (const std::exception& e) {
        failed = true;
        error = QString::fromUtf8(e.what());
    } catch (...) {
        endSteps(false);
        m_running = false;
        throw;
    }
    endSteps(!failed);
    if (failed)
        m_host.showError(error);
    m_running = false;
    emit finished();
}

void CheckRun::startSteps()
{
    m_checkElapsed = 0;
    m_checkStartTick = TickCount::now();
    m_host.setTimeText(formatElapsed(m_checkElapsed, m_locale));
    m_host.setStartEnabled(false);
    m_host.setStopRequested(false);
    m_host.setRunning(true);
    m_host.setPaused(false);
    m_host.setTimerActive(true);
    for (Engine engine : kGaugeResetOrder)
        m_host.setGauge(engine, 0);
}

void CheckRun::lookupSteps()
{
    m_host.waitWhilePaused();
    m_host.setYandexCY(m_metrics.FetchYandexCY());
    m_host.waitWhilePaused();
    m_host.setGooglePR(m_metrics.FetchPageRank());
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
    abortTransfers();
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

// A request that hangs would otherwise hold the stop until the server gives up.
void CheckRun::abortTransfers()
{
    for (Engine engine : kEngines) {
        HttpClient& client = m_host.engineClient(engine);
        if (client.busy())
            client.abort();
    }
    if (m_host.metricsClient().busy())
        m_host.metricsClient().abort();
}
