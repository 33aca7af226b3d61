#pragma once

#include <QJsonObject>
#include <QString>
#include <optional>

// A workbook as a real spreadsheet reader sees it: openpyxl, run with the system's Python
// (/usr/bin/python3, which has Debian's python3-openpyxl), through tests/support/read_workbook.py.
class WorkbookReader {
public:
    // Reads path; on failure returns nothing and leaves the reason in error.
    static std::optional<WorkbookReader> read(const QString& path, QString* error);

    QString sheetName() const;
    QStringList sheetNames() const;
    // One cell of A1:Y40: value, type ("s" text, "n" number...), bold, size, fontColor, fill,
    // left/right/top/bottom ({style, color} or null). Colours as "FFRRGGBB".
    QJsonObject cell(const QString& address) const;
    QJsonObject cell(int row, int column) const;
    // The text of a cell; empty for an empty cell.
    QString text(int row, int column) const;
    std::optional<double> rowHeight(int row) const;
    // The column's width in the spreadsheet's character units, as the spreadsheet shows it
    // (two decimals), converted from the stored width.
    std::optional<double> columnWidth(int column) const;
    // The workbook's shared strings as stored, "_xHHHH_" escapes undecoded.
    QStringList storedStrings() const;
    int maxRow() const;
    int maxColumn() const;

private:
    QJsonObject m_json;
};
