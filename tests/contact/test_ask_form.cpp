#include "contact/ui/TfmAsk.h"
#include "net/ConnectionSettings.h"
#include "net/Endpoints.h"
#include "net/HttpClient.h"
#include "rank/project/Project.h"
#include "support/RawHttpListener.h"
#include "support/SandboxEngines.h"
#include "support/ScriptedPrompts.h"
#include "support/WidgetInput.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {

const QString kSent = QStringLiteral("Заявка успешно отправленна.");
const QString kFailed = QStringLiteral("Ошибка при отправке заявки!");

Project projectOf(const QString& site, const QStringList& keywords)
{
    Project project;
    project.site = site;
    for (int n = 1; n <= 7; ++n)
        project.keyword(n) = n <= keywords.size() ? keywords[n - 1] : QString();
    return project;
}

class AskForm : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sandbox.started());
        Endpoints::setCurrent(Endpoints::fromFile(sandbox.endpointsFile()));
        prompts = &ScriptedPrompts::install();
        project = projectOf(QStringLiteral("http://www.example.ru"),
            { QStringLiteral("пластиковые окна"), QStringLiteral("окна ПВХ") });
    }

    void TearDown() override
    {
        Prompts::install(nullptr);
        Endpoints::setCurrent(Endpoints::defaults());
    }

    // Opens the form from a project as the frame's link does; `whileOpen` runs once the modal form is up.
    void openAndThen(const Project& from, const std::function<void()>& whileOpen)
    {
        QTimer::singleShot(0, &form, [this, whileOpen] {
            shownModal = QApplication::activeModalWidget() == &form;
            whileOpen();
            if (form.isVisible() && !form.sending())
                form.reject();
        });
        form.openFrom(from, settings);
    }

    QList<SandboxEngines::Request> promotionRequests() const
    {
        return sandbox.requests(QStringLiteral("Feedback"));
    }

    SandboxEngines sandbox;
    ScriptedPrompts* prompts = nullptr;
    Project project;
    ConnectionSettings settings;
    TfmAsk form;
    bool shownModal = false;
};

} // namespace

TEST_F(AskForm, OpensModallyFilledWithTheProjectsSiteAndKeywords)
{
    form.Memo1->setPlainText(QStringLiteral("an old comment"));
    PromotionFields shown;
    openAndThen(project, [&] { shown = form.fields(); });
    EXPECT_TRUE(shownModal);
    EXPECT_EQ(shown.site, QStringLiteral("http://www.example.ru"));
    EXPECT_EQ(shown.keywords[0], QStringLiteral("пластиковые окна"));
    EXPECT_EQ(shown.keywords[1], QStringLiteral("окна ПВХ"));
    EXPECT_EQ(shown.keywords[6], QString());
    EXPECT_EQ(shown.comment, QString());
    EXPECT_TRUE(promotionRequests().isEmpty());
}

TEST_F(AskForm, SendDeliversTheBodyShowsTheSuccessBoxAndCloses)
{
    openAndThen(project, [&] {
        form.Edit1->setText(QStringLiteral("Ольга"));
        form.Edit2->setText(QStringLiteral("olga@example.ru"));
        form.Edit4->setText(QStringLiteral("+7 495 123-45-67"));
        form.Memo1->setPlainText(QStringLiteral("Первая строка\nвторая"));
        form.Button1->click();
    });
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(prompts->texts(), QStringList { kSent });
    EXPECT_TRUE(form.Button1->isEnabled());

    const QList<SandboxEngines::Request> received = promotionRequests();
    ASSERT_EQ(received.size(), 1);
    EXPECT_TRUE(received[0].head.startsWith("POST /promoscript/feedback_new.php HTTP/1.0\r\n"));
    EXPECT_EQ(received[0].body, PromotionRequest(form.fields()).body());
    EXPECT_TRUE(received[0].body.contains("&&usr_phone=%2B7%20495%20123-45-67&&"));
    EXPECT_TRUE(received[0].body.contains("%0D%0A%E2%F2%EE%F0%E0%FF&&submit="));
}

