#include "report/ReportFormat.h"

#include "report/XlsxBook.h"

namespace {

CellRange at(const char* a1)
{
    return CellRange::parse(QString::fromLatin1(a1));
}

FormatAction action(const char* a1, FormatSetting setting)
{
    return { at(a1), setting };
}

const BorderAround kThinBlackBorder { Spreadsheet::xlContinuous, Spreadsheet::xlThin, Spreadsheet::Black };

double columnWidth(int column)
{
    if (column == 1)
        return 0.75;
    if (column == 2)
        return 1.43;
    if (column == 3)
        return 27.57;
    switch ((column - 4) % 3) {
    case 0:
        return 0.83; // spacers D, G, J, M, P, S
    case 1:
        return 6.29; // positions
    default:
        return 6.71; // query counts
    }
}

template <typename Change> void styleCells(XlsxSheet& sheet, const CellRange& cells, Change change)
{
    for (int row = cells.first.row; row <= cells.last.row; ++row) {
        for (int column = cells.first.column; column <= cells.last.column; ++column)
            change(sheet.styles[{ row, column }]);
    }
}

void borderAround(XlsxSheet& sheet, const CellRange& cells, const BorderAround& border)
{
    const XlsxEdge edge { border.lineStyle, border.weight, border.color };
    const CellAddress first = cells.first, last = cells.last;
    styleCells(sheet, { first, { first.row, last.column } }, [&](XlsxCellStyle& s) { s.top = edge; });
    styleCells(sheet, { { last.row, first.column }, last }, [&](XlsxCellStyle& s) { s.bottom = edge; });
    styleCells(sheet, { first, { last.row, first.column } }, [&](XlsxCellStyle& s) { s.left = edge; });
    styleCells(sheet, { { first.row, last.column }, last }, [&](XlsxCellStyle& s) { s.right = edge; });
}

void apply(XlsxSheet& sheet, const FormatAction& action)
{
    const CellRange& cells = action.target;
    std::visit(
        [&](const auto& setting) {
            using Setting = std::decay_t<decltype(setting)>;
            if constexpr (std::is_same_v<Setting, BorderAround>)
                borderAround(sheet, cells, setting);
            else if constexpr (std::is_same_v<Setting, FontSize>)
                styleCells(sheet, cells, [&](XlsxCellStyle& s) { s.fontSize = setting.points; });
            else if constexpr (std::is_same_v<Setting, FontBold>)
                styleCells(sheet, cells, [](XlsxCellStyle& s) { s.bold = true; });
            else if constexpr (std::is_same_v<Setting, FontColor>)
                styleCells(sheet, cells, [&](XlsxCellStyle& s) { s.fontColor = setting.color; });
            else if constexpr (std::is_same_v<Setting, InteriorColor>)
                styleCells(sheet, cells, [&](XlsxCellStyle& s) { s.fillColor = setting.color; });
            else if constexpr (std::is_same_v<Setting, RowHeight>)
                for (int row = cells.first.row; row <= cells.last.row; ++row)
                    sheet.rowHeights[row] = setting.points;
            else if constexpr (std::is_same_v<Setting, ColumnWidth>)
                sheet.columnWidths[cells.first.column] = setting.width;
        },
        action.setting);
}

} // namespace

ReportFormat ReportFormat::standard()
{
    ReportFormat format;
    auto step
        = [&format](QList<FormatAction> actions) { format.steps.append(FormatStep { std::move(actions) }); };

    step({ action("B3:U24", kThinBlackBorder), action("B3:U24", FontSize { 9 }) });
    step({ action("B26:U36", kThinBlackBorder), action("B26:U36", FontSize { 8 }) });
    step({ action("C1", FontBold {}), action("C1", FontSize { 12 }) });
    step({ action("E4:E5", FontBold {}) });
    step({ action("K4:K5", FontBold {}) });
    step({ action("E7:U7", FontBold {}) });
    step({ action("E8:U8", FontSize { 8 }) });
    step({ action("D4:U5", InteriorColor { Spreadsheet::LightGreen }) });
    QList<FormatAction> keywordRows;
    for (int row = 9; row <= 21; row += 2)
        keywordRows.append({ { { row, 3 }, { row, 21 } }, InteriorColor { Spreadsheet::LightGreen } });
    step(keywordRows);
    step({ action("A1:A2", RowHeight { 15.75 }) });
    step({ action("A3:A40", RowHeight { 12 }) });
    QList<FormatAction> widths;
    for (int column = 1; column <= 21; ++column)
        widths.append({ CellRange::cell(1, column), ColumnWidth { columnWidth(column) } });
    step(widths);
    step({ action("C36", FontColor { Spreadsheet::Silver }) });
    return format;
}

void ReportFormat::applyTo(XlsxSheet& sheet) const
{
    for (const FormatStep& step : steps) {
        for (const FormatAction& one : step.actions)
            apply(sheet, one);
    }
}
