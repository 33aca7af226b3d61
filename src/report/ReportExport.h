#pragma once

#include "rank/project/ProjectResults.h"
#include "report/XlsxBook.h"

#include <QDate>
#include <QLocale>
#include <QString>
#include <functional>

class XdgSpreadsheet;

// The report of a project's results as a workbook of one sheet.
namespace ReportExport {

// Shown when no spreadsheet application is available.
QString notInstalledMessage();

struct Request {
    QString sheetName; // the tab caption, made a valid sheet name by the export
    const Project& project;
    const ProjectResults& results;
    QDate today;
    QLocale locale = QLocale(); // the program's default locale
};

// The workbook: one sheet named after the request, holding the report's grid in its format.
XlsxBook workbook(const Request& request);

// The export to the desktop: the workbook opened in the spreadsheet application. Without one only
// the message is shown. A failure throws WorkbookError.
void run(XdgSpreadsheet& spreadsheet, const Request& request,
    const std::function<void(const QString&)>& showMessage);

} // namespace ReportExport
