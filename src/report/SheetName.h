#pragma once

#include <QString>

// The worksheet name for a project's tab caption, made valid for a workbook: at most 31 UTF-16
// units, none of [ ] : * ? / \ or control characters, no apostrophe at either end, not "History",
// never empty. A caption that is already valid stays as it is.
QString workbookSheetName(const QString& caption);
