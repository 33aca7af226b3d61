#include "AppFixture.h"

#include "app/ui/ProjectTabBar.h"

#include "app/frame/ResultCell.h"
#include "app/frame/TfrRank.h"
#include "support/WorkbookReader.h"
#include "support/XlsxDesktop.h"

#include <QDir>
#include <QLineEdit>

namespace {

class ExportMenu : public MainWindowTest { };

TEST_F(ExportMenu, WithoutASpreadsheetApplicationAPlainBoxSaysSo)
{
    XlsxDesktop bare(false);
    auto window = openWindow();
    window->N9->trigger();
    ASSERT_EQ(prompts->shown.size(), 1u);
    EXPECT_EQ(prompts->shown[0].kind, ScriptedPrompts::Shown::Message);
    EXPECT_EQ(prompts->shown[0].text,
        QStringLiteral("Невозможно выполнить операцию.\n\rУ Вас не установлен MS Excel!"));
    EXPECT_TRUE(desktop->files.isEmpty());
    EXPECT_TRUE(bare.tempFiles().isEmpty());
}

TEST_F(ExportMenu, ANewProjectOpensAsAWorkbookOfItsTexts)
{
    XlsxDesktop sheets(true);
    auto window = openWindow();
    TfrRank* frame = window->selectedFrame();
    type(frame->edKeyWord2, QStringLiteral("окна пвх"));
    frame->results().rank(Engine::GoogleRu, 2).text = QStringLiteral("007");
    frame->results().count(Engine::YandexRu, 2).text = QStringLiteral("1.10");

    window->N9->trigger();

    EXPECT_TRUE(prompts->shown.empty()) << prompts->texts().join(u'|').toStdString();
    const QString report = QDir(sheets.tempFolder()).filePath(QStringLiteral("Новый проект.xlsx"));
    ASSERT_EQ(desktop->files, QStringList { report });
    EXPECT_EQ(sheets.tempFiles(), QStringList { QStringLiteral("Новый проект.xlsx") });
    QString error;
    const auto workbook = WorkbookReader::read(report, &error);
    ASSERT_TRUE(workbook) << error.toStdString();
    EXPECT_EQ(workbook->sheetName(), QStringLiteral("Новый проект"));
    EXPECT_EQ(workbook->text(5, 3), QStringLiteral("http://"));
    EXPECT_EQ(workbook->text(11, 2), QStringLiteral("2"));
    EXPECT_EQ(workbook->text(11, 3), QStringLiteral("окна пвх"));
    EXPECT_EQ(workbook->text(11, 8), QStringLiteral("007"));
    EXPECT_EQ(workbook->cell(11, 8)["type"].toString(), "s");
    EXPECT_EQ(workbook->text(11, 12), QStringLiteral("1.10"));
    EXPECT_EQ(workbook->text(11, 9), QStringLiteral("-"));
    EXPECT_EQ(workbook->text(13, 2), QStringLiteral("3"));
    EXPECT_EQ(workbook->text(7, 20), QStringLiteral("Msn.com"));
}

TEST_F(ExportMenu, TheSelectedTabGivesTheSheetItsCaption)
{
    XlsxDesktop sheets(true);
    auto window = openWindow();
    prompts->fileName(writeProject(
        QStringLiteral("site.v2.zlt"), QStringLiteral("http://www.site.ru"), QStringLiteral("kw")));
    window->N4->trigger();
    ASSERT_EQ(window->TabControl->count(), 2);

    window->N9->trigger();

    const QString report = QDir(sheets.tempFolder()).filePath(QStringLiteral("site.v2.xlsx"));
    ASSERT_EQ(desktop->files, QStringList { report });
    QString error;
    const auto workbook = WorkbookReader::read(report, &error);
    ASSERT_TRUE(workbook) << error.toStdString();
    EXPECT_EQ(workbook->sheetName(), QStringLiteral("site.v2"));
    EXPECT_EQ(workbook->text(5, 3), QStringLiteral("http://www.site.ru"));
    EXPECT_EQ(workbook->text(9, 3), QStringLiteral("kw"));
}

TEST_F(ExportMenu, ACaptionTheWorkbookWouldRefuseGivesAValidSheetName)
{
    XlsxDesktop sheets(true);
    auto window = openWindow();
    prompts->fileName(writeProject(QStringLiteral("[Интернет-магазин бытовой техники].zlt"),
        QStringLiteral("http://www.site.ru"), QStringLiteral("kw")));
    window->N4->trigger();
    prompts->clear();

    window->N9->trigger();

    EXPECT_TRUE(prompts->shown.empty()) << prompts->texts().join(u'|').toStdString();
    const QString report
        = QDir(sheets.tempFolder()).filePath(QStringLiteral("_Интернет-магазин бытовой техни.xlsx"));
    ASSERT_EQ(desktop->files, QStringList { report });
    QString error;
    const auto workbook = WorkbookReader::read(report, &error);
    ASSERT_TRUE(workbook) << error.toStdString();
    EXPECT_EQ(workbook->sheetName(), QStringLiteral("_Интернет-магазин бытовой техни"));
    EXPECT_EQ(workbook->text(5, 3), QStringLiteral("http://www.site.ru"));
}

} // namespace
