#pragma once

#include <QString>

class QWidget;
class TfrRank;

namespace ReportCommand {

// The menu command "Экспорт": the report of the project on the selected tab, shown in the
// desktop's spreadsheet application. Errors are thrown for the caller's error box.
void exportProject(QWidget* parent, TfrRank* frame, const QString& caption);

} // namespace ReportCommand
