#pragma once

#include "report/CellRange.h"

#include <QString>
#include <map>
#include <optional>
#include <vector>

// What a report workbook holds, made in memory and written whole.
// Colours in the spreadsheet's order (red in the low byte).

struct XlsxEdge {
    int lineStyle;
    int weight;
    int color;
    bool operator==(const XlsxEdge&) const = default;
};

// A cell's format: the settings of every step that covered it, later ones over earlier ones.
struct XlsxCellStyle {
    std::optional<double> fontSize;
    std::optional<bool> bold;
    std::optional<int> fontColor;
    std::optional<int> fillColor;
    std::optional<XlsxEdge> left, right, top, bottom;
    bool operator==(const XlsxCellStyle&) const = default;
};

struct XlsxSheet {
    QString name;
    std::map<CellAddress, QString> texts; // no empty ones
    std::map<CellAddress, XlsxCellStyle> styles;
    std::map<int, double> rowHeights; // points, by 1-based row
    std::map<int, double> columnWidths; // characters, by 1-based column
};

struct XlsxBook {
    std::vector<XlsxSheet> sheets;
};
