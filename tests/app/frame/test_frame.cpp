#include "app/frame/ResultCell.h"
#include "app/frame/TfrRank.h"
#include "net/Endpoints.h"
#include "platform/ui/DesktopServices.h"
#include "platform/ui/LinkLabel.h"
#include "rank/run/CheckRun.h"
#include "support/WidgetInput.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

QColor windowText()
{
    return QApplication::palette().color(QPalette::WindowText);
}
QColor buttonFace()
{
    return QApplication::palette().color(QPalette::Button);
}

class NewProject : public ::testing::Test {
protected:
    NewProject() { frame.ResetProject(); }

    // Puts a result into the frame's results and shows it, as a check does.
    void write(Engine engine, int n, const QString& text, int resultPage)
    {
        frame.results().rank(engine, n) = { text, resultPage, {}, {}, CellResult::State::Written };
        frame.showCell(engine, n);
    }
    void writeCount(Engine engine, int n, const QString& text)
    {
        frame.results().count(engine, n) = { text, 0, {}, {}, CellResult::State::Written };
        frame.showCell(engine, n);
    }
    void reset(Engine engine, int n)
    {
        frame.results().rank(engine, n) = { {}, 0, {}, {}, CellResult::State::Reset };
        frame.results().count(engine, n) = { {}, 0, {}, {}, CellResult::State::Reset };
        frame.showCell(engine, n);
    }

    TfrRank frame;
};

} // namespace

TEST_F(NewProject, ShowsTheDefaultsOfANewProject)
{
    EXPECT_EQ(frame.size(), QSize(976, 618));
    EXPECT_EQ(frame.edWEB->text(), "http://");
    for (int n = 1; n <= 7; ++n)
        EXPECT_TRUE(frame.keywordEdit(n)->text().isEmpty()) << n;
    EXPECT_FALSE(frame.CheckBoxGoogleCom->isChecked());
    EXPECT_FALSE(frame.CheckBoxGoogleRu->isChecked());
    EXPECT_TRUE(frame.CheckBoxYandexRu->isChecked());
    EXPECT_TRUE(frame.CheckBoxRamblerRu->isChecked());
    EXPECT_FALSE(frame.CheckBoxAportRu->isChecked());
    EXPECT_FALSE(frame.CheckBoxMSNCom->isChecked());
    EXPECT_EQ(frame.stTime->text(), "0:00:00");
    EXPECT_TRUE(frame.stGooglePR->text().isEmpty());
    EXPECT_TRUE(frame.stYandexCY->text().isEmpty());
    for (Engine engine : kEngines)
        EXPECT_EQ(frame.gauge(engine)->value(), 0);
    EXPECT_FALSE(frame.Button->isHidden());
    EXPECT_TRUE(frame.startEnabled());
    EXPECT_TRUE(frame.ButtonPause->isHidden());
    EXPECT_TRUE(frame.ButtonStop->isHidden());
    EXPECT_TRUE(frame.RBDefault->isChecked());
    EXPECT_FALSE(frame.GBProxy->isEnabled());
    EXPECT_FALSE(frame.GBUser->isEnabled());
    EXPECT_FALSE(frame.modified());
    EXPECT_TRUE(frame.fileName().isEmpty());
    EXPECT_FALSE(frame.running());
}

TEST_F(NewProject, CarriesTheDesignCaptions)
{
    QStringList groups;
    for (QGroupBox* group : frame.findChildren<QGroupBox*>())
        groups << group->title();
    for (const char* caption : { " Контроль ", " Настройки соединения: ", " Укажите тип соединения: ",
             " Старт поекта ", " Справка ", " Настройки Proxy сервера ", " Proxy Авторизация " })
        EXPECT_TRUE(groups.contains(QString::fromUtf8(caption))) << caption;
    int headers = 0;
    for (QLabel* label : frame.findChildren<QLabel*>())
        headers += label->text() == QStringLiteral("Место        Запросов");
    EXPECT_EQ(headers, 6);
    EXPECT_EQ(frame.Button->text(), "Начать контроль");
    EXPECT_EQ(frame.ButtonPause->text(), "Пауза");
    EXPECT_EQ(frame.ButtonStop->text(), "Остановить");
    EXPECT_EQ(frame.RBDefault->text(), "Прямое соединение");
    EXPECT_EQ(frame.RBProxy->text(), "Через Proxy сервер");
    EXPECT_EQ(frame.CheckBoxMSNCom->text(), "MSN.com");
}

