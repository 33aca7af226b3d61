#include "report/ui/ReportCommand.h"

#include "platform/ui/DesktopServices.h"
#include "platform/ui/Prompts.h"
#include "report/ReportExport.h"
#include "report/XdgAutomation.h"

#include <QDate>
#include <QDir>

namespace ReportCommand {

void exportProject(
    QWidget* parent, const Project& project, const ProjectResults& results, const QString& caption)
{
    XdgAutomation automation(
        [](const QString& path) { return DesktopServices::instance().openFile(path); }, QDir::tempPath());
    const ReportExport::Request request { caption, project, results, QDate::currentDate() };
    ReportExport::run(
        automation, request, [parent](const QString& text) { Prompts::instance().message(parent, text); });
}

} // namespace ReportCommand
