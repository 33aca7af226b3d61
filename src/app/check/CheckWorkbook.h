#pragma once

#include "app/check/CheckReport.h"
#include "report/FrameTexts.h"

#include <QDate>
#include <QLocale>
#include <QString>

// What a project frame opened from the project file would display after this check.
FrameTexts frameTextsOf(const CheckReport& report);

// The sheet name of a project, as its tab caption would read: "Новый проект" without a file,
// otherwise the file's name without its folder and its last extension.
QString projectSheetName(const QString& projectPath);

// Writes the report workbook of the check to path, replacing the file only when complete.
// Throws AutomationError with the reason.
void writeCheckWorkbook(const CheckReport& report, const QString& projectPath, const QString& path,
    QDate today, const QLocale& locale = QLocale());
