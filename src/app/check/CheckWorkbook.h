#pragma once

#include <QDate>
#include <QLocale>
#include <QString>

class ProjectResults;
struct Project;

// The sheet name of a project, as its tab caption would read: "Новый проект" without a file,
// otherwise the file's name without its folder and its last extension.
QString projectSheetName(const QString& projectPath);

// Writes the report workbook of the check to path, replacing the file only when complete.
// Throws WorkbookError with the reason.
void writeCheckWorkbook(const Project& project, const ProjectResults& results, const QString& projectPath,
    const QString& path, QDate today, const QLocale& locale = QLocale());
