#include "app/frame/ResultCell.h"
#include "app/frame/TfrRank.h"
#include "net/Endpoints.h"
#include "rank/run/CheckRun.h"
#include "support/SandboxEngines.h"
#include "support/ScriptedPrompts.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

namespace {

class FrameCheckTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_sandbox.started());
        Endpoints::setCurrent(Endpoints::fromFile(m_sandbox.endpointsFile()));
        m_prompts = &ScriptedPrompts::install();
        m_frame = std::make_unique<TfrRank>();
        m_frame->ResetProject();
        m_frame->checkRun().setLocale(QLocale(QLocale::Russian, QLocale::Russia));
    }

    void TearDown() override
    {
        m_frame.reset();
        Prompts::install(nullptr);
        Endpoints::setCurrent(Endpoints::defaults());
    }

    void onlyYandex()
    {
        for (Engine e : kEngines)
            m_frame->checkBox(e)->setChecked(e == Engine::YandexRu);
    }

    SandboxEngines m_sandbox { 2 };
    ScriptedPrompts* m_prompts = nullptr;
    std::unique_ptr<TfrRank> m_frame;
};

TEST_F(FrameCheckTest, StartButtonRunsACheckAndColoursTheCells)
{
    onlyYandex();
    ASSERT_TRUE(m_sandbox.command("place YandexRu %D0%BA%D0%BE%D1%82 7\ncount Wordstat 1520\ncy 120\npr 4"));
    m_frame->edWEB->setText("http://www.example.ru/");
    m_frame->edKeyWord2->setText(QString::fromUtf8("кот"));
    m_frame->rankCell(Engine::YandexRu, 1)->setText("old");

    m_frame->Button->click();

    EXPECT_FALSE(m_frame->checkRun().isRunning());
    EXPECT_EQ(m_frame->stYandexCY->text(), "120");
    EXPECT_EQ(m_frame->stGooglePR->text(), "4");
    ResultCell* rank = m_frame->rankCell(Engine::YandexRu, 2);
    EXPECT_EQ(rank->text(), "7");
    EXPECT_EQ(rank->backgroundColor(), m_frame->StaticText2->backgroundColor());
    EXPECT_EQ(m_frame->countCell(Engine::YandexRu, 2)->text(), "1520");
    EXPECT_EQ(m_frame->rankCell(Engine::YandexRu, 1)->text(), ""); // empty keyword: blanked
    EXPECT_EQ(m_frame->gauge(Engine::YandexRu)->value(), 100);
    EXPECT_EQ(m_frame->gauge(Engine::RamblerRu)->value(), 0);
    EXPECT_TRUE(m_frame->Button->isVisibleTo(m_frame.get()));
    EXPECT_TRUE(m_frame->Button->isEnabled());
    EXPECT_FALSE(m_frame->ButtonStop->isVisibleTo(m_frame.get()));
    EXPECT_TRUE(m_frame->stTime->text().startsWith("0:00:0"));
    EXPECT_TRUE(m_prompts->shown.empty());
}

TEST_F(FrameCheckTest, AnUnrecognisedPageNamesTheDefinitionsInForce)
{
    for (Engine e : kEngines)
        m_frame->checkBox(e)->setChecked(e == Engine::GoogleRu);
    ASSERT_TRUE(m_sandbox.command("googlelayout 2\nplace GoogleRu kw 3"));
    m_frame->edWEB->setText("http://www.example.ru/");
    m_frame->edKeyWord1->setText("kw");
    m_frame->Button->click();
    const QString tip = m_frame->rankCell(Engine::GoogleRu, 1)->toolTip();
    EXPECT_TRUE(tip.endsWith(QStringLiteral("\nописания: встроенные 2026.12.7"))) << tip.toStdString();
}

