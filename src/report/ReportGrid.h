#pragma once

#include "rank/project/ProjectResults.h"
#include "report/CellRange.h"

#include <QDate>
#include <QLocale>
#include <QStringList>
#include <array>

// The report's texts: 40 rows by 25 columns (A1:Y40), 1-based, row first; an element is a text or
// empty. Written to the sheet in one assignment, so empty elements become empty cells.
class ReportGrid {
public:
    static constexpr int FirstRow = 1;
    static constexpr int FirstColumn = 1;
    static constexpr int RowCount = 40;
    static constexpr int ColumnCount = 25;

    // Every element empty.
    ReportGrid() = default;

    // The report of a project and its results on a day, the date in the locale's short format.
    static ReportGrid build(const Project& project, const ProjectResults& results, QDate today,
        const QLocale& locale = QLocale::system());

    // The range the grid is assigned to: from (FirstRow, FirstColumn) over RowCount by ColumnCount.
    static CellRange placement();

    const QString& text(int row, int column) const;
    void setText(int row, int column, const QString& text);

    // The elements row by row, the first index the row.
    QList<QStringList> rows() const;

    bool operator==(const ReportGrid&) const = default;

private:
    std::array<std::array<QString, ColumnCount>, RowCount> m_cells;
};

// The engines of the report: their order, row 7 labels and columns.
struct ReportEngine {
    Engine engine;
    QString label;
    int positionColumn;
    int countColumn;
};
const std::array<ReportEngine, kEngines.size()>& reportEngines();

// Row of keyword n (1..7).
constexpr int keywordRow(int n)
{
    return 7 + 2 * n;
}
