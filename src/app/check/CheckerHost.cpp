#include "app/check/CheckerHost.h"

#include "rank/lookup/EngineTable.h"

#include <QCoreApplication>

CheckerHost::CheckerHost(const ProjectInputs& inputs, const ConnectionSettings& settings)
    : m_inputs(inputs)
    , m_settings(settings)
{
}

CheckerHost::~CheckerHost() = default;

void CheckerHost::waitWhilePaused()
{
    processEvents();
}

void CheckerHost::processEvents()
{
    QCoreApplication::processEvents();
}

CellRecord* CheckerHost::currentCell(Engine engine, int n)
{
    for (qsizetype i = m_cells.size() - 1; i >= m_lookupFirstCell; --i) {
        if (m_cells[i].engine == engine && m_cells[i].n == n)
            return &m_cells[i];
    }
    return nullptr;
}

CellRecord& CheckerHost::cellOf(Engine engine, int n)
{
    if (CellRecord* cell = currentCell(engine, n))
        return *cell;
    m_cells.append(CellRecord { engine, n, {}, std::nullopt, std::nullopt, {}, {} });
    return m_cells.last();
}

void CheckerHost::resetRankCell(Engine engine, int n)
{
    CellRecord& cell = cellOf(engine, n);
    cell.rank.clear();
    cell.page.reset();
    if (engineRow(engine).hasQueryCount)
        cell.count = QString();
}

void CheckerHost::resetCountCell(Engine engine, int n)
{
    cellOf(engine, n).count = QString();
}

void CheckerHost::writeCountCell(Engine engine, int n, const QString& text, const Outcome& why)
{
    CellRecord& cell = cellOf(engine, n);
    cell.count = text;
    cell.countWhy = why;
}

void CheckerHost::writeRankCell(Engine engine, int n, const QString& text, int resultPage, const Outcome& why)
{
    CellRecord& cell = cellOf(engine, n);
    cell.rank = text;
    cell.page = resultPage;
    cell.rankWhy = why;
}

// A lookup that reset its cells and then found the keyword empty records why they stay empty.
void CheckerHost::notAsked(Engine engine, int n, const Outcome& why)
{
    if (CellRecord* cell = currentCell(engine, n)) {
        cell->rankWhy = why;
        cell->countWhy = why;
    }
}

void CheckerHost::lookupDone(Engine engine, int n)
{
    if (m_progress)
        m_progress(formatProgress(engine, n, currentCell(engine, n)));
    m_lookupFirstCell = m_cells.size();
}

CheckReport CheckerHost::report() const
{
    CheckReport report;
    report.site = m_inputs.site;
    report.cy = m_cy;
    report.pr = m_pr;
    report.elapsed = m_elapsed;
    report.stopped = m_stopRequested;
    report.error = m_error;
    report.keywords = m_inputs.keywords;
    report.cells = m_cells;
    report.nothingAnswered = m_nothingAnswered;
    return report;
}
