#include "report/XlsxApplication.h"

#include "report/XlsxFile.h"

namespace {

constexpr int kMaxRow = 1048576;
constexpr int kMaxColumn = 16384;
// Formats are kept cell by cell, so a sheet takes them for this many cells at most.
constexpr std::size_t kMaxStyledCells = 65536;

AutomationError refused(const char* property, const char* object)
{
    return AutomationError(QStringLiteral("Unable to set the %1 property of the %2 class")
                               .arg(QLatin1String(property), QLatin1String(object)));
}

} // namespace

struct XlsxApplication::Book {
    XlsxBook content;
    bool presented = false;
};

namespace {

class XlsxRange : public SpreadsheetRange {
public:
    XlsxRange(std::shared_ptr<void> owner, XlsxSheet& sheet, const CellRange& cells)
        : m_owner(std::move(owner))
        , m_sheet(sheet)
        , m_cells(cells)
    {
    }

    void borderAround(int lineStyle, int weight, int color) override
    {
        if (XlsxFile::borderStyle(lineStyle, weight) < 0)
            throw AutomationError(QStringLiteral("BorderAround method of Range class failed"));
        const XlsxEdge edge { lineStyle, weight, color };
        const CellAddress first = m_cells.first, last = m_cells.last;
        styleCells({ first, { first.row, last.column } }, [&](XlsxCellStyle& s) { s.top = edge; });
        styleCells({ { last.row, first.column }, last }, [&](XlsxCellStyle& s) { s.bottom = edge; });
        styleCells({ first, { last.row, first.column } }, [&](XlsxCellStyle& s) { s.left = edge; });
        styleCells({ { first.row, last.column }, last }, [&](XlsxCellStyle& s) { s.right = edge; });
    }

    void setFontSize(int points) override
    {
        if (points < 1 || points > 409)
            throw refused("Size", "Font");
        styleCells(m_cells, [points](XlsxCellStyle& s) { s.fontSize = points; });
    }

    void setFontBold(bool bold) override
    {
        styleCells(m_cells, [bold](XlsxCellStyle& s) { s.bold = bold; });
    }

    void setFontColor(int color) override
    {
        requireColor(color, "Color", "Font");
        styleCells(m_cells, [color](XlsxCellStyle& s) { s.fontColor = color; });
    }

    void setInteriorColor(int color) override
    {
        requireColor(color, "Color", "Interior");
        styleCells(m_cells, [color](XlsxCellStyle& s) { s.fillColor = color; });
    }

    void setRowHeight(double points) override
    {
        if (!(points >= 0 && points <= 409))
            throw refused("RowHeight", "Range");
        if (std::size_t(m_cells.rowCount()) > kMaxStyledCells)
            throw AutomationError(QStringLiteral("Not enough memory to format the range"));
        for (int row = m_cells.first.row; row <= m_cells.last.row; ++row)
            m_sheet.rowHeights[row] = points;
    }

    void setColumnWidth(double width) override
    {
        if (!(width >= 0 && width <= 255))
            throw refused("ColumnWidth", "Range");
        for (int column = m_cells.first.column; column <= m_cells.last.column; ++column)
            m_sheet.columnWidths[column] = width;
    }

    void setValue(const QList<QStringList>& rows) override
    {
        bool fits = rows.size() == m_cells.rowCount();
        for (const QStringList& row : rows)
            fits = fits && row.size() == m_cells.columnCount();
        if (!fits)
            throw refused("Value", "Range");
        for (int r = 0; r < m_cells.rowCount(); ++r) {
            for (int c = 0; c < m_cells.columnCount(); ++c) {
                const CellAddress cell { m_cells.first.row + r, m_cells.first.column + c };
                const QString& text = rows[r][c];
                if (text.isEmpty())
                    m_sheet.texts.erase(cell);
                else
                    m_sheet.texts[cell] = text;
            }
        }
    }

private:
    static void requireColor(int color, const char* property, const char* object)
    {
        if (color < 0 || color > 0xFFFFFF)
            throw refused(property, object);
    }

