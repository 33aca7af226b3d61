#pragma once

#include "report/CellRange.h"

#include <QList>
#include <variant>

struct XlsxSheet;

// The spreadsheet's line style, weight and colours (red in the low byte) of the report's format.
namespace Spreadsheet {
inline constexpr int xlContinuous = 1;
inline constexpr int xlThin = 2;
inline constexpr int Black = 0x000000;
inline constexpr int LightGreen = 0xCCFFCC;
inline constexpr int Silver = 0xC0C0C0;
} // namespace Spreadsheet

// One setting given to a range of cells.
struct BorderAround {
    int lineStyle;
    int weight;
    int color;
    bool operator==(const BorderAround&) const = default;
};
struct FontSize {
    int points;
    bool operator==(const FontSize&) const = default;
};
struct FontBold {
    bool operator==(const FontBold&) const = default;
};
struct FontColor {
    int color;
    bool operator==(const FontColor&) const = default;
};
struct InteriorColor {
    int color;
    bool operator==(const InteriorColor&) const = default;
};
struct RowHeight {
    double points; // the rows of the target
    bool operator==(const RowHeight&) const = default;
};
struct ColumnWidth {
    double width; // characters, the column of the target's first cell
    bool operator==(const ColumnWidth&) const = default;
};
using FormatSetting
    = std::variant<BorderAround, FontSize, FontBold, FontColor, InteriorColor, RowHeight, ColumnWidth>;

struct FormatAction {
    CellRange target;
    FormatSetting setting;
    bool operator==(const FormatAction&) const = default;
};

// One numbered step of the report format: its actions in order.
struct FormatStep {
    QList<FormatAction> actions;
    bool operator==(const FormatStep&) const = default;
};

// The report's formatting: thirteen steps, applied in order to the worksheet.
struct ReportFormat {
    QList<FormatStep> steps;

    static ReportFormat standard();

    // Gives every step's settings to the sheet: a cell's format is merged from every setting that
    // covered it, later ones over earlier ones; a border goes around the edge of its range.
    void applyTo(XlsxSheet& sheet) const;
};
