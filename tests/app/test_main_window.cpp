#include "AppFixture.h"

#include "app/frame/TfrRank.h"
#include "app/ui/ProjectDialog.h"
#include "app/ui/ProjectTabBar.h"
#include "net/Endpoints.h"
#include "platform/CodePage.h"
#include "support/WidgetInput.h"

#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace {

const QString kNewProject = QStringLiteral("Новый проект");

QStringList tabCaptions(const TfmMain& window)
{
    QStringList captions;
    for (int i = 0; i < window.TabControl->count(); ++i)
        captions << window.TabControl->tabText(i);
    return captions;
}

// Only the selected tab's frame is visible.
void expectOnlySelectedFrameVisible(const TfmMain& window)
{
    ASSERT_EQ(window.ProjectFrames().size(), window.TabControl->count());
    for (int i = 0; i < window.ProjectFrames().size(); ++i)
        EXPECT_EQ(window.ProjectFrames()[i]->isVisible(), i == window.TabControl->currentIndex())
            << "frame " << i;
}

void clickTab(ProjectTabBar* bar, int index)
{
    clickAt(bar, bar->tabRect(index).center());
}

} // namespace

TEST_F(MainWindowTest, StartsWithOneNewProjectInAFixedWindow)
{
    auto window = openWindow();
    EXPECT_EQ(window->windowTitle(), "Kestrova Sertrix");
    EXPECT_EQ(window->centralWidget(), window->TabControl);
    EXPECT_EQ(window->TabControl->size(), QSize(982, 644));
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(window->windowFlags() & Qt::WindowMinimizeButtonHint);

    EXPECT_EQ(tabCaptions(*window), QStringList { kNewProject });
    ASSERT_EQ(window->ProjectFrames().size(), 1);
    TfrRank* frame = window->ProjectFrames()[0];
    EXPECT_EQ(frame->parentWidget(), window->TabControl);
    EXPECT_EQ(frame->pos(), QPoint(4, 24));
    EXPECT_TRUE(frame->isVisible());
    EXPECT_EQ(frame->edWEB->text(), "http://");
    EXPECT_FALSE(frame->modified());

    EXPECT_EQ(window->ButtonClose->geometry(), QRect(961, 1, 20, 19));
    EXPECT_EQ(window->Timer1->interval(), 1000);
    EXPECT_TRUE(window->Timer1->isActive());
    window->Timer1Timer();
    EXPECT_FALSE(window->Timer1->isActive());
}

TEST_F(MainWindowTest, MenuHoldsEveryItemWithItsCaption)
{
    auto window = openWindow();
    const QList<std::pair<const char*, QString>> items = {
        { "N3", "Создать новый проект" },
        { "N4", "Открыть проект" },
        { "N5", "Сохранить проект" },
        { "N6", "Сохранить проект как..." },
        { "N15", "Закрыть проект" },
        { "N9", "Экспорт" },
        { "N16", "История позиций..." },
        { "N17", "Расписание проверок..." },
        { "N18", "Регион проверки..." },
        { "N19", "Где хранить историю..." },
        { "N20", "Источники результатов..." },
        { "N10", "Выход" },
        { "N11", "Помощь" },
        { "N12", "Сайт программы" },
        { "N13", "Версия" },
        { "N14", "Проверить обновления" },
    };
    for (const auto& [name, caption] : items) {
        auto* action = window->findChild<QAction*>(QLatin1String(name));
        ASSERT_TRUE(action) << name;
        EXPECT_EQ(action->text(), caption) << name;
    }
    const QList<QAction*> main = window->N1->actions();
    ASSERT_EQ(main.size(), 14);
    EXPECT_TRUE(main[5]->isSeparator());
    EXPECT_EQ(main[5]->objectName(), "N7");
    EXPECT_EQ(main[6], window->N9);
    EXPECT_EQ(main[7], window->N16);
    EXPECT_EQ(main[8], window->N17);
    EXPECT_EQ(main[9], window->N18);
    EXPECT_EQ(main[10], window->N19);
    EXPECT_EQ(main[11], window->N20);
    EXPECT_TRUE(main[12]->isSeparator());
    EXPECT_EQ(main[12]->objectName(), "N8");
    EXPECT_EQ(window->N1->title(), QStringLiteral("Основное"));
    EXPECT_EQ(window->N2->title(), QStringLiteral("О программе"));
    EXPECT_EQ(window->N11->shortcut(), QKeySequence(Qt::Key_F1));

    const QList<QAction*> bar = window->menuBar()->actions();
    ASSERT_EQ(bar.size(), 3);
    EXPECT_EQ(bar[0]->menu(), window->N1);
    EXPECT_EQ(bar[1]->menu(), window->N2);
    EXPECT_EQ(bar[2], window->Onlinesupport1);
}