TEST_F(NewProject, ResetLeavesResultsEnginesAndConnectionAlone)
{
    frame.SetFileName("/tmp/site.zlt");
    frame.SetModified(true);
    frame.edKeyWord3->setText("окна");
    frame.PBmsncom->setValue(45);
    frame.stGooglePR->setText("4");
    frame.stTime->setText("0:01:10");
    write(Engine::GoogleRu, 3, "12", 2);
    frame.CheckBoxMSNCom->setChecked(true);
    frame.RBProxy->click();
    frame.ProxyServer->setText("127.0.0.1");

    frame.ResetProject();

    EXPECT_FALSE(frame.modified());
    EXPECT_TRUE(frame.fileName().isEmpty());
    EXPECT_TRUE(frame.edKeyWord3->text().isEmpty());
    EXPECT_TRUE(frame.project().keyword(3).isEmpty());
    EXPECT_EQ(frame.project().site, "http://");
    EXPECT_EQ(frame.PBmsncom->value(), 0);
    EXPECT_TRUE(frame.stGooglePR->text().isEmpty());
    EXPECT_EQ(frame.stTime->text(), "0:00:00");
    EXPECT_EQ(frame.rankCell(Engine::GoogleRu, 3)->text(), "12");
    EXPECT_TRUE(frame.CheckBoxMSNCom->isChecked());
    EXPECT_TRUE(frame.RBProxy->isChecked());
    EXPECT_EQ(frame.ProxyServer->text(), "127.0.0.1");
}

TEST_F(NewProject, FindsAll84CellsByNameWithoutRegardToCase)
{
    const QStringList keys { "GoogleCom", "GoogleRu", "YandexRu", "RamblerRu", "AportRu", "MSNCom" };
    int found = 0;
    for (const QString& key : keys) {
        for (int n = 1; n <= 7; ++n) {
            for (const QString& prefix : { QStringLiteral("Rank"), QStringLiteral("Count") }) {
                const QString name = prefix + key + QString::number(n);
                ResultCell* cell = frame.cell(name);
                ASSERT_NE(cell, nullptr) << name.toStdString();
                EXPECT_EQ(cell->objectName(), name);
                EXPECT_EQ(frame.cell(name.toUpper()), cell);
                EXPECT_EQ(frame.cell(name.toLower()), cell);
                ++found;
            }
        }
    }
    EXPECT_EQ(found, 84);
    EXPECT_EQ(frame.findChildren<ResultCell*>(QRegularExpression("^(Rank|Count)")).size(), 84);
    EXPECT_EQ(frame.cell("rankyandexru8"), nullptr);
    EXPECT_EQ(frame.cell("edWEB"), nullptr); // not a cell
    EXPECT_EQ(frame.findComponent("EDKEYWORD5"), frame.edKeyWord5);
    EXPECT_EQ(frame.findComponent("pbyandexru"), frame.PBYandexru);
}

TEST_F(NewProject, CountColumnsThatNoEngineFillsShowADash)
{
    for (Engine engine : kEngines) {
        for (int n = 1; n <= 7; ++n) {
            const QString expected = engine == Engine::YandexRu ? QString() : QStringLiteral("-");
            EXPECT_EQ(frame.countCell(engine, n)->text(), expected);
            EXPECT_TRUE(frame.rankCell(engine, n)->text().isEmpty());
        }
    }
}

