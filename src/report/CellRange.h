#pragma once

#include <QString>
#include <QStringView>
#include <compare>

// A cell of a worksheet, 1-based, row first.
struct CellAddress {
    int row = 1;
    int column = 1;
    auto operator<=>(const CellAddress&) const = default;
};

// A rectangle of cells given by two corners, first the upper left one.
struct CellRange {
    CellAddress first;
    CellAddress last;

    static CellRange cell(int row, int column) { return { { row, column }, { row, column } }; }
    // "B3:U24" or "C1"; throws std::invalid_argument for anything else.
    static CellRange parse(QStringView a1);

    int rowCount() const { return last.row - first.row + 1; }
    int columnCount() const { return last.column - first.column + 1; }
    bool contains(CellAddress cell) const;
    QString address() const;

    bool operator==(const CellRange&) const = default;
};

// "A" for 1, "Z" for 26, "AA" for 27.
QString columnLetters(int column);