TEST_F(AskForm, ReopeningFromAnotherProjectKeepsContactDataAndReplacesTheRest)
{
    openAndThen(project, [&] {
        form.Edit1->setText(QStringLiteral("Ольга"));
        form.Edit2->setText(QStringLiteral("olga@example.ru"));
        form.Edit4->setText(QStringLiteral("123"));
        form.Edit3->setText(QStringLiteral("typed over"));
        form.Memo1->setPlainText(QStringLiteral("comment"));
    });
    const Project other = projectOf(QStringLiteral("http://other.ru"), { {}, QStringLiteral("второй") });

    PromotionFields shown;
    openAndThen(other, [&] { shown = form.fields(); });
    EXPECT_EQ(shown.name, QStringLiteral("Ольга"));
    EXPECT_EQ(shown.mail, QStringLiteral("olga@example.ru"));
    EXPECT_EQ(shown.phone, QStringLiteral("123"));
    EXPECT_EQ(shown.site, QStringLiteral("http://other.ru"));
    EXPECT_EQ(shown.keywords[0], QString());
    EXPECT_EQ(shown.keywords[1], QStringLiteral("второй"));
    EXPECT_EQ(shown.comment, QString());
}

struct Failure {
    const char* what;
    QByteArray sandboxCommand; // empty: the feedback host refuses connections
};

class FailedSend : public AskForm, public ::testing::WithParamInterface<Failure> { };

TEST_P(FailedSend, StillClosesTheFormWithTheErrorMessage)
{
    std::unique_ptr<RawHttpListener> gone;
    if (GetParam().sandboxCommand.isEmpty()) {
        quint16 closedPort = 0;
        {
            RawHttpListener listener;
            closedPort = listener.port();
        }
        Endpoints endpoints = Endpoints::current();
        endpoints.Feedback = QStringLiteral("127.0.0.1:%1").arg(closedPort);
        Endpoints::setCurrent(endpoints);
    } else {
        ASSERT_TRUE(sandbox.command(GetParam().sandboxCommand));
    }
    openAndThen(project, [&] {
        form.Memo1->setPlainText(QStringLiteral("lost?"));
        form.Button1->click();
    });
    EXPECT_EQ(form.result(), QDialog::Accepted) << GetParam().what;
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(prompts->texts(), QStringList { kFailed });
    EXPECT_TRUE(form.Button1->isEnabled());

    // Opened again from the project, the form is filled anew.
    project.keyword(3) = QStringLiteral("третий");
    PromotionFields shown;
    openAndThen(project, [&] { shown = form.fields(); });
    EXPECT_EQ(shown.keywords[2], QStringLiteral("третий"));
    EXPECT_EQ(shown.comment, QString());
}

INSTANTIATE_TEST_SUITE_P(Rows, FailedSend,
    ::testing::Values(Failure { "connection refused", {} }, Failure { "redirect", "redirect Feedback 1" },
        Failure { "server error", "status Feedback 500 1" }));

TEST_F(AskForm, EscapeWhileSendingCancelsTheRequestAndClosesTheForm)
{
    ASSERT_TRUE(sandbox.command("stall Feedback 1"));
    bool buttonOff = false;
    bool sendingWhenEscaped = false;
    openAndThen(project, [&] {
        QTimer::singleShot(200, &form, [&] {
            buttonOff = !form.Button1->isEnabled();
            sendingWhenEscaped = form.sending();
            pressKey(&form, Qt::Key_Escape);
        });
        form.Button1->click();
    });
    EXPECT_TRUE(buttonOff);
    EXPECT_TRUE(sendingWhenEscaped);
    EXPECT_EQ(promotionRequests().size(), 1);
    EXPECT_TRUE(prompts->texts().isEmpty()); // cancelled by the user: no box
    EXPECT_FALSE(form.isVisible());
    EXPECT_FALSE(form.sending());
    EXPECT_TRUE(form.Button1->isEnabled());
}

