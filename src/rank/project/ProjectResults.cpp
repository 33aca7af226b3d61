#include "rank/project/ProjectResults.h"

#include "rank/lookup/EngineTable.h"

ProjectResults::ProjectResults()
{
    for (Engine engine : kEngines) {
        if (engineRow(engine).hasQueryCount())
            continue;
        for (CellResult& cell : m_count[std::size_t(engine)])
            cell.text = noQueryCountText();
    }
}

void ProjectResults::beginCheck()
{
    for (auto* grid : { &m_rank, &m_count }) {
        for (Column& column : *grid) {
            for (CellResult& cell : column)
                cell.state = CellResult::State::Old;
        }
    }
    stopped = false;
    error.reset();
    nothingAnswered.reset();
    apiRequestsPlanned = {};
    apiRequests = {};
}

void ProjectResults::resetFigures()
{
    m_gauges.fill(0);
    cy = {};
    pr = {};
    elapsed = QStringLiteral("0:00:00");
}
