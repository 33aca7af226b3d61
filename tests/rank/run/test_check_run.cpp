#include "net/Endpoints.h"
#include "platform/TickCount.h"
#include "rank/RunTestHost.h"
#include "rank/lookup/PageReading.h"
#include "rank/pattern/RegExpr.h"
#include "rank/run/CheckRun.h"
#include "rank/run/ElapsedTime.h"
#include "support/SandboxEngines.h"

#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {

using State = CellResult::State;

class CheckRunTest : public ::testing::Test, protected RunUnderTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_sandbox.started());
        Endpoints::setCurrent(Endpoints::fromFile(m_sandbox.endpointsFile()));
        run.setLocale(QLocale(QLocale::Russian, QLocale::Russia));
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

    // Calls then at every change of a cell, with the run's results.
    void onCellChanged(std::function<void(Engine, int)> then)
    {
        QObject::disconnect(m_cellWatch);
        m_cellWatch = QObject::connect(&run, &CheckRun::cellChanged, std::move(then));
    }

    void expectIdle()
    {
        EXPECT_FALSE(run.isRunning());
        EXPECT_FALSE(run.showsRunning());
        EXPECT_TRUE(run.startEnabled());
        EXPECT_FALSE(run.clockRunning());
        EXPECT_FALSE(run.paused());
        EXPECT_EQ(run.pauseCaption(), QStringLiteral("Пауза"));
    }

    SandboxEngines m_sandbox { 2 };
    QMetaObject::Connection m_cellWatch;
};

