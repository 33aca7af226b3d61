#include "app/frame/ResultCell.h"
#include "app/frame/TfrRank.h"
#include "app/ui/TfmMain.h"
#include "history/HistoryCsv.h"
#include "history/HistoryStore.h"
#include "history/HistoryTableModel.h"
#include "history/ui/EngineLinesItem.h"
#include "history/ui/TfmHistory.h"
#include "net/Endpoints.h"
#include "support/SandboxEngines.h"
#include "support/ScriptedPrompts.h"
#include "support/WidgetInput.h"

#include <QAbstractAxis>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateTimeAxis>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QLineEdit>
#include <QLineSeries>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QThread>
#include <QValueAxis>
#include <gtest/gtest.h>

namespace {

const QString kSite = QStringLiteral("http://www.example.ru/");
const QString kKeyword = QStringLiteral("купить слона");

RecordedCheck check(int day, std::optional<int> yandex, std::optional<int> rambler)
{
    RecordedCheck made;
    made.time = QDateTime(QDate(2026, 5, 1), QTime(7, 0), Qt::UTC).addDays(day);
    made.site = kSite;
    made.cy = QStringLiteral("90");
    made.pr = QStringLiteral("3");
    for (auto [engine, position] :
        { std::pair { Engine::YandexRu, yandex }, std::pair { Engine::RamblerRu, rambler } }) {
        RecordedResult result;
        result.keyword = kKeyword;
        result.engine = engine;
        result.position = position;
        result.text = position ? QString::number(*position) : QStringLiteral("n/a");
        result.reason = position ? Reason::Found : Reason::NotFound;
        result.resultPage = position ? (*position - 1) / 10 + 1 : 20;
        made.results << result;
    }
    return made;
}

// The window reads its history and writes its CSV on a worker thread: waits until it is done.
void waitForWork(TfmHistory& window)
{
    QDeadlineTimer deadline(30000);
    while (window.isWorking() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
    EXPECT_FALSE(window.isWorking());
}

class HistoryWindowTest : public ::testing::Test {
protected:
    void SetUp() override { m_prompts = &ScriptedPrompts::install(); }
    void TearDown() override { Prompts::install(nullptr); }

    QString historyPath() const { return m_dir.filePath(QStringLiteral("history.sqlite")); }

    QTemporaryDir m_dir;
    ScriptedPrompts* m_prompts = nullptr;
};

TEST_F(HistoryWindowTest, ChecksNewestFirstAndOneChartLinePerEngineWithGaps)
{
    HistoryStore store(historyPath());
    ASSERT_TRUE(store.record(check(0, 8, 3)));
    ASSERT_TRUE(store.record(check(1, std::nullopt, 4)));
    ASSERT_TRUE(store.record(check(2, 5, 2)));
    TfmHistory window(store, QStringLiteral("http://example.ru"));
    // The checks are read while the window is already there.
    EXPECT_TRUE(window.isWorking());
    EXPECT_EQ(window.SiteLabel->text(), QStringLiteral("Сайт: http://example.ru (читается история...)"));
    waitForWork(window);
    EXPECT_EQ(window.SiteLabel->text(), QStringLiteral("Сайт: http://example.ru"));
    EXPECT_FALSE(window.isModal());
    ASSERT_EQ(window.Grid->model()->rowCount(), 3);
    EXPECT_TRUE(window.Grid->model()->index(0, 0).data().toString().contains(QStringLiteral("3")));
    EXPECT_EQ(window.Grid->model()->index(0, HistoryTableModel::kFixedLeadColumns).data().toString(),
        QStringLiteral("5 новая"));
    ASSERT_EQ(window.KeywordBox->count(), 1);

    QChart* chart = window.Chart->chart();
    QStringList names;
    for (QAbstractSeries* series : chart->series()) {
        const auto* line = qobject_cast<QLineSeries*>(series);
        ASSERT_TRUE(line);
        names << line->name();
    }
    EXPECT_EQ(names, QStringList({ QStringLiteral("Yandex.ru"), QStringLiteral("Rambler.ru") }));
    const EngineLinesItem* drawn = nullptr;
    for (QGraphicsItem* item : chart->childItems()) {
        if (const auto* lines = dynamic_cast<const EngineLinesItem*>(item))
            drawn = lines;
    }
    ASSERT_TRUE(drawn);
    ASSERT_EQ(drawn->lines().size(), 2);
    const qint64 day0 = QDateTime(QDate(2026, 5, 1), QTime(7, 0), Qt::UTC).toMSecsSinceEpoch();
    const qint64 day = 24 * 3600 * 1000;
    // Yandex lost the site on the second day: its line breaks there, drawn as one line all the same.
    EXPECT_EQ(drawn->lines()[0].engine, Engine::YandexRu);
    EXPECT_EQ(drawn->lines()[0].segments(),
        QList<QList<ChartPoint>>({ { { day0, 8 } }, { { day0 + 2 * day, 5 } } }));
    EXPECT_EQ(drawn->lines()[1].segments(),
        QList<QList<ChartPoint>>({ { { day0, 3 }, { day0 + day, 4 }, { day0 + 2 * day, 2 } } }));
    const auto axes = chart->axes(Qt::Vertical);
    ASSERT_EQ(axes.size(), 1);
    EXPECT_TRUE(axes[0]->isReverse());
    EXPECT_EQ(qobject_cast<QValueAxis*>(axes[0])->min(), 1);
    // The axis reaches position 10 at least.
    EXPECT_EQ(qobject_cast<QValueAxis*>(axes[0])->max(), 10);
    EXPECT_EQ(qobject_cast<QCategoryAxis*>(axes[0])->categoriesLabels().last(), QStringLiteral("10"));
}

// The texts the chart draws: the labels of its axes, its title and its legend.
QStringList drawnTexts(const QChartView& view)
{
    QStringList texts;
    for (const QGraphicsItem* item : view.scene()->items()) {
        if (const auto* text = dynamic_cast<const QGraphicsTextItem*>(item); text && text->isVisible())
            texts << text->toPlainText();
    }
    return texts;
}

struct DepthRow {
    int deepest;
    QStringList labels;
    int axisEnd;
};

class ChartAtDefaultSize : public HistoryWindowTest, public ::testing::WithParamInterface<DepthRow> { };

TEST_P(ChartAtDefaultSize, ShowsEveryPositionLabelWholeAndEndsTheTimeAxisAtTheLastCheck)
{
    HistoryStore store(historyPath());
    for (int day = 0; day < 40; ++day)
        ASSERT_TRUE(store.record(check(day, GetParam().deepest - day % 7, 1 + day % 5)));
    TfmHistory window(store, kSite);
    window.show();
    waitForWork(window);
    // Laid out and drawn as the user sees it.
    window.grab();
    QCoreApplication::processEvents();
    window.grab();
    const QStringList texts = drawnTexts(*window.Chart);
    for (const QString& label : GetParam().labels)
        EXPECT_TRUE(texts.contains(label)) << label.toStdString() << " in " << texts.join(u'|').toStdString();
    for (const QString& text : texts) {
        EXPECT_FALSE(text.contains(QStringLiteral("...")) || text.contains(u'…')) << text.toStdString();
    }
    auto* position = qobject_cast<QCategoryAxis*>(window.Chart->chart()->axes(Qt::Vertical).value(0));
    ASSERT_TRUE(position);
    EXPECT_EQ(position->categoriesLabels().first(), QStringLiteral("1"));
    EXPECT_EQ(position->min(), 1);
    EXPECT_EQ(position->max(), GetParam().axisEnd);
    const auto* time = qobject_cast<QDateTimeAxis*>(window.Chart->chart()->axes(Qt::Horizontal).value(0));
    ASSERT_TRUE(time);
    EXPECT_EQ(time->max(), QDateTime(QDate(2026, 6, 9), QTime(7, 0), Qt::UTC));
    EXPECT_TRUE(texts.contains(QStringLiteral("09.06.2026"))) << texts.join(u'|').toStdString();
}

INSTANTIATE_TEST_SUITE_P(Depths, ChartAtDefaultSize,
    ::testing::Values(DepthRow { 10, { "1", "5", "10" }, 10 },
        DepthRow { 200, { "1", "50", "100", "150", "200" }, 200 },
        DepthRow { 251, { "1", "100", "200", "300" }, 300 },
        DepthRow { 1000, { "1", "500", "1000" }, 1000 }));

TEST_F(HistoryWindowTest, ALegendExplainsTheMarksAndEscapeClosesTheWindow)
{
    HistoryStore store(historyPath());
    ASSERT_TRUE(store.record(check(0, 8, 3)));
    QWidget main;
    main.setGeometry(200, 150, 1200, 900);
    main.show();
    QPointer<TfmHistory> window = TfmHistory::showFor(store, kSite, &main);
    ASSERT_TRUE(window);
    EXPECT_EQ(window->MarksLegend->text(),
        QStringLiteral("▲ — позиция выше, чем в прошлой проверке;  ▼ — ниже;  = — без изменений;  "
                       "новая — сайт найден, а раньше не был;  потеряна — сайт был найден, а теперь нет"));
    EXPECT_TRUE(window->MarksLegend->isVisible());
    // Centred up to the rounding of odd sizes.
    EXPECT_LE((window->frameGeometry().center() - main.frameGeometry().center()).manhattanLength(), 4);

    pressKey(window->Grid, Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
}

TEST_F(HistoryWindowTest, CsvButtonWritesTheSitesFullDataSet)
{
    HistoryStore store(historyPath());
    ASSERT_TRUE(store.record(check(0, 8, 3)));
    RecordedCheck other = check(1, 1, 1);
    other.site = QStringLiteral("http://other.ru/");
    ASSERT_TRUE(store.record(other));
    TfmHistory window(store, kSite);
    waitForWork(window);
    const QString target = m_dir.filePath(QStringLiteral("export.csv"));
    m_prompts->fileName(target);
    window.ButtonCsvClick();
    EXPECT_FALSE(window.ButtonCsv->isEnabled()); // one export at a time
    waitForWork(window);
    EXPECT_TRUE(window.ButtonCsv->isEnabled());
    EXPECT_EQ(m_prompts->texts(), QStringList({ QStringLiteral("Сохранить историю позиций") }));
    QFile file(target);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), historyCsv(store.checksOfSite(kSite)));
}

TEST_F(HistoryWindowTest, UnreadableHistoryIsReportedInsteadOfAWindow)
{
    QFile file(historyPath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(2048, '\x11'));
    file.close();
    HistoryStore store(historyPath());
    EXPECT_EQ(TfmHistory::showFor(store, kSite, nullptr), nullptr);
    ASSERT_EQ(m_prompts->shown.size(), 1u);
    EXPECT_EQ(m_prompts->shown[0].kind, ScriptedPrompts::Shown::Error);
    EXPECT_TRUE(m_prompts->shown[0].text.contains(historyPath()));
}

// The frame records its checks and names the change in the tooltip; text and colours stay.
TEST_F(HistoryWindowTest, FrameTooltipNamesTheChangeSinceThePreviousCheck)
{
    SandboxEngines sandbox(2);
    ASSERT_TRUE(sandbox.started());
    Endpoints::setCurrent(Endpoints::fromFile(sandbox.endpointsFile()));
    HistoryStore store(historyPath());
    TfrRank frame;
    frame.attachHistory(store);
    frame.edWEB->setText(kSite);
    frame.edKeyWord1->setText(QStringLiteral("slon"));
    ASSERT_TRUE(sandbox.command("place YandexRu slon 14"));
    frame.ButtonClick();
    ResultCell* cell = frame.rankCell(Engine::YandexRu, 1);
    EXPECT_FALSE(cell->toolTip().contains(QStringLiteral("С прошлой проверки")));

    ASSERT_TRUE(sandbox.command("place YandexRu slon 4"));
    frame.ButtonClick();
    Endpoints::setCurrent(Endpoints::defaults());
    EXPECT_EQ(cell->text(), QStringLiteral("4"));
    EXPECT_EQ(cell->backgroundColor(), frame.StaticText2->backgroundColor());
    const QStringList lines = cell->toolTip().split(u'\n');
    ASSERT_EQ(lines.size(), 2) << cell->toolTip().toStdString();
    EXPECT_EQ(lines[0], QStringLiteral("Найден на странице 1"));
    EXPECT_TRUE(lines[1].contains(QStringLiteral("выше на 10 (было 14)"))) << lines[1].toStdString();
    EXPECT_EQ(store.checksOfSite(kSite).size(), 2);
}

TEST_F(HistoryWindowTest, DamagedHistoryIsSaidOnceAfterTheCheckAndTheChecksGoOn)
{
    SandboxEngines sandbox(2);
    ASSERT_TRUE(sandbox.started());
    Endpoints::setCurrent(Endpoints::fromFile(sandbox.endpointsFile()));
    TfmMain main;
    const QString path = main.history().location();
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QByteArray noise(3000, '\x7f');
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(noise);
    }
    TfrRank* frame = main.selectedFrame();
    frame->edWEB->setText(kSite);
    frame->edKeyWord1->setText(QStringLiteral("slon"));
    ASSERT_TRUE(sandbox.command("place YandexRu slon 7"));
    frame->ButtonClick();
    QCoreApplication::processEvents();
    frame->ButtonClick();
    QCoreApplication::processEvents();
    Endpoints::setCurrent(Endpoints::defaults());
    EXPECT_EQ(frame->rankCell(Engine::YandexRu, 1)->text(), QStringLiteral("7"));
    const QStringList texts = m_prompts->texts();
    ASSERT_EQ(texts.size(), 1) << texts.join(u'|').toStdString();
    EXPECT_TRUE(texts[0].startsWith(QStringLiteral("История позиций не записана: ")))
        << texts[0].toStdString();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), noise);
    QFile::remove(path);
}