TEST_F(MainWindowTest, AFourthProjectIsRefusedSilently)
{
    auto window = openWindow();
    window->N3Click();
    window->N3Click();
    EXPECT_EQ(tabCaptions(*window), (QStringList { kNewProject, kNewProject, kNewProject }));
    EXPECT_EQ(window->TabControl->currentIndex(), 2);
    expectOnlySelectedFrameVisible(*window);

    prompts->fileName(writeProject("four.zlt", "http://four.ru", "x"));
    window->N3Click();
    window->N4Click();
    EXPECT_EQ(window->TabControl->count(), 3);
    EXPECT_EQ(window->ProjectFrames().size(), 3);
    EXPECT_TRUE(prompts->shown.empty());
}

TEST_F(MainWindowTest, ClosingTheOnlyProjectShowsANewOne)
{
    auto window = openWindow();
    QPointer<TfrRank> first = window->ProjectFrames()[0];
    window->ButtonClose->click();
    EXPECT_TRUE(prompts->shown.empty());
    EXPECT_FALSE(first);
    EXPECT_EQ(tabCaptions(*window), QStringList { kNewProject });
    ASSERT_EQ(window->ProjectFrames().size(), 1);
    EXPECT_TRUE(window->ProjectFrames()[0]->isVisible());
}

TEST_F(MainWindowTest, ClosingAMiddleTabSelectsTheLast)
{
    auto window = openWindow();
    prompts->fileName(writeProject("second.zlt", "http://second.ru", "two"));
    prompts->fileName(writeProject("third.zlt", "http://third.ru", "three"));
    window->N4Click();
    window->N4Click();
    clickTab(window->TabControl, 1);
    ASSERT_EQ(window->TabControl->currentIndex(), 1);
    expectOnlySelectedFrameVisible(*window);

    window->N15Click();
    EXPECT_EQ(tabCaptions(*window), (QStringList { kNewProject, "third" }));
    EXPECT_EQ(window->TabControl->currentIndex(), 1);
    EXPECT_EQ(window->ProjectFrames()[1]->edWEB->text(), "http://third.ru");
    expectOnlySelectedFrameVisible(*window);
}

TEST_F(MainWindowTest, ClosingAModifiedProjectAsksAndSavesOnYes)
{
    auto window = openWindow();
    const QString path = writeProject("kept.zlt", "http://kept.ru", "old");
    prompts->fileName(path);
    window->N4Click();
    type(window->selectedFrame()->edKeyWord1, "er");
    prompts->clear();

    prompts->answer(Prompts::Button::Yes);
    window->N15Click();
    ASSERT_EQ(prompts->shown.size(), 1u);
    const auto& question = prompts->shown[0];
    EXPECT_EQ(question.text, QStringLiteral("Проект \"kept\" не сохранен. Сохранить?"));
    EXPECT_EQ(question.icon, Prompts::Icon::Warning);
    EXPECT_EQ(question.buttons, int(Prompts::Button::Yes) | int(Prompts::Button::No));
    EXPECT_EQ(question.defaultButton, Prompts::Button::Yes);
    EXPECT_TRUE(readFile(path).contains("Text=\"older\""));
    EXPECT_EQ(tabCaptions(*window), QStringList { kNewProject });
}