TEST_F(FrameCheckTest, ReasonsAreTheTooltipsAndTextsStay)
{
    onlyYandex();
    ASSERT_TRUE(m_sandbox.command("place YandexRu kw 0\nstatus PageRank 500"));
    m_frame->edWEB->setText("http://www.example.ru/");
    m_frame->edKeyWord1->setText("kw");

    m_frame->Button->click();

    ResultCell* rank = m_frame->rankCell(Engine::YandexRu, 1);
    EXPECT_EQ(rank->text(), "n/a");
    EXPECT_EQ(rank->toolTip(), QStringLiteral("Не найден на 20 страницах результатов"));
    EXPECT_EQ(m_frame->countCell(Engine::YandexRu, 1)->toolTip(),
        QStringLiteral("Значение прочитано со страницы сервиса"));
    EXPECT_EQ(m_frame->rankCell(Engine::YandexRu, 2)->toolTip(),
        QStringLiteral("Не запрашивался: ключевое слово не указано"));
    EXPECT_EQ(m_frame->stYandexCY->toolTip(), QStringLiteral("Значение прочитано со страницы сервиса"));
    EXPECT_TRUE(m_frame->stGooglePR->toolTip().contains("500"));
    EXPECT_EQ(m_frame->stGooglePR->text(), "n/a");
}

TEST_F(FrameCheckTest, ACheckWithoutAnswersSaysSoOnceInAPlainBox)
{
    onlyYandex();
    ASSERT_TRUE(m_sandbox.command("status * 502"));
    m_frame->edWEB->setText("http://www.example.ru/");
    m_frame->edKeyWord1->setText("kw");

    m_frame->Button->click();

    ASSERT_EQ(m_prompts->shown.size(), 1u);
    EXPECT_TRUE(m_prompts->shown[0].text.contains("502"));
}

TEST_F(FrameCheckTest, StopButtonEndsAHangingRequestAndLaterCellsKeepTheirText)
{
    onlyYandex();
    ASSERT_TRUE(m_sandbox.command("stall Wordstat 1"));
    m_frame->edWEB->setText("http://www.example.ru");
    m_frame->edKeyWord1->setText("one");
    m_frame->edKeyWord2->setText("two");
    m_frame->rankCell(Engine::YandexRu, 2)->setText("earlier");

    bool stopWasVisible = false;
    bool startWasHidden = false;
    bool runningWhileStopping = false;
    QTimer::singleShot(300, m_frame.get(), [&] {
        stopWasVisible = m_frame->ButtonStop->isVisibleTo(m_frame.get())
            && m_frame->ButtonPause->isVisibleTo(m_frame.get());
        startWasHidden = !m_frame->Button->isVisibleTo(m_frame.get()) && !m_frame->Button->isEnabled();
        runningWhileStopping = m_frame->running();
        m_frame->ButtonStop->click();
    });
    m_frame->Button->click();

    EXPECT_TRUE(stopWasVisible);
    EXPECT_TRUE(startWasHidden);
    EXPECT_TRUE(runningWhileStopping);
    EXPECT_FALSE(m_frame->running());
    EXPECT_FALSE(m_frame->ButtonStop->isVisibleTo(m_frame.get()));
    EXPECT_EQ(m_frame->countCell(Engine::YandexRu, 1)->text(), "n/a");
    EXPECT_EQ(m_frame->rankCell(Engine::YandexRu, 2)->text(), "earlier");
    EXPECT_TRUE(m_frame->Button->isEnabled());
    EXPECT_EQ(m_frame->ButtonPause->text(), QStringLiteral("Пауза"));
}

