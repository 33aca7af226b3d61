#include "app/check/CheckWorkbook.h"

#include "app/workspace/WorkspaceRules.h"
#include "report/ReportExport.h"
#include "report/XlsxFile.h"

// The sheet is named as the program's tab of this project would be.
QString projectSheetName(const QString& projectPath)
{
    return WorkspaceRules::tabCaption(projectPath);
}

void writeCheckWorkbook(const Project& project, const ProjectResults& results, const QString& projectPath,
    const QString& path, QDate today, const QLocale& locale)
{
    XlsxFile::saveAs(
        ReportExport::workbook({ projectSheetName(projectPath), project, results, today, locale }), path);
}
