#pragma once

#include "report/Automation.h"
#include "report/XlsxBook.h"

#include <functional>
#include <memory>
#include <vector>

// The spreadsheet application of the Linux build: the automation members collect a workbook in
// memory, a cell's format merged from every setting that covered it, and making the application
// visible hands each new workbook, complete, to present (which writes it where it belongs).
class XlsxApplication : public SpreadsheetApplication {
public:
    using Present = std::function<void(const XlsxBook&)>;

    explicit XlsxApplication(Present present);
    ~XlsxApplication() override;

    void setEnableEvents(bool enabled) override;
    std::unique_ptr<SpreadsheetWorkbook> addWorkbook() override;
    void setVisible(bool visible) override;

    bool enableEvents() const { return m_enableEvents; }

private:
    struct Book;
    Present m_present;
    std::vector<std::shared_ptr<Book>> m_books;
    bool m_enableEvents = true;
};
