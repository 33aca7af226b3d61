#include "report/ui/ReportCommand.h"

#include "platform/ui/DesktopServices.h"
#include "platform/ui/Prompts.h"
#include "report/ReportExport.h"
#include "report/XdgSpreadsheet.h"

#include <QDate>
#include <QDir>

namespace ReportCommand {

void exportProject(
    QWidget* parent, const Project& project, const ProjectResults& results, const QString& caption)
{
    XdgSpreadsheet spreadsheet(
        [](const QString& path) { return DesktopServices::instance().openFile(path); }, QDir::tempPath());
    ReportExport::run(spreadsheet, { caption, project, results, QDate::currentDate() },
        [parent](const QString& text) { Prompts::instance().message(parent, text); });
}

} // namespace ReportCommand