TEST_F(HistoryWindowTest, MenuItemOpensTheSelectedProjectsHistory)
{
    TfmMain main;
    main.selectedFrame()->edWEB->setText(kSite);
    ASSERT_TRUE(main.history().record(check(0, 8, 3)));
    main.N16Click();
    auto* window = main.findChild<TfmHistory*>();
    ASSERT_TRUE(window);
    waitForWork(*window);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->Grid->model()->rowCount(), 1);
    EXPECT_TRUE(m_prompts->shown.empty());
}

TEST_F(HistoryWindowTest, OpenWindowShowsEveryLaterCheckOfItsSiteOnly)
{
    const QString site = QStringLiteral("http://www.refresh.example/");
    const auto checkOf = [](const QString& siteText, int day) {
        RecordedCheck made = check(day, 8, 3);
        made.site = siteText;
        RecordedResult second = made.results.front();
        second.keyword = QStringLiteral("второе слово");
        made.results << second;
        return made;
    };
    TfmMain main;
    main.selectedFrame()->edWEB->setText(site);
    ASSERT_TRUE(main.history().record(checkOf(site, 0)));
    main.N16Click();
    auto* window = main.findChild<TfmHistory*>();
    ASSERT_TRUE(window);
    waitForWork(*window);
    window->KeywordBox->setCurrentIndex(1);

    ASSERT_TRUE(main.history().record(checkOf(QStringLiteral("Refresh.example"), 1)));
    ASSERT_TRUE(main.history().record(checkOf(QStringLiteral("refresh.example.com"), 2)));
    QCoreApplication::processEvents();
    waitForWork(*window);

    EXPECT_EQ(window->Grid->model()->rowCount(), 2);
    EXPECT_EQ(window->KeywordBox->currentText(), QStringLiteral("второе слово"));
}

} // namespace
