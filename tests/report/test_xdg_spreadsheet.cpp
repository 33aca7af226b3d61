#include "report/ReportExport.h"
#include "report/WorkbookError.h"
#include "report/XdgSpreadsheet.h"
#include "support/WorkbookReader.h"
#include "support/XlsxDesktop.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

const Project kProject = [] {
    Project project;
    project.site = QStringLiteral("http://www.example.ru/");
    return project;
}();
const ProjectResults kResults;

ReportExport::Request request(const QString& sheetName)
{
    return { sheetName, kProject, kResults, QDate(2026, 12, 7) };
}

TEST(XdgSpreadsheet, IsAvailableWhenTheDesktopHasAnXlsxDefault)
{
    {
        XlsxDesktop bare(false);
        EXPECT_FALSE(XdgSpreadsheet([](const QString&) { return true; }, QDir::tempPath()).available());
    }
    XlsxDesktop desktop(true);
    EXPECT_EQ(defaultApplicationFor(XdgSpreadsheet::xlsxMimeType()), QStringLiteral("test-sheets.desktop"));
    EXPECT_TRUE(XdgSpreadsheet([](const QString&) { return true; }, QDir::tempPath()).available());
}

TEST(XdgSpreadsheet, WithoutASpreadsheetOnlyTheMessageIsShown)
{
    XlsxDesktop desktop(false);
    QStringList opened, messages;
    XdgSpreadsheet spreadsheet(
        [&opened](const QString& path) { return opened << path, true; }, desktop.tempFolder());
    ReportExport::run(spreadsheet, request(QStringLiteral("Новый проект")),
        [&messages](const QString& text) { messages << text; });

    EXPECT_EQ(messages,
        QStringList { QStringLiteral("Невозможно выполнить операцию.\n\rУ Вас не установлен MS Excel!") });
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_TRUE(desktop.tempFiles().isEmpty());
}

TEST(XdgSpreadsheet, EachExportIsANewCompleteFileOpenedWithTheDefaultApplication)
{
    XlsxDesktop desktop(true);
    QStringList opened, messages;
    XdgSpreadsheet spreadsheet(
        [&opened](const QString& path) { return opened << path, true; }, QDir::tempPath());
    const auto showMessage = [&messages](const QString& text) { messages << text; };

    ReportExport::run(spreadsheet, request(QStringLiteral("Новый проект")), showMessage);
    ReportExport::run(spreadsheet, request(QStringLiteral("Новый проект")), showMessage);

    EXPECT_TRUE(messages.isEmpty());
    const QDir temp(desktop.tempFolder());
    EXPECT_EQ(opened,
        (QStringList { temp.filePath(QStringLiteral("Новый проект.xlsx")),
            temp.filePath(QStringLiteral("Новый проект (2).xlsx")) }));
    EXPECT_EQ(desktop.tempFiles(),
        (QStringList { QStringLiteral("Новый проект (2).xlsx"), QStringLiteral("Новый проект.xlsx") }));
    QString error;
    const auto workbook = WorkbookReader::read(opened.value(0), &error);
    ASSERT_TRUE(workbook) << error.toStdString();
    EXPECT_EQ(workbook->sheetName(), QStringLiteral("Новый проект"));
    EXPECT_EQ(workbook->text(5, 3), QStringLiteral("http://www.example.ru/"));
}

TEST(XdgSpreadsheet, AHandlerThatCannotStartIsAnError)
{
    XlsxDesktop desktop(true);
    XdgSpreadsheet spreadsheet([](const QString&) { return false; }, QDir::tempPath());
    try {
        ReportExport::run(spreadsheet, request(QStringLiteral("site")), [](const QString&) {});
        FAIL() << "a failed open went unreported";
    } catch (const WorkbookError& error) {
        EXPECT_EQ(QString::fromUtf8(error.what()),
            QStringLiteral(
                "Не удалось открыть «%1» программой, которую рабочий стол назначил для таких файлов.")
                .arg(QDir(desktop.tempFolder()).filePath(QStringLiteral("site.xlsx"))));
    }
}

} // namespace
