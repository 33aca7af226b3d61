#include "report/ui/ReportCommand.h"

#include "platform/ui/DesktopServices.h"
#include "platform/ui/Prompts.h"
#include "rank/frame/TfrRank.h"
#include "report/ReportExport.h"
#include "report/XdgAutomation.h"
#include "report/ui/DisplayedTexts.h"

#include <QDate>
#include <QDir>
#include <QPointer>
#include <stdexcept>

namespace ReportCommand {

void exportProject(QWidget* parent, TfrRank* frame, const QString& caption)
{
    XdgAutomation automation(
        [](const QString& path) { return DesktopServices::instance().openFile(path); }, QDir::tempPath());
    QPointer<TfrRank> project(frame);
    ReportExport::Request request;
    request.sheetName = caption;
    request.today = QDate::currentDate();
    request.readFrame = [project] {
        if (!project)
            throw std::runtime_error("The project was closed during the export.");
        return displayedTexts(*project);
    };
    ReportExport::run(
        automation, request, [parent](const QString& text) { Prompts::instance().message(parent, text); });
}

} // namespace ReportCommand
