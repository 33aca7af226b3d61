#include "contact/ui/TfmAsk.h"
#include "net/ConnectionSettings.h"
#include "net/Endpoints.h"
#include "net/HttpClient.h"
#include "rank/frame/TfrRank.h"
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
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {

const QString kSent = QStringLiteral("Заявка успешно отправленна.");
const QString kFailed = QStringLiteral("Ошибка при отправке заявки!");

void fillProject(TfrRank& frame, const QString& site, const QStringList& keywords)
{
    frame.edWEB->setText(site);
    for (int n = 1; n <= 7; ++n)
        frame.keywordEdit(n)->setText(n <= keywords.size() ? keywords[n - 1] : QString());
}

// The frames remember their connection settings per user; each test keeps them in a folder of its own.
class OwnConfigHome {
public:
    OwnConfigHome()
        : m_saved(qgetenv("XDG_CONFIG_HOME"))
    {
        qputenv("XDG_CONFIG_HOME", m_dir.path().toLocal8Bit());
    }
    ~OwnConfigHome() { qputenv("XDG_CONFIG_HOME", m_saved); }

private:
    QTemporaryDir m_dir;
    QByteArray m_saved;
};

class AskForm : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sandbox.started());
        Endpoints::setCurrent(Endpoints::fromFile(sandbox.endpointsFile()));
        prompts = &ScriptedPrompts::install();
        frame.ResetProject();
        fillProject(frame, QStringLiteral("http://www.example.ru"),
            { QStringLiteral("пластиковые окна"), QStringLiteral("окна ПВХ") });
    }

    void TearDown() override
    {
        Prompts::install(nullptr);
        Endpoints::setCurrent(Endpoints::defaults());
    }

    // Opens the form from the frame as its link does; `whileOpen` runs once the modal form is up.
    void openAndThen(TfrRank& from, const std::function<void()>& whileOpen)
    {
        QTimer::singleShot(0, &form, [this, whileOpen] {
            shownModal = QApplication::activeModalWidget() == &form;
            whileOpen();
            if (form.isVisible() && !form.sending())
                form.reject();
        });
        form.openFrom(from);
    }

    QList<SandboxEngines::Request> promotionRequests() const
    {
        return sandbox.requests(QStringLiteral("Feedback"));
    }

    OwnConfigHome configHome;
    SandboxEngines sandbox;
    ScriptedPrompts* prompts = nullptr;
    TfrRank frame;
    TfmAsk form;
    bool shownModal = false;
};

} // namespace

TEST_F(AskForm, OpensModallyFilledWithTheProjectsSiteAndKeywords)
{
    form.Memo1->setPlainText(QStringLiteral("an old comment"));
    PromotionFields shown;
    openAndThen(frame, [&] { shown = form.fields(); });
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
    openAndThen(frame, [&] {
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
    openAndThen(frame, [&] {
        form.Edit1->setText(QStringLiteral("Ольга"));
        form.Edit2->setText(QStringLiteral("olga@example.ru"));
        form.Edit4->setText(QStringLiteral("123"));
        form.Edit3->setText(QStringLiteral("typed over"));
        form.Memo1->setPlainText(QStringLiteral("comment"));
    });
    TfrRank other;
    other.ResetProject();
    fillProject(other, QStringLiteral("http://other.ru"), { {}, QStringLiteral("второй") });

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
    openAndThen(frame, [&] {
        form.Memo1->setPlainText(QStringLiteral("lost?"));
        form.Button1->click();
    });
    EXPECT_EQ(form.result(), QDialog::Accepted) << GetParam().what;
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(prompts->texts(), QStringList { kFailed });
    EXPECT_TRUE(form.Button1->isEnabled());

    // Opened again from the project, the form is filled anew.
    frame.keywordEdit(3)->setText(QStringLiteral("третий"));
    PromotionFields shown;
    openAndThen(frame, [&] { shown = form.fields(); });
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
    openAndThen(frame, [&] {
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
    openAndThen(frame, [&] { form.Button1->click(); });
    EXPECT_EQ(promotionRequests().size(), 1);
    EXPECT_EQ(prompts->texts(), QStringList { kFailed });
    EXPECT_FALSE(form.isVisible());
}

TEST_F(AskForm, TheFormsClientTakesTheFramesConnectionSettings)
{
    // Through the sandbox as the proxy: the request names the maker's real host and goes nowhere else.
    Endpoints endpoints = Endpoints::current();
    endpoints.Feedback = QStringLiteral("www.kestrova.ru");
    Endpoints::setCurrent(endpoints);
    const QString proxy = sandbox.host(QStringLiteral("Feedback"));
    frame.RBProxy->setChecked(true);
    frame.ProxyServer->setText(proxy.section(u':', 0, 0));
    frame.ProxyPort->setText(proxy.section(u':', 1));
    frame.ProxyUser->setText(QStringLiteral("user"));
    frame.ProxyPass->setText(QStringLiteral("secret"));

    openAndThen(frame, [&] { form.Button1->click(); });
    EXPECT_EQ(prompts->texts(), QStringList { kSent });
    const QList<SandboxEngines::Request> received = promotionRequests();
    ASSERT_EQ(received.size(), 1);
    EXPECT_EQ(received[0].target, "http://www.kestrova.ru/promoscript/feedback_new.php");
    EXPECT_TRUE(received[0].head.contains("\r\nProxy-Authorization: Basic dXNlcjpzZWNyZXQ=\r\n"));

    // Back to a direct connection for the next opening.
    frame.RBDefault->setChecked(true);
    form.fillFrom(frame);
    EXPECT_TRUE(form.HTTP->proxy().server.isEmpty());
}

TEST_F(AskForm, AProxyPortThatIsNoNumberKeepsTheFormClosed)
{
    frame.RBProxy->setChecked(true);
    frame.ProxyServer->setText(QStringLiteral("127.0.0.1"));
    frame.ProxyPort->setText(QStringLiteral("80a"));
    EXPECT_THROW(form.openFrom(frame), EConvertError);
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
