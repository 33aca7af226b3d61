#include "SandboxLookupTest.h"

#include "rank/pattern/RegExpr.h"

#include <QTimer>

using RequestAttemptsTest = SandboxLookupTest;

TEST_F(RequestAttemptsTest, GoogleCountsFailuresPerPage)
{
    command("place GoogleCom kw 13\nstatus GoogleCom 500 5");
    // Five more failures on the second page, once the first page has been read.
    m_host.onPauseWait = [this](int call) {
        if (call == 7)
            command("status GoogleCom 503 5");
    };
    m_lookups.CheckGoogleCom(1);
    EXPECT_EQ(cell("RankGoogleCom1").text, "13");
    EXPECT_EQ(cell("RankGoogleCom1").resultPage, 2);
    EXPECT_EQ(requestCount("GoogleCom"), 12);
}

TEST_F(RequestAttemptsTest, AportCountsFailuresPerScan)
{
    command("place AportRu kw 2/1\nstatus AportRu 500 3");
    m_host.onPauseWait = [this](int call) {
        if (call == 5)
            command("status AportRu 500 3");
    };
    m_lookups.CheckAportRu(1);
    EXPECT_EQ(cell("RankAportRu1").text, "n/a");
    EXPECT_EQ(cell("RankAportRu1").resultPage, 50);
    EXPECT_EQ(requestCount("AportRu"), 7);
}

TEST_F(RequestAttemptsTest, RedirectsAreRetriedNotFollowed)
{
    command("place GoogleCom kw 3\nredirect GoogleCom 1\nlocation200 GoogleCom 1");
    m_lookups.CheckGoogleCom(1);
    EXPECT_EQ(cell("RankGoogleCom1").text, "3");
    EXPECT_EQ(cell("RankGoogleCom1").resultPage, 1);
    EXPECT_EQ(targets("GoogleCom"), QList<QByteArray>(3, "/search?q=%6B%77&hl=ru&start=0&sa=N"));
}

TEST_F(RequestAttemptsTest, SixRedirectsEndTheScan)
{
    command("place RamblerRu kw 3\nredirect RamblerRu");
    m_lookups.CheckRamblerRu(1);
    EXPECT_EQ(cell("RankRamblerRu1").text, "n/a");
    EXPECT_EQ(cell("RankRamblerRu1").resultPage, 50);
    EXPECT_EQ(requestCount("RamblerRu"), 6);
}

TEST_F(RequestAttemptsTest, StopBeforeALookupLeavesEverythingAlone)
{
    m_host.cells["RankGoogleCom1"] = { QStringLiteral("5"), 1, RankTestHost::State::Written, {} };
    m_host.stop = true;
    for (Engine engine : kEngines)
        m_lookups.check(engine, 1);
    m_host.stop = false;
    m_host.checked[Engine::GoogleCom] = false;
    m_lookups.CheckGoogleCom(1);

    EXPECT_TRUE(m_host.events.isEmpty());
    EXPECT_EQ(cell("RankGoogleCom1").text, "5");
    EXPECT_EQ(m_host.settingsReads, 0);
    EXPECT_TRUE(m_sandbox.requests().isEmpty());
}

TEST_F(RequestAttemptsTest, StopDuringAScanEndsItAtTheNextAttempt)
{
    command("place GoogleCom kw 0");
    m_host.onPauseWait = [this](int call) {
        if (call == 2)
            m_host.stop = true;
    };
    m_lookups.CheckGoogleCom(1);
    // The request already past its pause wait is sent and its page counted.
    EXPECT_EQ(cell("RankGoogleCom1").text, "n/a");
    EXPECT_EQ(cell("RankGoogleCom1").resultPage, 2);
    EXPECT_EQ(requestCount("GoogleCom"), 2);
}

TEST_F(RequestAttemptsTest, StopPressedWhilePausedSendsThePendingRequest)
{
    command("place MSNCom kw 0");
    m_host.onPauseWait = [this](int call) {
        if (call != 3)
            return;
        m_host.pausedFlag = true;
        QTimer::singleShot(20, [this] {
            m_host.stop = true;
            m_host.pausedFlag = false;
        });
    };
    m_lookups.CheckMSNCom(1);
    EXPECT_EQ(cell("RankMSNCom1").resultPage, 3);
    EXPECT_EQ(requestCount("MSNCom"), 3);
}

