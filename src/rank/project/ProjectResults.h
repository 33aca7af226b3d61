#pragma once

#include "rank/api/SourceKind.h"
#include "rank/lookup/SiteMetrics.h"
#include "rank/project/Project.h"

#include <QString>
#include <array>
#include <optional>

// One cell of the result grid: its text, the page whose legend colours it takes, why it shows
// what it shows and, for a position, its change since the previous check of the site.
struct CellResult {
    // Old: kept from before the check that runs or ran last; Reset: blanked by it; Written: filled by it.
    enum class State { Old, Reset, Written };

    QString text;
    int resultPage = 0; // ResultPage, for a written rank cell
    Outcome why;
    QString change;
    State state = State::Old;
};

// What the checks of a project show: a rank and a count cell per engine and keyword, the site's
// CY and PageRank, the elapsed time, the gauges and how the last check ended. The check run fills
// it; the frame shows it; the command-line checker, the report and the history read it.
class ProjectResults {
public:
    // The count cells of the engines without a query count show "-"; nothing ever writes them.
    ProjectResults();

    CellResult& rank(Engine engine, int n) { return m_rank[std::size_t(engine)].at(std::size_t(n - 1)); }
    const CellResult& rank(Engine engine, int n) const
    {
        return m_rank[std::size_t(engine)].at(std::size_t(n - 1));
    }
    CellResult& count(Engine engine, int n) { return m_count[std::size_t(engine)].at(std::size_t(n - 1)); }
    const CellResult& count(Engine engine, int n) const
    {
        return m_count[std::size_t(engine)].at(std::size_t(n - 1));
    }
    int& gauge(Engine engine) { return m_gauges[std::size_t(engine)]; }
    int gauge(Engine engine) const { return m_gauges[std::size_t(engine)]; }

    MetricResult cy;
    MetricResult pr;
    QString elapsed = QStringLiteral("0:00:00");
    // How the last check ended: stopped, ended by an error, or without one answered request (the
    // last failed request's text).
    bool stopped = false;
    std::optional<QString> error;
    std::optional<QString> nothingAnswered;
    // The engine definitions the last check read the engines by: their version and the code of
    // their source ("built-in", "downloaded", "user", "file"); empty before the first check.
    QString definitionsVersion;
    QString definitionsInForce; // as the user reads of them, for the tooltip of an "n/a"
    QString definitionsSource;
    // The region the last check asked the engines from; none before the first check.
    SearchRegion region;
    // The API requests of the last check by source: the most it could spend, known at its start,
    // and those it spent (answered ones: what the sources bill).
    ApiRequestCounts apiRequestsPlanned;
    ApiRequestCounts apiRequests;

    // A new check begins: every cell is Old again, keeping its text, and the last end is forgotten.
    void beginCheck();
    // A new project: gauges at 0, CY and PageRank empty, the time "0:00:00"; the cells stay.
    void resetFigures();

private:
    using Column = std::array<CellResult, Project::KeywordCount>;
    std::array<Column, kEngines.size()> m_rank;
    std::array<Column, kEngines.size()> m_count;
    std::array<int, kEngines.size()> m_gauges {};
};

// What the count cells of the engines without a query count show.
inline QString noQueryCountText()
{
    return QStringLiteral("-");
}
