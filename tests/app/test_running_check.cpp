#include "AppFixture.h"

#include "app/frame/TfrRank.h"
#include "app/ui/ProjectTabBar.h"
#include "net/Endpoints.h"
#include "net/HttpClient.h"
#include "rank/lookup/EngineClients.h"
#include "rank/run/CheckRun.h"
#include "support/SandboxEngines.h"
#include "support/WidgetInput.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <functional>

namespace {

// A check that hangs in its first request (the CY page never answers) until it is stopped.
class RunningCheckTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        ASSERT_TRUE(m_sandbox.started());
        Endpoints::setCurrent(Endpoints::fromFile(m_sandbox.endpointsFile()));
        ASSERT_TRUE(m_sandbox.command("stall YandexCY\n"));
    }
    void TearDown() override
    {
        Endpoints::setCurrent(Endpoints::defaults());
        MainWindowTest::TearDown();
    }

    // Starts a check in the frame and runs during while its first request (the stalled CY page)
    // is under way; returns once the start handler did.
    static void runCheck(TfrRank* frame, const std::function<void()>& during)
    {
        frame->edWEB->setText("http://www.example.ru");
        frame->edKeyWord1->setText(QStringLiteral("слон"));
        QTimer poll;
        poll.setInterval(5);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (!frame->checkRun().clients().metrics().busy())
                return;
            poll.stop();
            during();
        });
        poll.start();
        frame->Button->click();
    }

    static void clickTab(ProjectTabBar* bar, int index) { clickAt(bar, bar->tabRect(index).center()); }

    SandboxEngines m_sandbox { 5 };
};

} // namespace

TEST_F(RunningCheckTest, TheTabOfARunningCheckCannotBeLeft)
{
    auto window = openWindow();
    window->N3Click();
    TfrRank* running = window->selectedFrame();
    int afterClick = -1, afterArrow = -1, afterCtrlTab = -1;
    bool wasRunning = false;
    runCheck(running, [&] {
        wasRunning = !running->startEnabled();
        clickTab(window->TabControl, 0);
        afterClick = window->TabControl->currentIndex();
        QKeyEvent left(QEvent::KeyPress, Qt::Key_Left, Qt::NoModifier);
        QApplication::sendEvent(window->TabControl, &left);
        afterArrow = window->TabControl->currentIndex();
        window->TabControl->selectNextByUser(+1);
        afterCtrlTab = window->TabControl->currentIndex();
        running->ButtonStop->click();
    });
    EXPECT_TRUE(wasRunning);
    EXPECT_EQ(afterClick, 1);
    EXPECT_EQ(afterArrow, 1);
    EXPECT_EQ(afterCtrlTab, 1);
    EXPECT_TRUE(running->isVisible());

    // Once the check has ended the tab may be left again.
    clickTab(window->TabControl, 0);
    EXPECT_EQ(window->TabControl->currentIndex(), 0);
    EXPECT_FALSE(running->isVisible());
}

TEST_F(RunningCheckTest, ClosingARunningProjectStopsTheCheckAndClosesWhenItEnded)
{
    auto window = openWindow();
    window->N3Click();
    QPointer<TfrRank> running = window->selectedFrame();
    bool pending = false;
    int tabsWhileStopping = 0;
    runCheck(running, [&] {
        window->N15Click();
        pending = window->closePending(running);
        tabsWhileStopping = window->TabControl->count();
    });
    EXPECT_TRUE(pending);
    EXPECT_EQ(tabsWhileStopping, 2);
    ASSERT_TRUE(running) << "the frame went while its check was still executing";
    EXPECT_TRUE(running->checkRun().stopRequested());

    QApplication::processEvents();
    EXPECT_FALSE(running);
    EXPECT_EQ(window->TabControl->count(), 1);
    EXPECT_EQ(window->ProjectFrames().size(), 1);
    EXPECT_TRUE(window->ProjectFrames()[0]->isVisible());
    // Text set by the program is no key press: the closed project was not modified.
    EXPECT_TRUE(prompts->shown.empty());
}

TEST_F(RunningCheckTest, ExitDuringACheckWaitsForItToEnd)
{
    auto window = openWindow();
    TfrRank* frame = window->selectedFrame();
    bool closedWhileRunning = true;
    runCheck(frame, [&] { closedWhileRunning = window->close(); });
    EXPECT_FALSE(closedWhileRunning);
    EXPECT_TRUE(window->exitPending());
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(prompts->texts(), QStringList { QStringLiteral("Вы уверены что хотите закрыть программу?") });

    QApplication::processEvents();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(prompts->shown.size(), 1u) << "the exit is confirmed once";
}