TEST_F(NewProject, RankCellTakesTheLegendColoursOfItsResultPage)
{
    write(Engine::GoogleCom, 1, "n/a", 1);
    ResultCell* first = frame.cell("RankGoogleCom1");
    EXPECT_EQ(first->text(), "n/a");
    EXPECT_EQ(first->backgroundColor(), QColor(192, 220, 192));
    EXPECT_EQ(first->textColor(), windowText());

    write(Engine::RamblerRu, 4, "15", 2);
    EXPECT_EQ(frame.rankCell(Engine::RamblerRu, 4)->backgroundColor(), QColor(166, 202, 240));
    EXPECT_EQ(frame.rankCell(Engine::RamblerRu, 4)->textColor(), windowText());

    for (int page : { 50, 3, 0, -1 }) {
        write(Engine::MSNCom, 7, "n/a", page);
        ResultCell* cell = frame.cell("RankMSNCom7");
        EXPECT_EQ(cell->text(), "n/a");
        EXPECT_EQ(cell->backgroundColor(), QColor(0, 0, 128)) << page;
        EXPECT_EQ(cell->textColor(), QColor(Qt::white)) << page;
    }
}

TEST_F(NewProject, ResetBlanksAnOlderResultAndRestoresNeutralColours)
{
    write(Engine::YandexRu, 2, "7", 1);
    writeCount(Engine::YandexRu, 2, "4512");
    reset(Engine::YandexRu, 2);

    ResultCell* rank = frame.rankCell(Engine::YandexRu, 2);
    EXPECT_TRUE(rank->text().isEmpty());
    EXPECT_EQ(rank->backgroundColor(), buttonFace());
    EXPECT_EQ(rank->textColor(), windowText());
    ResultCell* count = frame.countCell(Engine::YandexRu, 2);
    EXPECT_TRUE(count->text().isEmpty());
    EXPECT_EQ(count->backgroundColor(), buttonFace());
}

TEST_F(NewProject, CountCellTakesTheQueryCountLegendBackgroundOnly)
{
    ResultCell* count = frame.countCell(Engine::YandexRu, 6);
    count->setTextColor(Qt::darkGreen);
    frame.StaticText5->setBackgroundColor(QColor(250, 240, 200));
    writeCount(Engine::YandexRu, 6, "323");
    EXPECT_EQ(count->text(), "323");
    EXPECT_EQ(count->backgroundColor(), QColor(250, 240, 200));
    EXPECT_EQ(count->textColor(), QColor(Qt::darkGreen));

    reset(Engine::YandexRu, 6);
    EXPECT_EQ(count->backgroundColor(), buttonFace());
    EXPECT_EQ(count->textColor(), QColor(Qt::darkGreen)); // the reset leaves the text colour alone
}

TEST_F(NewProject, LegendCellsAreTheOnlyPalette)
{
    EXPECT_EQ(frame.StaticText2->text(), "1");
    EXPECT_EQ(frame.StaticText3->text(), "18");
    EXPECT_EQ(frame.StaticText4->text(), "58");
    EXPECT_EQ(frame.StaticText5->text(), "323");

    frame.StaticText2->setBackgroundColor(Qt::yellow);
    frame.StaticText2->setTextColor(Qt::red);
    frame.StaticText4->setBackgroundColor(Qt::black);
    write(Engine::AportRu, 1, "3", 1);
    write(Engine::AportRu, 2, "n/a", 50);
    EXPECT_EQ(frame.rankCell(Engine::AportRu, 1)->backgroundColor(), QColor(Qt::yellow));
    EXPECT_EQ(frame.rankCell(Engine::AportRu, 1)->textColor(), QColor(Qt::red));
    EXPECT_EQ(frame.rankCell(Engine::AportRu, 2)->backgroundColor(), QColor(Qt::black));
}

TEST_F(NewProject, KeyPressesMarkTheProjectModifiedButTextFromCodeDoesNot)
{
    frame.edWEB->setText("http://example.ru");
    frame.edKeyWord7->setText("окна");
    frame.CheckBoxAportRu->setChecked(true);
    frame.ProxyPort->setText("3128");
    EXPECT_FALSE(frame.modified());

    pressKey(frame.edKeyWord4, Qt::Key_A, "a");
    EXPECT_TRUE(frame.modified());
    EXPECT_EQ(frame.edKeyWord4->text(), "a");

    // A key that changes nothing counts as well, in the site edit too.
    frame.SetModified(false);
    pressKey(frame.edWEB, Qt::Key_Shift, QString());
    EXPECT_TRUE(frame.modified());
    EXPECT_EQ(frame.edWEB->text(), "http://example.ru");

    frame.SetModified(false);
    pressKey(frame.ProxyServer, Qt::Key_B, "b");
    EXPECT_FALSE(frame.modified());
}