TEST_F(MainWindowTest, OpenRestoresTheProjectAndCaptionsItWithoutTheLastExtension)
{
    auto window = openWindow();
    const QString path = writeProject("a.b.zlt", "http://shop.ru", QStringLiteral("купить слона"));
    prompts->fileName(path);
    window->N4Click();

    ASSERT_EQ(prompts->shown.size(), 1u);
    const auto& dialog = prompts->shown[0].dialog;
    EXPECT_EQ(dialog.title, QStringLiteral("Загрузить проект"));
    EXPECT_EQ(dialog.filter, "KS Sertrix|*.zlt");
    EXPECT_EQ(dialog.defaultExt, "*.zlt");
    EXPECT_EQ(dialog.initialDir, QCoreApplication::applicationDirPath());

    EXPECT_EQ(tabCaptions(*window), (QStringList { kNewProject, "a.b" }));
    EXPECT_EQ(window->TabControl->currentIndex(), 1);
    TfrRank* frame = window->ProjectFrames()[1];
    EXPECT_EQ(frame->fileName(), path);
    EXPECT_FALSE(frame->modified());
    EXPECT_EQ(frame->edWEB->text(), "http://shop.ru");
    EXPECT_EQ(frame->edKeyWord1->text(), QStringLiteral("купить слона"));
    EXPECT_EQ(window->OpenDialog->InitialDir(), QFileInfo(path).absolutePath());
    expectOnlySelectedFrameVisible(*window);
}

TEST_F(MainWindowTest, AProjectFileGivenAtStartIsTheFirstTab)
{
    const QString path = writeProject("shop.zlt", "http://shop.ru", QStringLiteral("слон"));
    TfmMain window(nullptr, path);
    EXPECT_EQ(tabCaptions(window), QStringList { "shop" });
    ASSERT_EQ(window.ProjectFrames().size(), 1);
    EXPECT_EQ(window.ProjectFrames()[0]->edWEB->text(), "http://shop.ru");
    EXPECT_TRUE(prompts->shown.empty());
}

TEST_F(MainWindowTest, AMissingProjectFileGivenAtStartIsSaidAndMakesNoTab)
{
    const QString path = filePath("absent.zlt");
    TfmMain window(nullptr, path);
    EXPECT_EQ(tabCaptions(window), QStringList { kNewProject });
    ASSERT_EQ(prompts->shown.size(), 1u);
    EXPECT_EQ(prompts->shown[0].kind, ScriptedPrompts::Shown::Error);
    EXPECT_EQ(prompts->shown[0].text, QStringLiteral("Файл проекта не найден: ") + path);
}

TEST_F(MainWindowTest, OpeningAMissingFileOpensTheDesignValuesUnderItsName)
{
    auto window = openWindow();
    const QString path = filePath("absent.zlt");
    prompts->fileName(path);
    window->N4Click();
    EXPECT_EQ(prompts->shown.size(), 1u);
    EXPECT_EQ(tabCaptions(*window), (QStringList { kNewProject, "absent" }));
    EXPECT_EQ(window->selectedFrame()->fileName(), path);
    EXPECT_TRUE(window->selectedFrame()->CheckBoxYandexRu->isChecked());
}

TEST_F(MainWindowTest, AnUnreadableProjectFileIsReportedAndItsFrameDiscarded)
{
    auto window = openWindow();
    const QString path = filePath("bad.zlt");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[CheckBoxAportRu: TcxPropertiesStoreComponent]\r\n=\r\nChecked=\"maybe\"\r\n\r\n");
    file.close();

    prompts->fileName(path);
    window->N4Click();
    ASSERT_EQ(prompts->shown.size(), 2u);
    EXPECT_EQ(prompts->shown[1].kind, ScriptedPrompts::Shown::Error);
    EXPECT_EQ(prompts->shown[1].text, "Invalid property element: maybe");
    EXPECT_EQ(tabCaptions(*window), QStringList { kNewProject });
    EXPECT_EQ(window->TabControl->findChildren<TfrRank*>().size(), 1);
    expectOnlySelectedFrameVisible(*window);
}

