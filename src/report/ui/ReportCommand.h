#pragma once

#include "report/FrameTexts.h"

#include <QString>

class QWidget;

namespace ReportCommand {

// The menu command "Экспорт": the report of a project's texts, shown in the desktop's spreadsheet
// application. Errors are thrown for the caller's error box.
void exportProject(QWidget* parent, const FrameTexts& texts, const QString& caption);

} // namespace ReportCommand
