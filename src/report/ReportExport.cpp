#include "report/ReportExport.h"

#include "report/Automation.h"
#include "report/ReportFormat.h"
#include "report/ReportGrid.h"

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
    sheet->setName(request.sheetName);
    const ReportGrid grid
        = ReportGrid::build(request.project, request.results, request.today, request.locale);
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
