#include "net/Endpoints.h"
#include "platform/TickCount.h"
#include "rank/RankTestHost.h"
#include "rank/lookup/PageReading.h"
#include "rank/pattern/RegExpr.h"
#include "rank/run/CheckRun.h"
#include "rank/run/ElapsedTime.h"
#include "support/SandboxEngines.h"

#include <QTimer>
#include <gtest/gtest.h>

namespace {

using State = RankTestHost::State;

class CheckRunTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_sandbox.started());
        Endpoints::setCurrent(Endpoints::fromFile(m_sandbox.endpointsFile()));
        m_run.setLocale(QLocale(QLocale::Russian, QLocale::Russia));
    }

    void TearDown() override
    {
        Endpoints::setCurrent(Endpoints::defaults());
        TickCount::setOffsetForTesting(0);
    }

    void command(const QByteArray& lines) { ASSERT_TRUE(m_sandbox.command(lines)) << lines.constData(); }

    QStringList services() const
    {
        QStringList found;
        for (const auto& request : m_sandbox.requests())
            found << request.service;
        return found;
    }

    const RankTestHost::Cell& rank(Engine engine, int n)
    {
        return m_host.cells[RankTestHost::rankCell(engine, n)];
    }
    const RankTestHost::Cell& count(int n) { return m_host.cells[RankTestHost::countCell(n)]; }

    void expectIdle()
    {
        EXPECT_FALSE(m_run.isRunning());
        EXPECT_FALSE(m_host.running);
        EXPECT_TRUE(m_host.startEnabled);
        EXPECT_FALSE(m_host.timerActive);
        EXPECT_FALSE(m_host.pausedFlag);
        EXPECT_EQ(m_host.pauseCaption, QStringLiteral("Пауза"));
    }

    SandboxEngines m_sandbox { 2 };
    RankTestHost m_host;
    CheckRun m_run { m_host };
};

TEST_F(CheckRunTest, OnlyKeywordFiveOnYandexWritesRowFiveAndBlanksTheOthers)
{
    m_host.fillWithOldResults();
    m_host.checked[Engine::YandexRu] = true;
    m_host.keywords[4] = QStringLiteral("kw5");
    command("place YandexRu kw5 7\ncount 1520\ncy 120\npr 4");

    m_run.ButtonClick();

    EXPECT_TRUE(m_host.messages.isEmpty());
    EXPECT_TRUE(m_host.errors.isEmpty());
    expectIdle();
    EXPECT_EQ(m_host.cy, QStringLiteral("120"));
    EXPECT_EQ(m_host.pr, QStringLiteral("4"));
    for (Engine engine : kEngines)
        EXPECT_EQ(m_host.gauges[engine], engine == Engine::YandexRu ? 100 : 0)
            << engineKey(engine).toStdString();
    EXPECT_EQ(rank(Engine::YandexRu, 5).state, State::Written);
    EXPECT_EQ(rank(Engine::YandexRu, 5).text, QStringLiteral("7"));
    EXPECT_EQ(rank(Engine::YandexRu, 5).resultPage, 1);
    EXPECT_EQ(count(5).text, QStringLiteral("1520"));
    for (int n : { 1, 2, 3, 4, 6, 7 }) {
        EXPECT_EQ(rank(Engine::YandexRu, n).state, State::Reset) << n;
        EXPECT_EQ(count(n).state, State::Reset) << n;
        EXPECT_TRUE(rank(Engine::YandexRu, n).text.isEmpty());
    }
    for (Engine engine :
        { Engine::GoogleCom, Engine::GoogleRu, Engine::RamblerRu, Engine::AportRu, Engine::MSNCom }) {
        for (int n = 1; n <= 7; ++n)
            EXPECT_EQ(rank(engine, n).state, State::Old);
    }
    for (const auto& request : m_sandbox.requests(QStringLiteral("YandexRu")))
        EXPECT_TRUE(request.target.contains("text=kw5")) << request.target.constData();
}