TEST_F(CheckRunTest, OnlyKeywordFiveOnYandexWritesRowFiveAndBlanksTheOthers)
{
    fillWithOldResults();
    project.setTicked(Engine::YandexRu, true);
    project.keywords[4] = QStringLiteral("kw5");
    command("place YandexRu kw5 7\ncount 1520\ncy 120\npr 4");

    run.ButtonClick();

    EXPECT_TRUE(host.messages.isEmpty());
    EXPECT_TRUE(host.errors.isEmpty());
    expectIdle();
    EXPECT_EQ(results.cy.text, QStringLiteral("120"));
    EXPECT_EQ(results.pr.text, QStringLiteral("4"));
    for (Engine engine : kEngines)
        EXPECT_EQ(results.gauge(engine), engine == Engine::YandexRu ? 100 : 0)
            << engineKey(engine).toStdString();
    EXPECT_EQ(rank(Engine::YandexRu, 5).state, State::Written);
    EXPECT_EQ(rank(Engine::YandexRu, 5).text, QStringLiteral("7"));
    EXPECT_EQ(rank(Engine::YandexRu, 5).resultPage, 1);
    EXPECT_EQ(count(5).text, QStringLiteral("1520"));
    for (int n : { 1, 2, 3, 4, 6, 7 }) {
        EXPECT_EQ(rank(Engine::YandexRu, n).state, State::Reset) << n;
        EXPECT_EQ(count(n).state, State::Reset) << n;
        EXPECT_TRUE(rank(Engine::YandexRu, n).text.isEmpty());
        EXPECT_EQ(rank(Engine::YandexRu, n).why.detail,
            QStringLiteral("Не запрашивался: ключевое слово не указано"));
        EXPECT_EQ(count(n).why.detail, QStringLiteral("Не запрашивался: ключевое слово не указано"));
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
    project.keywords[0] = QStringLiteral("kw");
    int started = 0, finished = 0;
    bool runningWhenFinished = true;
    QObject::connect(&run, &CheckRun::started, [&] { ++started; });
    QObject::connect(&run, &CheckRun::finished, [&] {
        ++finished;
        runningWhenFinished = run.isRunning();
    });

    run.ButtonClick(); // no engine ticked: the 42 lookups return at once

    QStringList expected;
    for (int n = 1; n <= 7; ++n) {
        for (const char* engine : { "GoogleCom", "GoogleRu", "YandexRu", "RamblerRu", "AportRu", "MSNCom" })
            expected << QStringLiteral("%1 %2").arg(QLatin1String(engine)).arg(n);
    }
    EXPECT_EQ(lookups, expected);
    EXPECT_EQ(services(), QStringList({ "YandexCY", "PageRank" }));
    EXPECT_EQ(started, 1);
    EXPECT_EQ(finished, 1);
    EXPECT_FALSE(runningWhenFinished);

    // Every engine ticked, two keywords, the site first on every page: one request per lookup.
    m_sandbox.clearRequests();
    for (Engine engine : kEngines) {
        project.setTicked(engine, true);
        command("place " + engineKey(engine).toLatin1() + " * 1");
    }
    project.keywords[1] = QStringLiteral("kw2");
    run.ButtonClick();
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
        EXPECT_EQ(results.gauge(engine), 100);
}

TEST_F(CheckRunTest, StopDuringKeywordThreeKeepsTheLaterCells)
{
    fillWithOldResults();
    project.setTicked(Engine::GoogleCom, true);
    project.setTicked(Engine::YandexRu, true);
    for (int n = 1; n <= 7; ++n)
        project.keywords[n - 1] = QStringLiteral("kw%1").arg(n);
    command("place GoogleCom * 1\nplace YandexRu * 1");
    onCellChanged([this](Engine engine, int n) {
        if (engine == Engine::GoogleCom && n == 3 && rank(engine, n).state == State::Reset)
            run.ButtonStopClick();
    });

    run.ButtonClick();

    expectIdle();
    EXPECT_TRUE(run.stopRequested());
    EXPECT_TRUE(host.errors.isEmpty());
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
    EXPECT_EQ(results.gauge(Engine::GoogleCom), 45);
    EXPECT_EQ(results.gauge(Engine::YandexRu), 30);
    EXPECT_EQ(m_sandbox.requests(QStringLiteral("GoogleCom")).size(), 2);
    EXPECT_EQ(m_sandbox.requests(QStringLiteral("YandexRu")).size(), 2);
    EXPECT_EQ(lookups.size(), 42); // the rest return at once
    EXPECT_EQ(results.elapsed, formatElapsed(run.CheckElapsed(), QLocale(QLocale::Russian, QLocale::Russia)));
}

// A keyword edited while the check runs is asked at the next check: this one asks the keyword it
// started with, so that what is asked and what is recorded agree.
TEST_F(CheckRunTest, AKeywordEditedDuringTheCheckIsNotAskedInIt)
{
    project.setTicked(Engine::GoogleCom, true);
    project.keywords[0] = QStringLiteral("kw1");
    project.keywords[1] = QStringLiteral("kw2");
    command("place GoogleCom * 1");
    onCellChanged([this](Engine, int n) {
        if (n == 1)
            project.keywords[1] = QStringLiteral("edited");
    });
    run.ButtonClick();
    const auto requests = m_sandbox.requests(QStringLiteral("GoogleCom"));
    ASSERT_EQ(requests.size(), 2);
    EXPECT_TRUE(requests[1].target.contains("q=%6B%77%32&")) << requests[1].target.constData();
    EXPECT_EQ(run.project().keywords[1], QStringLiteral("kw2"));
}

TEST_F(CheckRunTest, StopEndsAHangingRequestAtOnce)
{
    project.setTicked(Engine::YandexRu, true);
    project.keywords[0] = QStringLiteral("kw");
    command("stall YandexRu");
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [this] {
        if (run.clients().engine(Engine::YandexRu).busy() && !run.stopRequested()
            && !m_sandbox.requests(QStringLiteral("YandexRu")).isEmpty())
            run.ButtonStopClick();
    });
    poll.start(10);

    run.ButtonClick(); // would never return while the request hangs

    expectIdle();
    EXPECT_TRUE(run.stopRequested());
    EXPECT_EQ(m_sandbox.requests(QStringLiteral("YandexRu")).size(), 1);
    EXPECT_EQ(rank(Engine::YandexRu, 1).text, QStringLiteral("n/a"));
    EXPECT_EQ(rank(Engine::YandexRu, 1).resultPage, 50);
}