TEST_F(AskForm, ASilentServerIsGivenUpWithTheFailureBox)
{
    Endpoints endpoints = Endpoints::fromFile(sandbox.endpointsFile());
    endpoints.lowSpeedSeconds = 1;
    Endpoints::setCurrent(endpoints);
    ASSERT_TRUE(sandbox.command("stall Feedback"));
    openAndThen(project, [&] { form.Button1->click(); });
    EXPECT_EQ(promotionRequests().size(), 1);
    EXPECT_EQ(prompts->texts(), QStringList { kFailed });
    EXPECT_FALSE(form.isVisible());
}

TEST_F(AskForm, TheFormsClientTakesTheProjectsConnectionSettings)
{
    // Through the sandbox as the proxy: the request names the maker's real host and goes nowhere else.
    Endpoints endpoints = Endpoints::current();
    endpoints.Feedback = QStringLiteral("www.kestrova.ru");
    Endpoints::setCurrent(endpoints);
    const QString proxy = sandbox.host(QStringLiteral("Feedback"));
    settings = { true, proxy.section(u':', 0, 0), proxy.section(u':', 1), QStringLiteral("user"),
        QStringLiteral("secret") };

    openAndThen(project, [&] { form.Button1->click(); });
    EXPECT_EQ(prompts->texts(), QStringList { kSent });
    const QList<SandboxEngines::Request> received = promotionRequests();
    ASSERT_EQ(received.size(), 1);
    EXPECT_EQ(received[0].target, "http://www.kestrova.ru/promoscript/feedback_new.php");
    EXPECT_TRUE(received[0].head.contains("\r\nProxy-Authorization: Basic dXNlcjpzZWNyZXQ=\r\n"));

    // Back to a direct connection for the next opening.
    settings.useProxy = false;
    form.fillFrom(project, settings);
    EXPECT_TRUE(form.HTTP->proxy().server.isEmpty());
}

TEST_F(AskForm, AProxyPortThatIsNoNumberKeepsTheFormClosed)
{
    settings = { true, QStringLiteral("127.0.0.1"), QStringLiteral("80a"), {}, {} };
    EXPECT_THROW(form.openFrom(project, settings), EConvertError);
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(promotionRequests().isEmpty());
}

TEST_F(AskForm, FieldsGroupsAndButton)
{
    EXPECT_EQ(form.Edit1->parentWidget(), form.GroupBox1);
    EXPECT_EQ(form.Edit4->parentWidget(), form.GroupBox1);
    EXPECT_EQ(form.Memo1->parentWidget(), form.GroupBox1);
    for (int n = 1; n <= 7; ++n) {
        ASSERT_NE(form.keywordEdit(n), nullptr);
        EXPECT_EQ(form.keywordEdit(n)->parentWidget(), form.GroupBox2) << n;
        EXPECT_EQ(form.keywordEdit(n)->objectName(), QStringLiteral("Edit%1").arg(4 + n));
    }
    // Every control lies inside its group, and the groups inside the form.
    for (QWidget* child : form.findChildren<QWidget*>()) {
        if (child->objectName().isEmpty() || child->objectName().startsWith(QLatin1String("qt_")))
            continue;
        EXPECT_TRUE(child->parentWidget()->rect().contains(child->geometry()))
            << child->objectName().toStdString();
    }
    EXPECT_EQ(form.size(), QSize(TfmAsk::ClientWidth, TfmAsk::ClientHeight));
    // The group captions are not cut off.
    for (const QGroupBox* group : { form.GroupBox1, form.GroupBox2 })
        EXPECT_LT(QFontMetrics(group->font()).horizontalAdvance(group->title()) + 16, group->width())
            << group->title().toStdString();
}
