#include "report/ReportExport.h"

#include "report/ReportFormat.h"
#include "report/ReportGrid.h"
#include "report/SheetName.h"
#include "report/XdgSpreadsheet.h"

namespace ReportExport {

QString notInstalledMessage()
{
    return QStringLiteral("Невозможно выполнить операцию.\n\rУ Вас не установлен MS Excel!");
}

XlsxBook workbook(const Request& request)
{
    XlsxSheet sheet { workbookSheetName(request.sheetName), {}, {}, {}, {} };
    ReportFormat::standard().applyTo(sheet);
    const ReportGrid grid
        = ReportGrid::build(request.project, request.results, request.today, request.locale);
    for (int row = 1; row <= ReportGrid::RowCount; ++row) {
        for (int column = 1; column <= ReportGrid::ColumnCount; ++column) {
            const QString& text = grid.text(row, column);
            if (!text.isEmpty())
                sheet.texts[{ ReportGrid::FirstRow + row - 1, ReportGrid::FirstColumn + column - 1 }] = text;
        }
    }
    return XlsxBook { { std::move(sheet) } };
}

void run(XdgSpreadsheet& spreadsheet, const Request& request,
    const std::function<void(const QString&)>& showMessage)
{
    if (!spreadsheet.available()) {
        showMessage(notInstalledMessage());
        return;
    }
    spreadsheet.show(workbook(request));
}

} // namespace ReportExport