TEST_F(CheckRunTest, LookupsRunKeywordByKeywordInTheEngineOrder)
{
    m_host.keywords[0] = QStringLiteral("kw");
    int started = 0, finished = 0;
    bool runningWhenFinished = true;
    QObject::connect(&m_run, &CheckRun::started, [&] { ++started; });
    QObject::connect(&m_run, &CheckRun::finished, [&] {
        ++finished;
        runningWhenFinished = m_run.isRunning();
    });

    m_run.ButtonClick(); // no engine ticked: the 42 lookups return at once

    QStringList expected;
    for (int n = 1; n <= 7; ++n) {
        for (const char* engine : { "GoogleCom", "GoogleRu", "YandexRu", "RamblerRu", "AportRu", "MSNCom" })
            expected << QStringLiteral("%1 %2").arg(QLatin1String(engine)).arg(n);
    }
    EXPECT_EQ(m_host.lookups, expected);
    EXPECT_EQ(services(), QStringList({ "YandexCY", "PageRank" }));
    EXPECT_EQ(started, 1);
    EXPECT_EQ(finished, 1);
    EXPECT_FALSE(runningWhenFinished);

    // Every engine ticked, two keywords, the site first on every page: one request per lookup.
    m_sandbox.clearRequests();
    for (Engine engine : kEngines) {
        m_host.checked[engine] = true;
        command("place " + engineKey(engine).toLatin1() + " * 1");
    }
    m_host.keywords[1] = QStringLiteral("kw2");
    m_run.ButtonClick();
    QStringList order { "YandexCY", "PageRank" };
    for (int n = 1; n <= 2; ++n)
        order << "GoogleCom"
              << "GoogleRu"
              << "Wordstat"
              << "YandexRu"
              << "RamblerRu"
              << "AportRu"
              << "MSNCom";
    EXPECT_EQ(services(), order);
    for (Engine engine : kEngines)
        EXPECT_EQ(m_host.gauges[engine], 100);
}

TEST_F(CheckRunTest, StopDuringKeywordThreeKeepsTheLaterCells)
{
    m_host.fillWithOldResults();
    m_host.checked[Engine::GoogleCom] = true;
    m_host.checked[Engine::YandexRu] = true;
    for (int n = 1; n <= 7; ++n)
        m_host.keywords[n - 1] = QStringLiteral("kw%1").arg(n);
    command("place GoogleCom * 1\nplace YandexRu * 1");
    m_host.onEvent = [this](const QString& event) {
        if (event == QLatin1String("reset RankGoogleCom3"))
            m_run.ButtonStopClick();
    };

    m_run.ButtonClick();

    expectIdle();
    EXPECT_TRUE(m_host.stop);
    EXPECT_TRUE(m_host.errors.isEmpty());
    for (int n = 1; n <= 2; ++n) {
        EXPECT_EQ(rank(Engine::GoogleCom, n).text, QStringLiteral("1"));
        EXPECT_EQ(rank(Engine::YandexRu, n).state, State::Written);
    }
    // The lookup under way ends at its first attempt, before any request.
    EXPECT_EQ(rank(Engine::GoogleCom, 3).state, State::Written);
    EXPECT_EQ(rank(Engine::GoogleCom, 3).text, QStringLiteral("n/a"));
    EXPECT_EQ(rank(Engine::GoogleCom, 3).resultPage, 50);
    EXPECT_EQ(rank(Engine::YandexRu, 3).state, State::Old);
    for (int n = 4; n <= 7; ++n) {
        EXPECT_EQ(rank(Engine::GoogleCom, n).text, QStringLiteral("old"));
        EXPECT_EQ(rank(Engine::YandexRu, n).text, QStringLiteral("old"));
        EXPECT_EQ(count(n).text, QStringLiteral("old"));
    }
    EXPECT_EQ(m_host.gauges[Engine::GoogleCom], 45);
    EXPECT_EQ(m_host.gauges[Engine::YandexRu], 30);
    EXPECT_EQ(m_sandbox.requests(QStringLiteral("GoogleCom")).size(), 2);
    EXPECT_EQ(m_sandbox.requests(QStringLiteral("YandexRu")).size(), 2);
    EXPECT_EQ(m_host.lookups.size(), 42); // the rest return at once
    EXPECT_EQ(
        m_host.timeText, formatElapsed(m_run.CheckElapsed(), QLocale(QLocale::Russian, QLocale::Russia)));
}

TEST_F(CheckRunTest, StopEndsAHangingRequestAtOnce)
{
    m_host.checked[Engine::YandexRu] = true;
    m_host.keywords[0] = QStringLiteral("kw");
    command("stall YandexRu");
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [this] {
        if (m_run.clients().engine(Engine::YandexRu).busy() && !m_host.stop
            && !m_sandbox.requests(QStringLiteral("YandexRu")).isEmpty())
            m_run.ButtonStopClick();
    });
    poll.start(10);

    m_run.ButtonClick(); // would never return while the request hangs

    expectIdle();
    EXPECT_TRUE(m_host.stop);
    EXPECT_EQ(m_sandbox.requests(QStringLiteral("YandexRu")).size(), 1);
    EXPECT_EQ(rank(Engine::YandexRu, 1).text, QStringLiteral("n/a"));
    EXPECT_EQ(rank(Engine::YandexRu, 1).resultPage, 50);
}