TEST_F(NewProject, ProxyChoiceEnablesBothGroupsAndKeepsTheirTexts)
{
    frame.RBProxy->click();
    EXPECT_TRUE(frame.GBProxy->isEnabled());
    EXPECT_TRUE(frame.GBUser->isEnabled());
    frame.ProxyServer->setText("127.0.0.1");
    frame.ProxyPort->setText("8888");
    frame.ProxyUser->setText("user");
    frame.ProxyPass->setText("secret");

    ConnectionSettings settings = frame.connectionSettings();
    EXPECT_TRUE(settings.useProxy);
    EXPECT_EQ(settings.server, "127.0.0.1");
    EXPECT_EQ(settings.port, "8888");
    EXPECT_EQ(settings.user, "user");
    EXPECT_EQ(settings.password, "secret");
    EXPECT_EQ(frame.ProxyPass->echoMode(), QLineEdit::Normal);

    frame.RBDefault->click();
    EXPECT_FALSE(frame.GBProxy->isEnabled());
    EXPECT_FALSE(frame.GBUser->isEnabled());
    settings = frame.connectionSettings();
    EXPECT_FALSE(settings.useProxy);
    EXPECT_EQ(settings.server, "127.0.0.1");
    EXPECT_EQ(frame.ProxyUser->text(), "user");
    EXPECT_FALSE(frame.modified());
}

TEST_F(NewProject, EditsAndCheckBoxesWriteIntoTheProject)
{
    frame.edWEB->setText("http://example.ru");
    frame.edKeyWord2->setText("окна\nвторая строка");
    frame.CheckBoxYandexRu->setChecked(false);
    frame.CheckBoxMSNCom->click();
    EXPECT_EQ(frame.project().site, "http://example.ru");
    EXPECT_EQ(frame.project().keyword(2), "окна");
    EXPECT_FALSE(frame.project().isTicked(Engine::YandexRu));
    EXPECT_TRUE(frame.project().isTicked(Engine::MSNCom));
}

namespace {

class RecordingDesktop : public DesktopServices {
public:
    explicit RecordingDesktop(QStringList& urls)
        : m_urls(urls)
    {
    }
    bool openUrl(const QString& url) override
    {
        m_urls << url;
        return true;
    }
    bool openFile(const QString& path) override
    {
        m_urls << "file:" + path;
        return true;
    }

private:
    QStringList& m_urls;
};

class FrameLinks : public NewProject {
protected:
    FrameLinks()
        : m_saved(Endpoints::current())
    {
        Endpoints endpoints = m_saved;
        endpoints.MakerSite = "127.0.0.1:8081";
        endpoints.PartnerSite = "127.0.0.1:8082";
        Endpoints::setCurrent(endpoints);
        DesktopServices::install(std::make_unique<RecordingDesktop>(opened));
    }
    ~FrameLinks() override
    {
        DesktopServices::install(nullptr);
        Endpoints::setCurrent(m_saved);
    }
    QStringList opened;

private:
    Endpoints m_saved;
};

} // namespace

TEST_F(FrameLinks, OpenTheMakerAndPartnerSitesOnClick)
{
    EXPECT_EQ(frame.Label33->text(), "Запрос на продвижение сайта");
    EXPECT_EQ(frame.JvImage1->toolTip(), "Сайт разработчика");
    click(frame.Label33);
    click(frame.JvImage1);
    EXPECT_EQ(opened,
        QStringList({ "http://127.0.0.1:8081/keywords_order_request.htm", "http://127.0.0.1:8082/" }));
}

TEST_F(FrameLinks, PromotionLinkOpensNoPageItself)
{
    int requests = 0;
    QObject::connect(&frame, &TfrRank::promotionRequested, [&] { ++requests; });
    EXPECT_EQ(frame.Label34->text(), "Заказать продвижение сайта по этим словам");
    click(frame.Label34);
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_EQ(requests, 1);
}