TEST_F(RequestAttemptsTest, AnAbortedTransferEndsTheScanAsAStop)
{
    command("place GoogleCom kw 1\nstall GoogleCom 1");
    // Only the transfer is aborted: a retry would find the site on the next attempt.
    QTimer aborter;
    QObject::connect(&aborter, &QTimer::timeout, [this, &aborter] {
        if (m_clients.engine(Engine::GoogleCom).busy()) {
            aborter.stop();
            m_clients.engine(Engine::GoogleCom).abort();
        }
    });
    aborter.start(10);
    m_lookups.CheckGoogleCom(1);
    EXPECT_EQ(cell("RankGoogleCom1").text, "n/a");
    EXPECT_EQ(cell("RankGoogleCom1").resultPage, 50);
    EXPECT_EQ(m_host.pauseWaits, 1);
}

TEST_F(RequestAttemptsTest, EmptyKeywordResetsTheCellWithoutARequest)
{
    m_host.keywords[0].clear();
    m_host.cells["RankRamblerRu1"] = { QStringLiteral("8"), 1, RankTestHost::State::Written, {} };
    m_host.cells["CountYandexRu1"] = { QStringLiteral("300"), 0, RankTestHost::State::Written, {} };
    m_lookups.CheckRamblerRu(1);
    m_lookups.CheckYandexRu(1);
    EXPECT_EQ(m_host.events,
        QStringList({ "gauge RamblerRu 15", "reset RankRamblerRu1", "gauge YandexRu 15",
            "reset RankYandexRu1", "reset CountYandexRu1" }));
    EXPECT_FALSE(cell("RankRamblerRu1").written());
    EXPECT_FALSE(cell("CountYandexRu1").written());
    EXPECT_TRUE(m_sandbox.requests().isEmpty());
}

TEST_F(RequestAttemptsTest, AKeywordOfSpacesIsSent)
{
    m_host.keywords[0] = QStringLiteral("  ");
    command("place AportRu * 1");
    m_lookups.CheckAportRu(1);
    EXPECT_EQ(targets("AportRu"), QList<QByteArray>({ "/scripts/template.dll?p=0&r=%20%20" }));
}

TEST_F(RequestAttemptsTest, ASiteAddressThatBreaksThePatternFailsAfterTheFirstPage)
{
    m_host.site = QStringLiteral("http://www.bad(site.ru/");
    EXPECT_THROW(m_lookups.CheckAportRu(1), ERegExpr);
    EXPECT_EQ(m_host.events, QStringList({ "gauge AportRu 15", "reset RankAportRu1" }));
    EXPECT_EQ(requestCount("AportRu"), 1);

    EXPECT_THROW(m_lookups.CheckYandexRu(1), ERegExpr);
    EXPECT_TRUE(cell("CountYandexRu1").written());
    EXPECT_FALSE(cell("RankYandexRu1").written());
    EXPECT_EQ(requestCount("YandexRu"), 1);
}

TEST_F(RequestAttemptsTest, ProxySettingsAreAppliedOncePerLookup)
{
    command("place GoogleCom kw 13");
    m_lookups.CheckGoogleCom(1);
    EXPECT_EQ(m_host.settingsReads, 1);

    m_host.connection.useProxy = true;
    m_host.connection.port = QStringLiteral("port");
    EXPECT_THROW(m_lookups.CheckGoogleRu(1), EConvertError);
    EXPECT_EQ(requestCount("GoogleRu"), 0);
}

TEST_F(RequestAttemptsTest, AStalledAttemptCountsAsAFailedOne)
{
    Endpoints endpoints = Endpoints::fromFile(m_sandbox.endpointsFile());
    endpoints.lowSpeedSeconds = 1;
    Endpoints::setCurrent(endpoints);
    command("place RamblerRu kw 3\nstall RamblerRu 2");
    m_lookups.CheckRamblerRu(1);
    EXPECT_EQ(cell("RankRamblerRu1").text, "3");
    EXPECT_EQ(requestCount("RamblerRu"), 3);

    command("reset\nstall MSNCom");
    m_lookups.CheckMSNCom(1);
    EXPECT_EQ(cell("RankMSNCom1").text, "n/a");
    EXPECT_EQ(requestCount("MSNCom"), 6);
    EXPECT_TRUE(cell("RankMSNCom1").why.detail.contains(QStringLiteral(": сервер не отвечает (")))
        << cell("RankMSNCom1").why.detail.toStdString();
}
