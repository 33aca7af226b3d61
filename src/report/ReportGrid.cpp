#include "report/ReportGrid.h"

#include "rank/lookup/EngineTable.h"

#include <stdexcept>

namespace {

void requireInside(int row, int column)
{
    if (row < 1 || row > ReportGrid::RowCount || column < 1 || column > ReportGrid::ColumnCount)
        throw std::out_of_range(
            "report grid has no cell " + std::to_string(row) + "," + std::to_string(column));
}

} // namespace

const std::array<ReportEngine, kEngines.size()>& reportEngines()
{
    static const std::array<ReportEngine, kEngines.size()> engines = [] {
        std::array<ReportEngine, kEngines.size()> table {};
        for (std::size_t e = 0; e < kEngines.size(); ++e)
            table[e] = { kEngines[e], engineRow(kEngines[e]).reportCaption, 5 + 3 * int(e), 6 + 3 * int(e) };
        return table;
    }();
    return engines;
}

CellRange ReportGrid::placement()
{
    return { { FirstRow, FirstColumn }, { FirstRow + RowCount - 1, FirstColumn + ColumnCount - 1 } };
}

const QString& ReportGrid::text(int row, int column) const
{
    requireInside(row, column);
    return m_cells[std::size_t(row - 1)][std::size_t(column - 1)];
}

void ReportGrid::setText(int row, int column, const QString& text)
{
    requireInside(row, column);
    m_cells[std::size_t(row - 1)][std::size_t(column - 1)] = text;
}

QList<QStringList> ReportGrid::rows() const
{
    QList<QStringList> rows;
    rows.reserve(RowCount);
    for (const auto& row : m_cells)
        rows.append(QStringList(row.begin(), row.end()));
    return rows;
}

ReportGrid ReportGrid::build(
    const Project& project, const ProjectResults& results, QDate today, const QLocale& locale)
{
    ReportGrid grid;
    grid.setText(1, 3, QStringLiteral("Результаты поисковых позиций"));
    grid.setText(3, 3, QStringLiteral("Дата: ") + locale.toString(today, QLocale::ShortFormat));
    // The region the results were found for; before the first check, the project's.
    const SearchRegion& region = results.definitionsVersion.isEmpty() ? project.region : results.region;
    if (region.isSet())
        grid.setText(3, 5, QStringLiteral("Регион: ") + regionHeading(region));
    grid.setText(4, 3, QStringLiteral("Проект:"));
    grid.setText(4, 5, QStringLiteral("Google"));
    grid.setText(4, 11, QStringLiteral("Yandex"));
    grid.setText(5, 3, project.site);
    grid.setText(5, 5, QStringLiteral("PR"));
    grid.setText(5, 6, results.pr.text);
    grid.setText(5, 11, QStringLiteral("ТИЦ"));
    grid.setText(5, 12, results.cy.text);
    grid.setText(7, 3, QStringLiteral("Ключевые слова для проекта:"));
    for (const ReportEngine& engine : reportEngines()) {
        grid.setText(7, engine.positionColumn, engine.label);
        grid.setText(8, engine.positionColumn, QStringLiteral("Позиция"));
        grid.setText(8, engine.countColumn, QStringLiteral("Запросы"));
    }
    for (int n = 1; n <= Project::KeywordCount; ++n) {
        const int row = keywordRow(n);
        grid.setText(row, 2, QString::number(n));
        grid.setText(row, 3, project.keyword(n));
        for (const ReportEngine& engine : reportEngines()) {
            grid.setText(row, engine.positionColumn, results.rank(engine.engine, n).text);
            grid.setText(row, engine.countColumn, results.count(engine.engine, n).text);
        }
    }
    grid.setText(28, 3, QStringLiteral("Google PR - Page Rank"));
    grid.setText(29, 3, QStringLiteral("Yandex CY - ТИЦ (Тематический индекс цитирования)"));
    grid.setText(31, 3, QStringLiteral("Позиция - место в результатах поиска"));
    grid.setText(32, 3, QStringLiteral("Запросы - кол-во поисковых запросов"));
    grid.setText(33, 3, QStringLiteral("для указанных слов в месяц"));
    grid.setText(36, 3, QStringLiteral("Отчет сгенерирован программой Kestrova Sertrix"));
    return grid;
}
