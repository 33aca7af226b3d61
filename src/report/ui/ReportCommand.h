#pragma once

#include <QString>

class ProjectResults;
class QWidget;
struct Project;

namespace ReportCommand {

// The menu command "Экспорт": the report of a project and its results, shown in the desktop's
// spreadsheet application. Errors are thrown for the caller's error box.
void exportProject(
    QWidget* parent, const Project& project, const ProjectResults& results, const QString& caption);

} // namespace ReportCommand