TEST_F(CheckRunTest, PauseThenStopLeavesThePauseCaption)
{
    project.setTicked(Engine::YandexRu, true);
    project.keywords[0] = QStringLiteral("kw");
    bool pausedOnce = false;
    qsizetype requestsWhilePaused = -1;
    onCellChanged([&](Engine, int) {
        if (count(1).state != State::Written || pausedOnce)
            return;
        pausedOnce = true;
        run.ButtonPauseClick();
        EXPECT_TRUE(run.paused());
        EXPECT_FALSE(run.clockRunning());
        EXPECT_EQ(run.pauseCaption(), QStringLiteral("Продолжить"));
        QTimer::singleShot(20, &run, [&] {
            requestsWhilePaused = m_sandbox.requests(QStringLiteral("YandexRu")).size();
            run.ButtonStopClick();
        });
    });

    run.ButtonClick();

    EXPECT_EQ(requestsWhilePaused, 0); // the scan's next attempt waited in the pause
    expectIdle();

    // The next check starts with "Пауза" and runs to its end.
    QString captionAtStart;
    onCellChanged([&](Engine, int) {
        if (captionAtStart.isEmpty())
            captionAtStart = run.pauseCaption();
    });
    run.ButtonClick();
    EXPECT_EQ(captionAtStart, QStringLiteral("Пауза"));
    EXPECT_FALSE(run.stopRequested());
    EXPECT_EQ(rank(Engine::YandexRu, 1).state, State::Written);
    EXPECT_NE(rank(Engine::YandexRu, 1).text, QStringLiteral("n/a"));
}

TEST_F(CheckRunTest, PauseAndContinueRunsTheClockAgain)
{
    project.setTicked(Engine::RamblerRu, true);
    project.keywords[0] = QStringLiteral("kw");
    command("place RamblerRu kw 1");
    bool timerOnAfterContinue = false;
    qsizetype requestsWhilePaused = -1;
    onCellChanged([&](Engine engine, int n) {
        if (engine != Engine::RamblerRu || n != 1 || rank(engine, n).state != State::Reset)
            return;
        run.ButtonPauseClick();
        QTimer::singleShot(20, &run, [&] {
            requestsWhilePaused = m_sandbox.requests(QStringLiteral("RamblerRu")).size();
            run.ButtonPauseClick();
            timerOnAfterContinue = run.clockRunning() && run.pauseCaption() == QStringLiteral("Пауза");
        });
    });

    run.ButtonClick();

    EXPECT_EQ(requestsWhilePaused, 0);
    EXPECT_TRUE(timerOnAfterContinue);
    EXPECT_EQ(rank(Engine::RamblerRu, 1).text, QStringLiteral("1"));
    expectIdle();
}

TEST_F(CheckRunTest, ProxyPortWithALetterEndsTheCheckBeforeAnyRequest)
{
    fillWithOldResults();
    project.setTicked(Engine::YandexRu, true);
    project.keywords[0] = QStringLiteral("kw");
    host.connection.useProxy = true;
    host.connection.server = QStringLiteral("127.0.0.1");

    for (const QString& port : { QStringLiteral("80a"), QString() }) {
        host.errors.clear();
        host.connection.port = port;
        run.ButtonClick();
        EXPECT_EQ(host.errors, QStringList { QStringLiteral("'%1' is not a valid integer value").arg(port) });
        EXPECT_TRUE(m_sandbox.requests().isEmpty());
        expectIdle();
        EXPECT_EQ(rank(Engine::YandexRu, 1).text, QStringLiteral("old"));
        EXPECT_EQ(results.gauge(Engine::YandexRu), 0);
    }

    // The start button works again.
    host.connection.useProxy = false;
    host.errors.clear();
    run.ButtonClick();
    EXPECT_TRUE(host.errors.isEmpty());
    EXPECT_EQ(rank(Engine::YandexRu, 1).state, State::Written);
}

