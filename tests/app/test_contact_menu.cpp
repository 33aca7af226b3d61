#include "AppFixture.h"

#include "app/frame/TfrRank.h"
#include "contact/FileVersion.h"
#include "contact/ui/TfmAbout.h"
#include "contact/ui/TfmAsk.h"
#include "platform/ui/LinkLabel.h"
#include "support/WidgetInput.h"

#include <QApplication>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTimer>
#include <functional>

namespace {

// Runs `inside` once a modal window is up, then closes that window.
template <typename Window>
Window* whileModal(const std::function<void(Window*)>& inside, const std::function<void()>& open)
{
    Window* seen = nullptr;
    QObject scope; // no window opened: the timer goes with the function
    QTimer::singleShot(0, &scope, [&] {
        seen = qobject_cast<Window*>(QApplication::activeModalWidget());
        if (seen) {
            inside(seen);
            seen->reject();
        }
    });
    open();
    return seen;
}

} // namespace

TEST_F(MainWindowTest, PromotionLinkOpensTheProgramsFormFilledFromTheProject)
{
    auto window = openWindow();
    TfrRank* first = window->ProjectFrames()[0];
    first->edWEB->setText(QStringLiteral("http://www.first.ru"));
    first->edKeyWord1->setText(QStringLiteral("первый"));

    TfmAsk* form = whileModal<TfmAsk>(
        [](TfmAsk* shown) {
            EXPECT_EQ(shown->Edit3->text(), QStringLiteral("http://www.first.ru"));
            EXPECT_EQ(shown->Edit5->text(), QStringLiteral("первый"));
            shown->Edit1->setText(QStringLiteral("Ольга"));
            shown->Memo1->setPlainText(QStringLiteral("comment"));
        },
        [&] { click(first->Label34); });
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->parentWidget(), window.get());

    window->N3Click();
    TfrRank* second = window->ProjectFrames()[1];
    second->edWEB->setText(QStringLiteral("http://www.second.ru"));
    TfmAsk* again = whileModal<TfmAsk>(
        [](TfmAsk* shown) {
            EXPECT_EQ(shown->Edit1->text(), QStringLiteral("Ольга"));
            EXPECT_EQ(shown->Edit3->text(), QStringLiteral("http://www.second.ru"));
            EXPECT_EQ(shown->Edit5->text(), QString());
            EXPECT_EQ(shown->Memo1->toPlainText(), QString());
        },
        [&] { click(second->Label34); });
    EXPECT_EQ(again, form);
    EXPECT_TRUE(prompts->shown.empty());
}

TEST_F(MainWindowTest, PromotionLinkWithAProxyPortThatIsNoNumberShowsTheErrorInstead)
{
    auto window = openWindow();
    TfrRank* frame = window->ProjectFrames()[0];
    frame->RBProxy->setChecked(true);
    frame->ProxyServer->setText(QStringLiteral("127.0.0.1"));
    frame->ProxyPort->setText(QStringLiteral("port"));
    TfmAsk* form = whileModal<TfmAsk>([](TfmAsk*) {}, [&] { click(frame->Label34); });
    EXPECT_EQ(form, nullptr);
    ASSERT_EQ(prompts->shown.size(), 1u);
    EXPECT_EQ(prompts->shown[0].kind, ScriptedPrompts::Shown::Error);
    EXPECT_EQ(prompts->shown[0].text, QStringLiteral("'port' is not a valid integer value"));
}

TEST_F(MainWindowTest, VersionMenuShowsTheVersionLineOfTheRunningFile)
{
    auto window = openWindow();
    auto* premade = new TfmAbout(window.get()); // as the start-up makes it
    premade->Label2->setText(QStringLiteral("design-time text"));
    QString line;
    TfmAbout* box = whileModal<TfmAbout>(
        [&](TfmAbout* shown) { line = shown->Label2->text(); }, [&] { window->N13->trigger(); });
    EXPECT_EQ(box, premade);
    EXPECT_EQ(line, versionLine(GetFileVersionText(QCoreApplication::applicationFilePath())));
    EXPECT_TRUE(prompts->shown.empty());
}
