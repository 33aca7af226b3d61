#include "report/ReportExport.h"

#include "report/Automation.h"
#include "report/ReportFormat.h"
#include "report/ReportGrid.h"
#include "report/SheetName.h"

namespace ReportExport {

QString spreadsheetProgId()
{
    return QStringLiteral("Excel.Application");
}

QString notInstalledMessage()
{
    return QStringLiteral("Невозможно выполнить операцию.\n\rУ Вас не установлен MS Excel!");
}

void fillWorkbook(SpreadsheetApplication& application, const Request& request)
{
    application.setEnableEvents(false);
    const std::unique_ptr<SpreadsheetWorkbook> workbook = application.addWorkbook();
    const std::unique_ptr<SpreadsheetSheet> sheet = workbook->worksheet(1);
    sheet->setName(workbookSheetName(request.sheetName));
    // The frame is read here, before any formatting call, so that the report is one snapshot.
    const ReportGrid grid = ReportGrid::build(request.readFrame(), request.today, request.locale);
    ReportFormat::standard().applyTo(*sheet);
    sheet->range(ReportGrid::placement())->setValue(grid.rows());
    application.setVisible(true);
}

void run(
    Automation& automation, const Request& request, const std::function<void(const QString&)>& showMessage)
{
    if (!automation.IsProgIDRegistered(spreadsheetProgId())) {
        showMessage(notInstalledMessage());
        return;
    }
    const std::unique_ptr<SpreadsheetApplication> application
        = automation.CreateOleObject(spreadsheetProgId());
    fillWorkbook(*application, request);
}

} // namespace ReportExport
