#include "AppFixture.h"

#include "app/frame/TfrRank.h"
#include "net/Endpoints.h"
#include "net/HttpClient.h"
#include "rank/lookup/EngineClients.h"
#include "rank/run/CheckRun.h"
#include "support/SandboxEngines.h"
#include "update/UpdateCheck.h"
#include "update/UpdateSchedule.h"
#include "update/ui/TfmUpDate.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace {

const QString kSandboxVersion = QStringLiteral("Wed, 03 Sep 2008 10:00:00 GMT");

class UpdateMenuTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        ASSERT_TRUE(sandbox.started());
        Endpoints::setCurrent(Endpoints::fromFile(sandbox.endpointsFile()));
        QFile exe(filePath(QStringLiteral("kestrova-sertrix")));
        ASSERT_TRUE(exe.open(QIODevice::WriteOnly));
        exe.write("old");
    }
    void TearDown() override
    {
        Endpoints::setCurrent(Endpoints::defaults());
        MainWindowTest::TearDown();
    }

    std::unique_ptr<TfmUpDate> updateForm(TfmMain& window)
    {
        auto form = std::make_unique<TfmUpDate>(&window);
        form->setExecutablePath(filePath(QStringLiteral("kestrova-sertrix")));
        form->setScriptLauncher([this](const QString& script, QString*) {
            launched << script;
            return true;
        });
        window.setUpdateForm(form.get());
        return form;
    }

    // The requests for the program's update file, without those for the engine definitions.
    QList<SandboxEngines::Request> programRequests() const
    {
        QList<SandboxEngines::Request> requests = sandbox.requests(QStringLiteral("Update"));
        requests.removeIf([](const auto& request) { return !request.target.startsWith("/zlt.upd"); });
        return requests;
    }

    SandboxEngines sandbox;
    QStringList launched;
};

} // namespace

TEST_F(UpdateMenuTest, RestartAfterADownloadClosesTheProgramWithoutItsQuestions)
{
    auto window = openWindow();
    auto form = updateForm(*window);
    type(window->selectedFrame()->edKeyWord1, QStringLiteral("unsaved"));
    ASSERT_TRUE(window->selectedFrame()->modified());

    window->N14->trigger();

    EXPECT_EQ(prompts->texts(),
        QStringList({ QStringLiteral("Доступна новая версия. Обновить?"),
            QStringLiteral(
                "Теперь необходимо перезапустить программу.\n\rПроизвести автоматический перезапуск.") }));
    EXPECT_EQ(launched.size(), 1);
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(QFile::exists(filePath(QStringLiteral("~zltexe.tmp"))));
}

TEST_F(UpdateMenuTest, MenuCheckUsesTheConnectionSettingsOfTheSelectedProject)
{
    auto window = openWindow();
    auto form = updateForm(*window);
    form->lblVer->setText(kSandboxVersion);
    TfrRank* frame = window->selectedFrame();
    frame->RBProxy->click();
    frame->ProxyPort->setText(QStringLiteral("3128"));
    frame->ProxyUser->setText(QStringLiteral("user"));
    frame->ProxyPass->setText(QStringLiteral("pass"));

    window->N14->trigger();

    EXPECT_EQ(prompts->texts(), QStringList { QStringLiteral("Обновление не требуется.") });
    const auto requests = programRequests();
    ASSERT_EQ(requests.size(), 1);
    // No proxy server: a direct request, which never carries the proxy's credentials.
    EXPECT_FALSE(requests[0].head.contains("Proxy-Authorization"));

    // A port that is no number ends the check with the standard error text, before any request.
    frame->ProxyPort->setText(QStringLiteral("x1"));
    prompts->clear();
    window->N14->trigger();
    ASSERT_EQ(prompts->shown.size(), 1u);
    EXPECT_EQ(prompts->shown[0].kind, ScriptedPrompts::Shown::Error);
    EXPECT_EQ(prompts->shown[0].text, QStringLiteral("'x1' is not a valid integer value"));
    EXPECT_EQ(programRequests().size(), 1);
    EXPECT_TRUE(window->isVisible());
}

TEST_F(UpdateMenuTest, OneShotTimerChecksWhenTheLastDownloadIsAWeekOld)
{
    auto window = openWindow();
    auto form = updateForm(*window);
    form->lblVer->setText(kSandboxVersion);
    form->lblUpDate->setText(UpdateSchedule::formatDate(QDate::currentDate().addDays(-7)));
    ASSERT_TRUE(sandbox.command("status Update 500"));

    window->Timer1Timer();
    EXPECT_FALSE(window->Timer1->isActive());
    // The automatic check does not trouble the user with a host it could not ask.
    EXPECT_TRUE(prompts->texts().isEmpty());
    EXPECT_EQ(programRequests().size(), 1);
    EXPECT_FALSE(form->autoCheck());

    // Unchanged file: the automatic check stays silent.
    ASSERT_TRUE(sandbox.command("reset"));
    prompts->clear();
    window->Timer1Timer();
    EXPECT_TRUE(prompts->texts().isEmpty());
    EXPECT_EQ(programRequests().size(), 2);
}

TEST_F(UpdateMenuTest, OneShotTimerOnAFirstStartOnlyDatesTheForm)
{
    auto window = openWindow();
    auto form = updateForm(*window);
    window->Timer1Timer();
    EXPECT_EQ(form->lblUpDate->text(), UpdateSchedule::formatDate(QDate::currentDate()));
    EXPECT_TRUE(programRequests().isEmpty());
    EXPECT_TRUE(prompts->texts().isEmpty());
}

TEST_F(UpdateMenuTest, RestartDuringARunningCheckWaitsForTheCheckToStop)
{
    auto window = openWindow();
    auto form = updateForm(*window);
    ASSERT_TRUE(sandbox.command("stall YandexCY"));
    TfrRank* frame = window->selectedFrame();
    frame->edWEB->setText(QStringLiteral("http://www.example.ru"));
    frame->edKeyWord1->setText(QStringLiteral("слон"));
    bool closedDuringTheCheck = true;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!frame->checkRun().clients().metrics().busy())
            return;
        poll.stop();
        window->N14->trigger();
        closedDuringTheCheck = !window->isVisible();
    });
    poll.start();
    frame->Button->click();

    EXPECT_FALSE(closedDuringTheCheck);
    EXPECT_TRUE(window->exitPending());
    QApplication::processEvents();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(prompts->texts(),
        QStringList({ QStringLiteral("Доступна новая версия. Обновить?"),
            QStringLiteral(
                "Теперь необходимо перезапустить программу.\n\rПроизвести автоматический перезапуск.") }));
    EXPECT_EQ(launched.size(), 1);
}
