#include "app/check/CheckWorkbook.h"

#include "app/workspace/WorkspaceRules.h"

#include "rank/run/CellTexts.h"
#include "report/ReportExport.h"
#include "report/XlsxApplication.h"
#include "report/XlsxFile.h"

#include <QFileInfo>

FrameTexts frameTextsOf(const CheckReport& report)
{
    FrameTexts texts;
    texts.site = report.site;
    texts.googlePR = report.pr.text;
    texts.yandexCY = report.cy.text;
    for (int n = 1; n <= FrameTexts::KeywordCount; ++n) {
        texts.keywords[std::size_t(n - 1)] = report.keywords.value(n - 1);
        for (Engine engine : kEngines) {
            if (!reportsQueryCounts(engine))
                texts.countText(engine, n) = noQueryCountText();
        }
    }
    // Later writes of a cell cover earlier ones, as on the frame.
    for (const CellRecord& cell : report.cells) {
        if (cell.n < 1 || cell.n > FrameTexts::KeywordCount)
            continue;
        texts.rankText(cell.engine, cell.n) = cell.rank;
        if (cell.count)
            texts.countText(cell.engine, cell.n) = *cell.count;
    }
    return texts;
}

// The sheet is named as the program's tab of this project would be.
QString projectSheetName(const QString& projectPath)
{
    return WorkspaceRules::tabCaption(projectPath);
}

void writeCheckWorkbook(const CheckReport& report, const QString& projectPath, const QString& path,
    QDate today, const QLocale& locale)
{
    XlsxApplication application([&path](const XlsxBook& book) { XlsxFile::saveAs(book, path); });
    ReportExport::Request request;
    request.sheetName = projectSheetName(projectPath);
    request.readFrame = [&report] { return frameTextsOf(report); };
    request.today = today;
    request.locale = locale;
    ReportExport::fillWorkbook(application, request);
}
