#include "ReportSamples.h"
#include "report/ReportExport.h"
#include "report/ReportFormat.h"
#include "report/ReportGrid.h"

#include <gtest/gtest.h>

namespace {

XlsxSheet formatted(const QList<FormatAction>& actions)
{
    XlsxSheet sheet;
    ReportFormat { { FormatStep { actions } } }.applyTo(sheet);
    return sheet;
}

TEST(ReportFormat, ThirteenStepsInTheirOrder)
{
    const ReportFormat format = ReportFormat::standard();
    ASSERT_EQ(format.steps.size(), 13);
    // Step 1: the border comes before the font size; step 9 fills the keyword rows top down.
    EXPECT_TRUE(std::holds_alternative<BorderAround>(format.steps[0].actions.value(0).setting));
    ASSERT_EQ(format.steps[8].actions.size(), 7);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(format.steps[8].actions[i].target, (CellRange { { 9 + 2 * i, 3 }, { 9 + 2 * i, 21 } }));
    ASSERT_EQ(format.steps[11].actions.size(), 21);
    for (int column = 1; column <= 21; ++column)
        EXPECT_EQ(format.steps[11].actions[column - 1].target.first.column, column);
}

TEST(ReportFormat, ABorderAroundOneCellGivesItFourEdgesAndLaterSettingsWin)
{
    const XlsxSheet sheet = formatted({ { CellRange::cell(2, 2), BorderAround { 1, 2, 0 } },
        { CellRange::parse(u"A1:C3"), FontSize { 9 } }, { CellRange::parse(u"B2:C2"), FontSize { 8 } },
        { CellRange::parse(u"A1:C3"), BorderAround { 1, -4138, 0xFF } } });

    const XlsxCellStyle& centre = sheet.styles.at({ 2, 2 });
    const XlsxEdge thin { 1, 2, 0 };
    EXPECT_EQ(centre.top, thin);
    EXPECT_EQ(centre.bottom, thin);
    EXPECT_EQ(centre.left, thin);
    EXPECT_EQ(centre.right, thin);
    EXPECT_EQ(centre.fontSize, 8);
    const XlsxEdge medium { 1, -4138, 0xFF };
    const XlsxCellStyle& corner = sheet.styles.at({ 3, 3 });
    EXPECT_EQ(corner.bottom, medium);
    EXPECT_EQ(corner.right, medium);
    EXPECT_FALSE(corner.top);
    EXPECT_FALSE(corner.left);
    EXPECT_EQ(corner.fontSize, 9);
    EXPECT_EQ(sheet.styles.at({ 2, 3 }).right, medium);
    EXPECT_EQ(sheet.styles.at({ 2, 3 }).fontSize, 8);
}

TEST(ReportFormat, AColumnTakesAWidthAndARangeItsRowsHeights)
{
    const XlsxSheet sheet = formatted({ { CellRange::cell(1, 3), ColumnWidth { 27.57 } },
        { CellRange::parse(u"A3:A5"), RowHeight { 12 } } });
    EXPECT_EQ(sheet.columnWidths, (std::map<int, double> { { 3, 27.57 } }));
    EXPECT_EQ(sheet.rowHeights, (std::map<int, double> { { 3, 12 }, { 4, 12 }, { 5, 12 } }));
    EXPECT_TRUE(sheet.styles.empty());
}

TEST(ReportExport, TheWorkbookIsOneNamedSheetOfTheGridsTextsInTheReportsFormat)
{
    const ReportSample sample = checkedProject();
    const QDate today(2026, 12, 7);
    const QLocale russian(QLocale::Russian, QLocale::Russia);
    const XlsxBook book = ReportExport::workbook(
        { QStringLiteral("Новый проект"), sample.project, sample.results, today, russian });

    ASSERT_EQ(book.sheets.size(), 1u);
    const XlsxSheet& sheet = book.sheets[0];
    EXPECT_EQ(sheet.name, QStringLiteral("Новый проект"));
    const ReportGrid grid = ReportGrid::build(sample.project, sample.results, today, russian);
    for (int row = 1; row <= ReportGrid::RowCount; ++row) {
        for (int column = 1; column <= ReportGrid::ColumnCount; ++column) {
            const auto text = sheet.texts.find({ row, column });
            EXPECT_EQ(text == sheet.texts.end() ? QString() : text->second, grid.text(row, column))
                << row << "," << column;
        }
    }
    XlsxSheet format;
    ReportFormat::standard().applyTo(format);
    EXPECT_EQ(sheet.styles, format.styles);
    EXPECT_EQ(sheet.rowHeights, format.rowHeights);
    EXPECT_EQ(sheet.columnWidths, format.columnWidths);
    EXPECT_EQ(sheet.styles.at({ 3, 2 }).fontSize, 9);
}

} // namespace
