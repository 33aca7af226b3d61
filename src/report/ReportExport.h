#pragma once

#include "rank/project/ProjectResults.h"

#include <QDate>
#include <QLocale>
#include <QString>
#include <functional>

class Automation;
class SpreadsheetApplication;

// The export of a project's report into a new workbook of the spreadsheet application.
namespace ReportExport {

// The automation object the report is written with.
QString spreadsheetProgId();
// Shown when no spreadsheet application is available.
QString notInstalledMessage();

struct Request {
    QString sheetName; // the tab caption
    const Project& project;
    const ProjectResults& results;
    QDate today;
    QLocale locale = QLocale::system();
};

// The export on a created application: a new workbook whose first sheet is named and filled,
// formatted, then shown. A failing call ends the export with its error.
void fillWorkbook(SpreadsheetApplication& application, const Request& request);

// The whole export. Without a spreadsheet application only the message is shown.
void run(
    Automation& automation, const Request& request, const std::function<void(const QString&)>& showMessage);

} // namespace ReportExport