TEST_F(CheckRunTest, SiteThatBreaksAPatternEndsTheCheckWithThePatternError)
{
    project.site = QStringLiteral("http://www.example.ru/(");
    project.setTicked(Engine::YandexRu, true);
    project.keywords[0] = QStringLiteral("kw");
    QString expected;
    try {
        RegExpr("<b>.*? (\\d+).*?</b>|<a href=.*?www.example.ru/(.*?>(\\d+?)</a>").compile();
    } catch (const ERegExpr& e) {
        expected = QString::fromUtf8(kSiteAddressError) + QString::fromUtf8(e.what());
    }
    ASSERT_FALSE(expected.isEmpty());

    run.ButtonClick();

    EXPECT_EQ(host.errors, QStringList { expected });
    EXPECT_EQ(services(), QStringList { "YandexCY" });
    EXPECT_TRUE(lookups.isEmpty());
    expectIdle();
}

TEST_F(CheckRunTest, InputThatTheStartButtonRefuses)
{
    project.keywords[0] = QStringLiteral("kw");
    project.site = QStringLiteral("http://localhost");
    run.ButtonClick();
    project.site = QStringLiteral("http://www.example.ru");
    project.keywords[0].clear();
    run.ButtonClick();

    EXPECT_EQ(host.messages,
        QStringList({ "Необходимо правильно указать адрес контролируемого сайта!",
            "Необходимо указать хотябы одно ключевое слово!" }));
    EXPECT_TRUE(m_sandbox.requests().isEmpty());
    EXPECT_TRUE(run.startEnabled());
    EXPECT_FALSE(run.clockRunning());
    EXPECT_TRUE(lookups.isEmpty());

    run.requestStop(); // nothing runs: nothing to stop
    EXPECT_FALSE(run.stopRequested());
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
        project.site = QString::fromUtf8(site);
        EXPECT_EQ(run.SiteAddressIsValid(), valid) << site;
    }
}

TEST_F(CheckRunTest, AKeywordOfBlanksCounts)
{
    EXPECT_FALSE(run.AnyKeywordGiven());
    project.keywords[6] = QStringLiteral("  ");
    EXPECT_TRUE(run.AnyKeywordGiven());
}

TEST_F(CheckRunTest, ElapsedTimeSurvivesTheTickWrap)
{
    project.setTicked(Engine::YandexRu, true);
    project.keywords[0] = QStringLiteral("kw");
    TickCount::setOffsetForTesting(0);
    TickCount::setOffsetForTesting(0xFFFFFFFFu - 3u - TickCount::now()); // the tick wraps in 3 ms

    run.ButtonClick();

    EXPECT_GT(run.CheckStartTick(), TickCount::now()); // the wrap happened during the check
    EXPECT_LT(run.CheckElapsed(), 60u);
    EXPECT_EQ(results.elapsed, formatElapsed(run.CheckElapsed(), QLocale(QLocale::Russian, QLocale::Russia)));
    EXPECT_TRUE(results.elapsed.startsWith(QStringLiteral("0:0")));
}

// The clock wakes the check when the time it shows changes, once a second, and not at all where no
// time is shown; the time of the whole check is worked out at its end all the same.
TEST_F(CheckRunTest, TheClockWakesOnlyWhenTheShownTimeChanges)
{
    project.setTicked(Engine::YandexRu, true);
    project.keywords[0] = QStringLiteral("kw");
    command("place YandexRu kw 35");
    Endpoints paced = Endpoints::current();
    paced.requestIntervalMs = 300;
    Endpoints::setCurrent(paced);
    int figures = 0;
    QObject::connect(&run, &CheckRun::figuresChanged, [&figures] { ++figures; });

    run.ButtonClick();

    ASSERT_GE(run.CheckElapsed(), 1u);
    // Besides the clock: the start, CY, PageRank and the end.
    EXPECT_LE(figures - 4, int(run.CheckElapsed()) + 1);

    host.clock = false;
    bool clockSeen = false;
    onCellChanged([this, &clockSeen](Engine, int) { clockSeen = clockSeen || run.clockRunning(); });
    figures = 0;
    run.ButtonClick();
    EXPECT_FALSE(clockSeen);
    EXPECT_EQ(figures, 4);
    EXPECT_EQ(results.elapsed, formatElapsed(run.CheckElapsed(), QLocale(QLocale::Russian, QLocale::Russia)));
}

} // namespace

