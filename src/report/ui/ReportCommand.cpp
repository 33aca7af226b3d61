#include "report/ui/ReportCommand.h"

#include "platform/ui/DesktopServices.h"
#include "platform/ui/Prompts.h"
#include "report/ReportExport.h"
#include "report/XdgAutomation.h"

#include <QDate>
#include <QDir>

namespace ReportCommand {

void exportProject(QWidget* parent, const FrameTexts& texts, const QString& caption)
{
    XdgAutomation automation(
        [](const QString& path) { return DesktopServices::instance().openFile(path); }, QDir::tempPath());
    ReportExport::Request request;
    request.sheetName = caption;
    request.today = QDate::currentDate();
    request.readFrame = [texts] { return texts; };
    ReportExport::run(
        automation, request, [parent](const QString& text) { Prompts::instance().message(parent, text); });
}

} // namespace ReportCommand