TEST_F(MainWindowTest, SaveOfAnUntouchedProjectDoesNothing)
{
    auto window = openWindow();
    window->N5Click();
    EXPECT_TRUE(prompts->shown.empty());
    EXPECT_TRUE(QDir(filePath(".")).entryList(QDir::Files).isEmpty());
}

TEST_F(MainWindowTest, SaveOfATypedNewProjectAsksForAFileAndACancelKeepsItModified)
{
    auto window = openWindow();
    TfrRank* frame = window->selectedFrame();
    type(frame->edWEB, "site.ru");
    ASSERT_TRUE(frame->modified());

    window->N5Click();
    ASSERT_EQ(prompts->shown.size(), 1u);
    EXPECT_EQ(prompts->shown[0].kind, ScriptedPrompts::Shown::Save);
    EXPECT_EQ(prompts->shown[0].dialog.title, QStringLiteral("Сохранить проект как..."));
    EXPECT_EQ(prompts->shown[0].dialog.filter, "KS Sertrix|*.zlt");
    EXPECT_EQ(prompts->shown[0].dialog.defaultExt, ".zlt");
    EXPECT_TRUE(frame->modified());
    EXPECT_TRUE(frame->fileName().isEmpty());
    EXPECT_EQ(tabCaptions(*window), QStringList { kNewProject });
}

TEST_F(MainWindowTest, SaveAsWritesTheFileAndRenamesTheTab)
{
    auto window = openWindow();
    prompts->fileName(writeProject("old.zlt", "http://kept.ru", QStringLiteral("слово")));
    window->N4Click();
    const QString target = filePath("renamed.v2.zlt");
    prompts->fileName(target);
    window->N6Click();

    TfrRank* frame = window->selectedFrame();
    EXPECT_EQ(tabCaptions(*window), (QStringList { kNewProject, "renamed.v2" }));
    EXPECT_EQ(frame->fileName(), target);
    EXPECT_FALSE(frame->modified());
    EXPECT_EQ(readFile(target), readFile(filePath("old.zlt")));
    EXPECT_EQ(window->SaveDialog->InitialDir(), QFileInfo(target).absolutePath());

    // A later Save writes to the new file once something was typed.
    type(frame->edKeyWord2, "x");
    window->N5Click();
    EXPECT_TRUE(
        readFile(target).contains("[edKeyWord2: TcxPropertiesStoreComponent]\r\n=\r\nText=\"x\"\r\n"));
    EXPECT_FALSE(frame->modified());
}

TEST_F(MainWindowTest, AFailedSaveIsReportedAndLeavesTheProjectAsItWas)
{
    auto window = openWindow();
    TfrRank* frame = window->selectedFrame();
    type(frame->edWEB, "x.ru");
    const QString unwritable = filePath("no such folder/p.zlt");
    prompts->fileName(unwritable);
    window->N6Click();

    ASSERT_EQ(prompts->shown.size(), 2u);
    EXPECT_EQ(prompts->shown[1].kind, ScriptedPrompts::Shown::Error);
    EXPECT_TRUE(
        prompts->shown[1].text.startsWith(QStringLiteral("Cannot create file \"%1\".").arg(unwritable)))
        << prompts->shown[1].text.toStdString();
    EXPECT_TRUE(frame->modified());
    EXPECT_TRUE(frame->fileName().isEmpty());
    EXPECT_EQ(tabCaptions(*window), QStringList { kNewProject });
}

