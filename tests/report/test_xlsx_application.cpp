#include "report/XlsxApplication.h"

#include <gtest/gtest.h>

namespace {

// A workbook collected by the automation members, handed over when the application is shown.
class XlsxMembers : public ::testing::Test {
protected:
    XlsxMembers()
        : application([this](const XlsxBook& book) { presented.push_back(book); })
        , workbook(application.addWorkbook())
        , sheet(workbook->worksheet(1))
    {
    }

    const XlsxSheet& shown()
    {
        application.setVisible(true);
        EXPECT_EQ(presented.size(), 1u);
        return presented.back().sheets.front();
    }

    std::vector<XlsxBook> presented;
    XlsxApplication application;
    std::unique_ptr<SpreadsheetWorkbook> workbook;
    std::unique_ptr<SpreadsheetSheet> sheet;
};

TEST_F(XlsxMembers, NothingIsHandedOverBeforeTheApplicationIsShownAndNothingTwice)
{
    sheet->range(CellRange::cell(1, 1))->setValue({ { QStringLiteral("x") } });
    application.setVisible(false);
    EXPECT_TRUE(presented.empty());
    EXPECT_EQ(shown().name, QStringLiteral("Sheet1"));
    application.setVisible(true);
    EXPECT_EQ(presented.size(), 1u);
}

TEST_F(XlsxMembers, ABorderAroundOneCellGivesItFourEdgesAndLaterSettingsWin)
{
    sheet->range(CellRange::cell(2, 2))->borderAround(1, 2, 0);
    sheet->range(CellRange::parse(u"A1:C3"))->setFontSize(9);
    sheet->range(CellRange::parse(u"B2:C2"))->setFontSize(8);
    sheet->range(CellRange::parse(u"A1:C3"))->borderAround(1, -4138, 0xFF);
    const XlsxSheet& content = shown();

    const XlsxCellStyle& centre = content.styles.at({ 2, 2 });
    const XlsxEdge thin { 1, 2, 0 };
    EXPECT_EQ(centre.top, thin);
    EXPECT_EQ(centre.bottom, thin);
    EXPECT_EQ(centre.left, thin);
    EXPECT_EQ(centre.right, thin);
    EXPECT_EQ(centre.fontSize, 8);
    const XlsxEdge medium { 1, -4138, 0xFF };
    const XlsxCellStyle& corner = content.styles.at({ 3, 3 });
    EXPECT_EQ(corner.bottom, medium);
    EXPECT_EQ(corner.right, medium);
    EXPECT_FALSE(corner.top);
    EXPECT_FALSE(corner.left);
    EXPECT_EQ(corner.fontSize, 9);
    EXPECT_EQ(content.styles.at({ 2, 3 }).right, medium);
    EXPECT_EQ(content.styles.at({ 2, 3 }).fontSize, 8);
}

TEST_F(XlsxMembers, AColumnTakesAWidthAndARangeItsRowsHeights)
{
    sheet->column(3)->setColumnWidth(27.57);
    sheet->range(CellRange::parse(u"A3:A5"))->setRowHeight(12);
    const XlsxSheet& content = shown();
    EXPECT_EQ(content.columnWidths, (std::map<int, double> { { 3, 27.57 } }));
    EXPECT_EQ(content.rowHeights, (std::map<int, double> { { 3, 12 }, { 4, 12 }, { 5, 12 } }));
    EXPECT_TRUE(content.styles.empty());
}

TEST_F(XlsxMembers, EmptyTextsLeaveCellsEmpty)
{
    sheet->range(CellRange::parse(u"A1:B2"))->setValue({ { "a", "" }, { "", "007" } });
    sheet->range(CellRange::cell(1, 1))->setValue({ { "" } });
    EXPECT_EQ(shown().texts, (std::map<CellAddress, QString> { { { 2, 2 }, QStringLiteral("007") } }));
}

using Call = void (*)(SpreadsheetSheet&);

class RefusedCall : public ::testing::TestWithParam<std::pair<const char*, Call>> { };

TEST_P(RefusedCall, RaisesAnErrorAndChangesNothing)
{
    std::vector<XlsxBook> presented;
    XlsxApplication application([&presented](const XlsxBook& book) { presented.push_back(book); });
    const auto sheet = application.addWorkbook()->worksheet(1);
    EXPECT_THROW(GetParam().second(*sheet), AutomationError) << GetParam().first;
    application.setVisible(true);
    ASSERT_EQ(presented.size(), 1u);
    const XlsxSheet& content = presented[0].sheets[0];
    EXPECT_TRUE(content.styles.empty() && content.texts.empty() && content.rowHeights.empty()
        && content.columnWidths.empty())
        << GetParam().first;
}

INSTANTIATE_TEST_SUITE_P(Members, RefusedCall,
    ::testing::Values(
        std::pair<const char*, Call> { "whole sheet font",
            [](SpreadsheetSheet& s) { s.range(CellRange::parse(u"A1:XFD1048576"))->setFontBold(true); } },
        std::pair<const char*, Call> {
            "whole column font", [](SpreadsheetSheet& s) { s.column(2)->setFontSize(9); } },
        std::pair<const char*, Call> {
            "font size 0", [](SpreadsheetSheet& s) { s.range(CellRange::cell(1, 1))->setFontSize(0); } },
        std::pair<const char*, Call> { "row height 410",
            [](SpreadsheetSheet& s) { s.range(CellRange::cell(1, 1))->setRowHeight(410); } },
        std::pair<const char*, Call> {
            "width 256", [](SpreadsheetSheet& s) { s.column(1)->setColumnWidth(256); } },
        std::pair<const char*, Call> { "column 0", [](SpreadsheetSheet& s) { s.column(0); } },
        std::pair<const char*, Call> { "row 0",
            [](SpreadsheetSheet& s) {
                s.range({ { 0, 1 }, { 1, 1 } });
            } },
        std::pair<const char*, Call> { "unknown line style",
            [](SpreadsheetSheet& s) { s.range(CellRange::cell(1, 1))->borderAround(99, 2, 0); } },
        std::pair<const char*, Call> { "colour beyond 24 bits",
            [](SpreadsheetSheet& s) { s.range(CellRange::cell(1, 1))->setInteriorColor(0x1000000); } },
        std::pair<const char*, Call> { "value of another size",
            [](SpreadsheetSheet& s) { s.range(CellRange::parse(u"A1:B1"))->setValue({ { "a" } }); } }));

TEST(XlsxWorkbook, HasOneSheet)
{
    XlsxApplication application([](const XlsxBook&) {});
    const auto workbook = application.addWorkbook();
    EXPECT_THROW(workbook->worksheet(2), AutomationError);
    EXPECT_THROW(workbook->worksheet(0), AutomationError);
}

} // namespace