TEST_F(CheckRunTest, ACheckWithoutOneAnsweredRequestSaysWhyOnce)
{
    project.setTicked(Engine::GoogleCom, true);
    project.keywords[0] = QStringLiteral("kw");
    command("status * 407");
    run.ButtonClick();
    ASSERT_TRUE(results.nothingAnswered);
    EXPECT_TRUE(results.nothingAnswered->contains("407")) << results.nothingAnswered->toStdString();
    EXPECT_EQ(results.cy.why.reason, Reason::Failed);
    EXPECT_TRUE(host.errors.isEmpty());
    EXPECT_EQ(host.messages,
        QStringList {
            QStringLiteral("Проверка закончилась, но ни один запрос не получил ответа.\nПоследняя ошибка: ")
            + *results.nothingAnswered });
}

TEST_F(CheckRunTest, OneAnsweredRequestOrAStopIsNoSuchFailure)
{
    project.setTicked(Engine::GoogleCom, true);
    project.keywords[0] = QStringLiteral("kw");
    command("status GoogleCom 500\nstatus YandexCY 500\nplace GoogleCom kw 1");
    run.ButtonClick();
    EXPECT_FALSE(results.nothingAnswered); // PageRank answered
    EXPECT_EQ(results.pr.why.reason, Reason::Found);

    command("reset\nstatus * 500");
    QTimer::singleShot(0, [this] { run.ButtonStopClick(); });
    run.ButtonClick();
    EXPECT_FALSE(results.nothingAnswered);
    EXPECT_TRUE(results.stopped);
    EXPECT_TRUE(host.messages.isEmpty());
}

// A check whose chosen API sources have no key: the plan is known at its start, nothing is spent
// and the engines read by pages are asked as before.
TEST_F(CheckRunTest, TheApiPlanIsKnownAtTheStartAndPageReadingStaysAsItWas)
{
    project.setTicked(Engine::YandexRu, true);
    project.setTicked(Engine::GoogleCom, true);
    project.keywords[0] = QStringLiteral("kw1");
    project.keywords[2] = QStringLiteral("kw3");
    SourceChoice choice;
    choice.engines.at(std::size_t(Engine::YandexRu)) = QStringLiteral("yandex-search-api");
    choice.wordstat = QStringLiteral("yandex-wordstat-api");
    host.sources = choice;
    ApiRequestCounts planned;
    QObject::connect(&run, &CheckRun::apiRequestsPlanned, [&] { planned = results.apiRequestsPlanned; });
    command("cy 120\npr 4\nplace GoogleCom kw1 3\nplace GoogleCom kw3 4");

    run.ButtonClick();

    EXPECT_EQ(planned.counts, (std::array<int, 3> { 4, 0, 2 }));
    EXPECT_EQ(CheckRun::apiRequestsPlannedText(planned),
        QStringLiteral("Запросов к API — не больше 6: Yandex Search API — 4, Yandex Wordstat API — 2"));
    EXPECT_EQ(results.apiRequests.total(), 0);
    EXPECT_EQ(results.rank(Engine::YandexRu, 3).why.reason, Reason::Refused);
    EXPECT_EQ(results.count(Engine::YandexRu, 1).why.reason, Reason::Refused);
    EXPECT_EQ(services().count(QStringLiteral("YandexRu")), 0);
    EXPECT_EQ(services().count(QStringLiteral("GoogleCom")), 2); // page reading stays as it was
}