TEST_F(CheckRunTest, PauseThenStopLeavesThePauseCaption)
{
    m_host.checked[Engine::YandexRu] = true;
    m_host.keywords[0] = QStringLiteral("kw");
    bool pausedOnce = false;
    m_host.onEvent = [&](const QString& event) {
        if (event != QLatin1String("write CountYandexRu1") || pausedOnce)
            return;
        pausedOnce = true;
        m_run.ButtonPauseClick();
        EXPECT_TRUE(m_host.pausedFlag);
        EXPECT_FALSE(m_host.timerActive);
        EXPECT_EQ(m_host.pauseCaption, QStringLiteral("Продолжить"));
        QTimer::singleShot(20, &m_run, [this] { m_run.ButtonStopClick(); });
    };

    m_run.ButtonClick();

    EXPECT_GE(m_host.pausedWaits, 1); // the scan's next attempt waited in the pause
    expectIdle();

    // The next check starts with "Пауза" and runs to its end.
    QString captionAtStart;
    m_host.onEvent = [&](const QString& event) {
        if (event == QLatin1String("wait") && captionAtStart.isEmpty())
            captionAtStart = m_host.pauseCaption;
    };
    m_run.ButtonClick();
    EXPECT_EQ(captionAtStart, QStringLiteral("Пауза"));
    EXPECT_FALSE(m_host.stop);
    EXPECT_EQ(rank(Engine::YandexRu, 1).state, State::Written);
    EXPECT_NE(rank(Engine::YandexRu, 1).text, QStringLiteral("n/a"));
}

TEST_F(CheckRunTest, PauseAndContinueRunsTheClockAgain)
{
    m_host.checked[Engine::RamblerRu] = true;
    m_host.keywords[0] = QStringLiteral("kw");
    command("place RamblerRu kw 1");
    bool timerOnAfterContinue = false;
    m_host.onEvent = [&](const QString& event) {
        if (event != QLatin1String("reset RankRamblerRu1"))
            return;
        m_run.ButtonPauseClick();
        QTimer::singleShot(20, &m_run, [&] {
            m_run.ButtonPauseClick();
            timerOnAfterContinue = m_host.timerActive && m_host.pauseCaption == QStringLiteral("Пауза");
        });
    };

    m_run.ButtonClick();

    EXPECT_GE(m_host.pausedWaits, 1);
    EXPECT_TRUE(timerOnAfterContinue);
    EXPECT_EQ(rank(Engine::RamblerRu, 1).text, QStringLiteral("1"));
    expectIdle();
}

TEST_F(CheckRunTest, ProxyPortWithALetterEndsTheCheckBeforeAnyRequest)
{
    m_host.fillWithOldResults();
    m_host.checked[Engine::YandexRu] = true;
    m_host.keywords[0] = QStringLiteral("kw");
    m_host.connection.useProxy = true;
    m_host.connection.server = QStringLiteral("127.0.0.1");

    for (const QString& port : { QStringLiteral("80a"), QString() }) {
        m_host.errors.clear();
        m_host.connection.port = port;
        m_run.ButtonClick();
        EXPECT_EQ(
            m_host.errors, QStringList { QStringLiteral("'%1' is not a valid integer value").arg(port) });
        EXPECT_TRUE(m_sandbox.requests().isEmpty());
        expectIdle();
        EXPECT_EQ(rank(Engine::YandexRu, 1).text, QStringLiteral("old"));
        EXPECT_EQ(m_host.gauges[Engine::YandexRu], 0);
    }

    // The start button works again.
    m_host.connection.useProxy = false;
    m_host.errors.clear();
    m_run.ButtonClick();
    EXPECT_TRUE(m_host.errors.isEmpty());
    EXPECT_EQ(rank(Engine::YandexRu, 1).state, State::Written);
}

TEST_F(CheckRunTest, SiteThatBreaksAPatternEndsTheCheckWithThePatternError)
{
    m_host.site = QStringLiteral("http://www.example.ru/(");
    m_host.checked[Engine::YandexRu] = true;
    m_host.keywords[0] = QStringLiteral("kw");
    QString expected;
    try {
        RegExpr("<b>.*? (\\d+).*?</b>|<a href=.*?www.example.ru/(.*?>(\\d+?)</a>").compile();
    } catch (const ERegExpr& e) {
        expected = QString::fromUtf8(kSiteAddressError) + QString::fromUtf8(e.what());
    }
    ASSERT_FALSE(expected.isEmpty());

    m_run.ButtonClick();

    EXPECT_EQ(m_host.errors, QStringList { expected });
    EXPECT_EQ(services(), QStringList { "YandexCY" });
    EXPECT_TRUE(m_host.lookups.isEmpty());
    expectIdle();
}