    template <typename Change> void styleCells(const CellRange& cells, Change change)
    {
        if (std::size_t(cells.rowCount()) * std::size_t(cells.columnCount()) > kMaxStyledCells)
            throw AutomationError(QStringLiteral("Not enough memory to format the range"));
        std::size_t added = 0;
        for (int row = cells.first.row; row <= cells.last.row; ++row) {
            for (int column = cells.first.column; column <= cells.last.column; ++column)
                added += m_sheet.styles.contains({ row, column }) ? 0 : 1;
        }
        if (m_sheet.styles.size() + added > kMaxStyledCells)
            throw AutomationError(QStringLiteral("Not enough memory to format the range"));
        for (int row = cells.first.row; row <= cells.last.row; ++row) {
            for (int column = cells.first.column; column <= cells.last.column; ++column)
                change(m_sheet.styles[{ row, column }]);
        }
    }

    std::shared_ptr<void> m_owner; // keeps the workbook alive, as a reference would
    XlsxSheet& m_sheet;
    CellRange m_cells;
};

class XlsxWorksheet : public SpreadsheetSheet {
public:
    XlsxWorksheet(std::shared_ptr<void> owner, XlsxSheet& sheet)
        : m_owner(std::move(owner))
        , m_sheet(sheet)
    {
    }

    void setName(const QString& name) override
    {
        const QString refusal = XlsxFile::sheetNameError(name);
        if (!refusal.isEmpty())
            throw AutomationError(XlsxFile::libraryFailure(refusal));
        m_sheet.name = name;
    }

    std::unique_ptr<SpreadsheetRange> range(const CellRange& cells) override
    {
        const bool valid = cells.first.row >= 1 && cells.first.column >= 1 && cells.last.row <= kMaxRow
            && cells.last.column <= kMaxColumn && cells.first.row <= cells.last.row
            && cells.first.column <= cells.last.column;
        if (!valid)
            throw AutomationError(QStringLiteral("Method 'Range' of object '_Worksheet' failed"));
        return std::make_unique<XlsxRange>(m_owner, m_sheet, cells);
    }

    std::unique_ptr<SpreadsheetRange> column(int column) override
    {
        if (column < 1 || column > kMaxColumn)
            throw AutomationError(QStringLiteral("Method 'Columns' of object '_Worksheet' failed"));
        return std::make_unique<XlsxRange>(
            m_owner, m_sheet, CellRange { { 1, column }, { kMaxRow, column } });
    }

private:
    std::shared_ptr<void> m_owner;
    XlsxSheet& m_sheet;
};

class XlsxWorkbook : public SpreadsheetWorkbook {
public:
    XlsxWorkbook(std::shared_ptr<void> owner, XlsxBook& book)
        : m_owner(std::move(owner))
        , m_book(book)
    {
    }

    std::unique_ptr<SpreadsheetSheet> worksheet(int index) override
    {
        if (index < 1 || std::size_t(index) > m_book.sheets.size())
            throw AutomationError(QStringLiteral("Subscript out of range"));
        return std::make_unique<XlsxWorksheet>(m_owner, m_book.sheets[std::size_t(index - 1)]);
    }

private:
    std::shared_ptr<void> m_owner;
    XlsxBook& m_book;
};

} // namespace

XlsxApplication::XlsxApplication(Present present)
    : m_present(std::move(present))
{
}

XlsxApplication::~XlsxApplication() = default;

void XlsxApplication::setEnableEvents(bool enabled)
{
    m_enableEvents = enabled;
}

std::unique_ptr<SpreadsheetWorkbook> XlsxApplication::addWorkbook()
{
    auto book = std::make_shared<Book>();
    book->content.sheets.push_back(XlsxSheet { QStringLiteral("Sheet1"), {}, {}, {}, {} });
    m_books.push_back(book);
    return std::make_unique<XlsxWorkbook>(book, book->content);
}

void XlsxApplication::setVisible(bool visible)
{
    if (!visible)
        return;
    for (const std::shared_ptr<Book>& book : m_books) {
        if (book->presented)
            continue;
        m_present(book->content);
        book->presented = true;
    }
}
