#pragma once

#include "report/CellRange.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <memory>
#include <stdexcept>

// The spreadsheet application's automation objects, as far as the report uses them: the members
// of "Excel.Application" (Application, Workbook, Worksheet, Range) called by name. A Windows build
// implements them with late-bound automation; the Linux build writes the workbook itself
// (XlsxApplication). Every failing call throws AutomationError with the text to show.
class AutomationError : public std::runtime_error {
public:
    explicit AutomationError(const QString& text)
        : std::runtime_error(text.toStdString())
    {
    }
};

// Colours are the spreadsheet's: red in the low byte, then green, then blue.
class SpreadsheetRange {
public:
    virtual ~SpreadsheetRange() = default;
    virtual void borderAround(int lineStyle, int weight, int color) = 0; // BorderAround
    virtual void setFontSize(int points) = 0; // Font.Size
    virtual void setFontBold(bool bold) = 0; // Font.Bold
    virtual void setFontColor(int color) = 0; // Font.Color
    virtual void setInteriorColor(int color) = 0; // Interior.Color
    virtual void setRowHeight(double points) = 0; // RowHeight
    virtual void setColumnWidth(double width) = 0; // ColumnWidth, in characters
    // Value: one text per cell, the first index the row; empty texts make empty cells.
    virtual void setValue(const QList<QStringList>& rows) = 0;
};

class SpreadsheetSheet {
public:
    virtual ~SpreadsheetSheet() = default;
    virtual void setName(const QString& name) = 0; // Name
    virtual std::unique_ptr<SpreadsheetRange> range(const CellRange& cells) = 0; // Range(Cells, Cells)
    virtual std::unique_ptr<SpreadsheetRange> column(int column) = 0; // Columns(n)
};

class SpreadsheetWorkbook {
public:
    virtual ~SpreadsheetWorkbook() = default;
    virtual std::unique_ptr<SpreadsheetSheet> worksheet(int index) = 0; // WorkSheets(index), 1-based
};

class SpreadsheetApplication {
public:
    virtual ~SpreadsheetApplication() = default;
    virtual void setEnableEvents(bool enabled) = 0; // EnableEvents
    virtual std::unique_ptr<SpreadsheetWorkbook> addWorkbook() = 0; // WorkBooks.Add
    virtual void setVisible(bool visible) = 0; // Visible
};

// The system's class registry and object creation.
class Automation {
public:
    virtual ~Automation() = default;
    // True when the programmatic identifier resolves to a class on this system.
    virtual bool IsProgIDRegistered(const QString& progId) = 0;
    // A new automation object; throws AutomationError when it cannot be created.
    virtual std::unique_ptr<SpreadsheetApplication> CreateOleObject(const QString& progId) = 0;
};