TEST_F(CheckRunTest, InputThatTheStartButtonRefuses)
{
    m_host.keywords[0] = QStringLiteral("kw");
    m_host.site = QStringLiteral("http://localhost");
    m_run.ButtonClick();
    m_host.site = QStringLiteral("http://www.example.ru");
    m_host.keywords[0].clear();
    m_run.ButtonClick();

    EXPECT_EQ(m_host.messages,
        QStringList({ "Необходимо правильно указать адрес контролируемого сайта!",
            "Необходимо указать хотябы одно ключевое слово!" }));
    EXPECT_TRUE(m_sandbox.requests().isEmpty());
    EXPECT_TRUE(m_host.startEnabled);
    EXPECT_FALSE(m_host.timerActive);
    EXPECT_TRUE(m_host.lookups.isEmpty());

    m_run.requestStop(); // nothing runs: nothing to stop
    EXPECT_FALSE(m_host.stop);
}

TEST_F(CheckRunTest, SiteAddressPatternMayMatchAnywhereInLowerCase)
{
    const std::pair<const char*, bool> rows[] = {
        { "http://www.example.ru/", true },
        { "http://a.", true },
        { "Мой сайт http://www.example.ru", true },
        { "http://localhost", false }, // no dot in the host
        { "www.example.ru", false }, // no http://
        { "http://WWW.EXAMPLE.RU", false },
        { "HTTP://www.example.ru", false },
        { "https://www.example.ru", false },
        { "http://.ru", false },
        { "", false },
    };
    for (const auto& [site, valid] : rows) {
        m_host.site = QString::fromUtf8(site);
        EXPECT_EQ(m_run.SiteAddressIsValid(), valid) << site;
    }
}

TEST_F(CheckRunTest, AKeywordOfBlanksCounts)
{
    EXPECT_FALSE(m_run.AnyKeywordGiven());
    m_host.keywords[6] = QStringLiteral("  ");
    EXPECT_TRUE(m_run.AnyKeywordGiven());
}

TEST_F(CheckRunTest, ElapsedTimeSurvivesTheTickWrap)
{
    m_host.checked[Engine::YandexRu] = true;
    m_host.keywords[0] = QStringLiteral("kw");
    TickCount::setOffsetForTesting(0);
    TickCount::setOffsetForTesting(0xFFFFFFFFu - 3u - TickCount::now()); // the tick wraps in 3 ms

    m_run.ButtonClick();

    EXPECT_GT(m_run.CheckStartTick(), TickCount::now()); // the wrap happened during the check
    EXPECT_LT(m_run.CheckElapsed(), 60u);
    EXPECT_EQ(
        m_host.timeText, formatElapsed(m_run.CheckElapsed(), QLocale(QLocale::Russian, QLocale::Russia)));
    EXPECT_TRUE(m_host.timeText.startsWith(QStringLiteral("0:0")));
}

} // namespace

TEST_F(CheckRunTest, ACheckWithoutOneAnsweredRequestSaysWhyOnce)
{
    m_host.checked[Engine::GoogleCom] = true;
    m_host.keywords[0] = QStringLiteral("kw");
    command("status * 407");
    m_run.ButtonClick();
    ASSERT_TRUE(m_host.nothingAnsweredError);
    EXPECT_TRUE(m_host.nothingAnsweredError->contains("407")) << m_host.nothingAnsweredError->toStdString();
    EXPECT_EQ(m_host.cyWhy.reason, Reason::Failed);
    EXPECT_TRUE(m_host.errors.isEmpty());
}

TEST_F(CheckRunTest, OneAnsweredRequestOrAStopIsNoSuchFailure)
{
    m_host.checked[Engine::GoogleCom] = true;
    m_host.keywords[0] = QStringLiteral("kw");
    command("status GoogleCom 500\nstatus YandexCY 500\nplace GoogleCom kw 1");
    m_run.ButtonClick();
    EXPECT_FALSE(m_host.nothingAnsweredError); // PageRank answered
    EXPECT_EQ(m_host.prWhy.reason, Reason::Found);

    command("reset\nstatus * 500");
    QTimer::singleShot(0, [this] { m_run.ButtonStopClick(); });
    m_run.ButtonClick();
    EXPECT_FALSE(m_host.nothingAnsweredError);
}