TEST_F(MainWindowTest, ExitAsksAboutModifiedProjectsInTabOrderAndSavesThoseAnsweredYes)
{
    auto window = openWindow();
    const QString second = writeProject("second.zlt", "http://second.ru", "two");
    const QString third = writeProject("third.zlt", "http://third.ru", "three");
    prompts->fileName(second);
    prompts->fileName(third);
    window->N4Click();
    window->N4Click();
    type(window->ProjectFrames()[1]->edKeyWord1, "2");
    type(window->ProjectFrames()[2]->edKeyWord1, "3");
    prompts->clear();

    prompts->answer(Prompts::Button::Ok);
    prompts->answer(Prompts::Button::Yes);
    prompts->answer(Prompts::Button::No);
    EXPECT_TRUE(window->close());

    ASSERT_EQ(prompts->shown.size(), 3u);
    EXPECT_EQ(prompts->shown[0].text, QStringLiteral("Вы уверены что хотите закрыть программу?"));
    EXPECT_EQ(prompts->shown[0].icon, Prompts::Icon::Question);
    EXPECT_EQ(prompts->shown[0].buttons, int(Prompts::Button::Ok) | int(Prompts::Button::Cancel));
    EXPECT_EQ(prompts->shown[0].defaultButton, Prompts::Button::Ok);
    EXPECT_EQ(prompts->shown[1].text, QStringLiteral("Проект \"second\" не сохранен. Сохранить?"));
    EXPECT_EQ(prompts->shown[2].text, QStringLiteral("Проект \"third\" не сохранен. Сохранить?"));
    EXPECT_TRUE(readFile(second).contains("Text=\"two2\""));
    EXPECT_TRUE(readFile(third).contains("Text=\"three\""));
}

TEST_F(MainWindowTest, ExitSavesANewProjectThroughTheSaveAsDialog)
{
    auto window = openWindow();
    type(window->selectedFrame()->edWEB, "new.ru");
    const QString target = filePath("fresh.zlt");
    prompts->answer(Prompts::Button::Ok);
    prompts->answer(Prompts::Button::Yes);
    prompts->fileName(target);
    EXPECT_TRUE(window->close());
    ASSERT_EQ(prompts->shown.size(), 3u);
    EXPECT_EQ(prompts->shown[1].text, QStringLiteral("Проект \"Новый проект\" не сохранен. Сохранить?"));
    EXPECT_EQ(prompts->shown[2].kind, ScriptedPrompts::Shown::Save);
    EXPECT_TRUE(readFile(target).contains("Text=\"http://new.ru\""));
}

TEST_F(MainWindowTest, CancelInTheExitConfirmationChangesNothing)
{
    auto window = openWindow();
    window->N3Click();
    type(window->ProjectFrames()[0]->edWEB, "a.ru");
    type(window->ProjectFrames()[1]->edWEB, "b.ru");
    prompts->answer(Prompts::Button::Cancel);
    window->N10Click();

    EXPECT_EQ(prompts->texts(), QStringList { QStringLiteral("Вы уверены что хотите закрыть программу?") });
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->ProjectFrames().size(), 2);
    EXPECT_TRUE(window->ProjectFrames()[0]->modified());
    EXPECT_TRUE(window->ProjectFrames()[1]->modified());
    EXPECT_EQ(window->ProjectFrames()[1]->edWEB->text(), "http://b.ru");
}