TEST_F(FrameCheckTest, ProxyPortThatIsNoNumberEndsTheCheckWithTheConversionError)
{
    m_frame->RBProxy->click();
    m_frame->ProxyServer->setText("127.0.0.1");
    m_frame->ProxyPort->setText("8x");
    m_frame->edWEB->setText("http://www.example.ru");
    m_frame->edKeyWord1->setText("one");

    m_frame->Button->click();

    ASSERT_EQ(m_prompts->shown.size(), 1u);
    EXPECT_EQ(m_prompts->shown[0].kind, ScriptedPrompts::Shown::Error);
    EXPECT_EQ(m_prompts->shown[0].text, QStringLiteral("'8x' is not a valid integer value"));
    EXPECT_TRUE(m_sandbox.requests().isEmpty());
    EXPECT_TRUE(m_frame->Button->isEnabled());
}

TEST_F(FrameCheckTest, InvalidInputIsRefusedWithAPlainMessage)
{
    m_frame->edWEB->setText("http://localhost");
    m_frame->Button->click();
    m_frame->edWEB->setText("http://www.example.ru");
    m_frame->Button->click();

    EXPECT_EQ(m_prompts->texts(),
        QStringList({ QStringLiteral("Необходимо правильно указать адрес контролируемого сайта!"),
            QStringLiteral("Необходимо указать хотябы одно ключевое слово!") }));
    EXPECT_EQ(m_prompts->shown[0].kind, ScriptedPrompts::Shown::Message);
    EXPECT_TRUE(m_sandbox.requests().isEmpty());
}

TEST(FrameStores, ProjectFileRoundTripLeavesResultsAndModifiedFlagAlone)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("site.zlt");
    {
        TfrRank frame;
        frame.ResetProject();
        frame.edWEB->setText("http://www.example.ru/");
        frame.edKeyWord3->setText(QString::fromUtf8("\"цитата\"  "));
        frame.CheckBoxMSNCom->setChecked(true);
        frame.SetModified(true);
        frame.SaveProject(path);
        EXPECT_FALSE(frame.modified());
    }
    TfrRank opened;
    opened.stYandexCY->setText("77");
    opened.SetModified(true);
    opened.SetFileName(path);
    opened.LoadProject(path);
    EXPECT_EQ(opened.edWEB->text(), "http://www.example.ru/");
    EXPECT_EQ(opened.edKeyWord3->text(), QString::fromUtf8("\"цитата\"  "));
    EXPECT_TRUE(opened.CheckBoxMSNCom->isChecked());
    EXPECT_TRUE(opened.CheckBoxYandexRu->isChecked());
    EXPECT_EQ(opened.stYandexCY->text(), "77");
    EXPECT_TRUE(opened.modified());
}

TEST(FrameStores, AnOpenedProjectHoldsWhatTheEditsShow)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("long.zlt");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[edKeyWord1: TcxPropertiesStoreComponent]\r\nText=\"" + QByteArray(40000, 'k') + "\"\r\n");
    file.close();

    TfrRank opened;
    opened.LoadProject(path);
    EXPECT_EQ(opened.project().keyword(1), opened.edKeyWord1->text());
    EXPECT_EQ(opened.project().keyword(1).size(), opened.edKeyWord1->maxLength());
}

TEST(FrameStores, ConnectionSettingsOfTheFrameDestroyedLastWin)
{
    auto first = std::make_unique<TfrRank>();
    auto second = std::make_unique<TfrRank>();
    first->RBProxy->click();
    first->ProxyServer->setText("first.proxy");
    second->RBProxy->click();
    second->ProxyServer->setText("second.proxy");
    second->ProxyPass->setText("secret");

    second.reset();
    auto third = std::make_unique<TfrRank>(); // reads what was stored, not what the open frame shows
    EXPECT_EQ(third->ProxyServer->text(), "second.proxy");
    first.reset();
    third->RBDefault->click();
    third.reset();

    TfrRank fresh;
    EXPECT_TRUE(fresh.RBDefault->isChecked());
    EXPECT_EQ(fresh.ProxyServer->text(), "second.proxy"); // texts stay when the proxy is switched off
    EXPECT_EQ(fresh.ProxyPass->text(), "secret");
    EXPECT_FALSE(fresh.GBProxy->isEnabled());
}

} // namespace
