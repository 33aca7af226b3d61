#include "app/check/CheckWorkbook.h"
#include "rank/project/ProjectResults.h"
#include "support/WorkbookReader.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(CheckWorkbook, TheWorkbookShowsTheProjectAndWhatTheCheckFound)
{
    Project project;
    project.site = QStringLiteral("http://www.example.ru/");
    project.keyword(1) = QStringLiteral("kw1");
    project.keyword(3) = QStringLiteral("kw3");
    ProjectResults results;
    results.cy = { QStringLiteral("120"), {} };
    results.pr = { QStringLiteral("4"), {} };
    results.rank(Engine::YandexRu, 1) = { {}, 0, {}, {}, CellResult::State::Reset };
    results.rank(Engine::RamblerRu, 3) = { QStringLiteral("12"), 2, {}, {}, CellResult::State::Written };
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("report.xlsx"));

    writeCheckWorkbook(project, results, QStringLiteral("/projects/site.zlt"), path, QDate(2026, 12, 7));

    QString error;
    const auto workbook = WorkbookReader::read(path, &error);
    ASSERT_TRUE(workbook) << error.toStdString();
    EXPECT_EQ(workbook->sheetName(), QStringLiteral("site"));
    EXPECT_EQ(workbook->text(5, 3), project.site);
    EXPECT_EQ(workbook->text(5, 12), QStringLiteral("120"));
    EXPECT_EQ(workbook->text(5, 6), QStringLiteral("4"));
    EXPECT_EQ(workbook->text(13, 3), QStringLiteral("kw3"));
    EXPECT_EQ(workbook->text(13, 14), QStringLiteral("12")); // Rambler.ru's position of keyword 3
    EXPECT_EQ(workbook->text(13, 15), QStringLiteral("-")); // Rambler.ru has no query count
    EXPECT_EQ(workbook->text(9, 11), QString()); // Yandex.ru's blanked position of keyword 1
    EXPECT_EQ(workbook->text(9, 12), QString());
}

TEST(CheckWorkbook, SheetNamesFollowTheTabCaption)
{
    EXPECT_EQ(projectSheetName(QString()), QStringLiteral("Новый проект"));
    EXPECT_EQ(projectSheetName(QStringLiteral("/home/u/projects/site.zlt")), QStringLiteral("site"));
    EXPECT_EQ(projectSheetName(QStringLiteral("a.b.zlt")), QStringLiteral("a.b"));
    EXPECT_EQ(projectSheetName(QStringLiteral("/tmp/noextension")), QStringLiteral("noextension"));
}

} // namespace