TEST_F(MainWindowTest, TabClicksSwitchTheVisibleFrame)
{
    auto window = openWindow();
    window->N3Click();
    window->N3Click();
    clickTab(window->TabControl, 0);
    EXPECT_EQ(window->TabControl->currentIndex(), 0);
    expectOnlySelectedFrameVisible(*window);
    QKeyEvent right(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
    QApplication::sendEvent(window->TabControl, &right);
    EXPECT_EQ(window->TabControl->currentIndex(), 1);
    expectOnlySelectedFrameVisible(*window);
}

TEST_F(MainWindowTest, HelpWithoutItsFileSaysSo)
{
    auto window = openWindow();
    const QDir programFolder(QCoreApplication::applicationDirPath());
    ASSERT_FALSE(programFolder.exists("help/index.html"));
    ASSERT_FALSE(programFolder.exists("../share/kestrova-sertrix/help/index.html"));
    ASSERT_FALSE(QFile::exists(QCoreApplication::applicationFilePath() + ".chm"));
    window->N11Click();
    ASSERT_EQ(prompts->shown.size(), 1u);
    EXPECT_EQ(prompts->shown[0].kind, ScriptedPrompts::Shown::Message);
    EXPECT_EQ(prompts->shown[0].text, QStringLiteral("Файл помощи отсутствует."));
    EXPECT_TRUE(desktop->files.isEmpty());
}

TEST_F(MainWindowTest, HelpAndF1OpenTheGuideBesideTheProgram)
{
    const QString folder = QCoreApplication::applicationDirPath() + "/help";
    const QString guide = folder + "/index.html";
    ASSERT_TRUE(QDir().mkpath(folder));
    const auto removeGuide = qScopeGuard([&] { QDir(folder).removeRecursively(); });
    QFile file(guide);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();

    auto window = openWindow();
    window->N11Click();
    EXPECT_EQ(desktop->files, QStringList { guide });

    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(window.get(), Qt::Key_F1);
    EXPECT_EQ(desktop->files, (QStringList { guide, guide }));
    EXPECT_TRUE(prompts->shown.empty());

    desktop->opens = false;
    window->N11Click();
    EXPECT_EQ(prompts->texts(),
        QStringList { "Не удалось открыть руководство в браузере. Откройте этот файл вручную:\n" + guide });
}

TEST_F(MainWindowTest, WebPagesOpenOnTheMakersSite)
{
    Endpoints endpoints = Endpoints::defaults();
    endpoints.MakerSite = "127.0.0.1:4012";
    Endpoints::setCurrent(endpoints);
    auto window = openWindow();
    window->N12Click();
    window->Onlinesupport1Click();
    Endpoints::setCurrent(Endpoints::defaults());
    ASSERT_EQ(desktop->urls.size(), 2);
    EXPECT_EQ(desktop->urls[0], "http://127.0.0.1:4012/");
    EXPECT_TRUE(desktop->urls[1].startsWith("http://127.0.0.1:4012/"));
}

TEST_F(MainWindowTest, DialogFoldersAreRememberedInTheFileStore)
{
    const QString openFolder = QFileInfo(writeProject("p.zlt", "http://p.ru", "k")).absolutePath();
    QTemporaryDir saveFolder;
    {
        auto window = openWindow();
        EXPECT_EQ(window->OpenDialog->InitialDir(), QCoreApplication::applicationDirPath());
        EXPECT_EQ(window->SaveDialog->InitialDir(), QCoreApplication::applicationDirPath());
        prompts->fileName(filePath("p.zlt"));
        window->N4Click();
        prompts->fileName(saveFolder.filePath("q.zlt"));
        window->N6Click();
        prompts->answer(Prompts::Button::Ok);
        ASSERT_TRUE(window->close());
    }
    const QSettings settings(configRoot() + "/Tellvik/Kestrova Sertrix.conf", QSettings::IniFormat);
    EXPECT_EQ(settings.value("FileStore/OpenDialog/InitialDir"), '"' + openFolder + '"');
    EXPECT_EQ(settings.value("FileStore/OpenDialog/[ClassName]/ClassName"), "TcxPropertiesStoreComponent");

    prompts->clear();
    auto window = openWindow();
    EXPECT_EQ(window->OpenDialog->InitialDir(), openFolder);
    EXPECT_EQ(window->SaveDialog->InitialDir(), QFileInfo(saveFolder.filePath("q.zlt")).absolutePath());
    window->N4Click();
    ASSERT_EQ(prompts->shown.size(), 1u);
    EXPECT_EQ(prompts->shown[0].dialog.initialDir, openFolder);
}
