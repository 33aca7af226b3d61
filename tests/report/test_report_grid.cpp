#include "ReportSamples.h"
#include "report/ReportGrid.h"

#include <gtest/gtest.h>

namespace {

const QDate kToday(2026, 12, 7);

ReportGrid sampleGrid()
{
    const ReportSample sample = checkedProject();
    return ReportGrid::build(
        sample.project, sample.results, kToday, QLocale(QLocale::Russian, QLocale::Russia));
}

TEST(ReportGrid, HeaderCellsCarryTheFrameAndTheDate)
{
    const ReportGrid grid = sampleGrid();
    EXPECT_EQ(grid.text(3, 3), QStringLiteral("Дата: 07.12.2026"));
    EXPECT_EQ(grid.text(5, 3), QStringLiteral("http://www.example.ru/"));
    EXPECT_EQ(grid.text(5, 6), QStringLiteral("4"));
    EXPECT_EQ(grid.text(5, 12), QStringLiteral("120"));

    const QLocale american(QLocale::English, QLocale::UnitedStates);
    EXPECT_EQ(ReportGrid::build(Project {}, ProjectResults {}, kToday, american).text(3, 3),
        QStringLiteral("Дата: ") + american.toString(kToday, QLocale::ShortFormat));
}

TEST(ReportGrid, TheRegionOfTheCheckFollowsTheDate)
{
    ReportSample sample = checkedProject();
    const QLocale russian(QLocale::Russian, QLocale::Russia);
    EXPECT_EQ(ReportGrid::build(sample.project, sample.results, kToday, russian).text(3, 5), QString());

    sample.project.region = { 65, QStringLiteral("ru"), QStringLiteral("ru") };
    sample.results.region = { 213, QStringLiteral("ru"), QStringLiteral("ru") };
    sample.results.definitionsVersion = QStringLiteral("2026.12.7.1");
    ReportGrid grid = ReportGrid::build(sample.project, sample.results, kToday, russian);
    EXPECT_EQ(grid.text(3, 3), QStringLiteral("Дата: 07.12.2026"));
    EXPECT_EQ(grid.text(3, 5), QStringLiteral("Регион: Москва (213)"));

    // Before the project's first check, its own region.
    EXPECT_EQ(ReportGrid::build(sample.project, ProjectResults {}, kToday, russian).text(3, 5),
        QStringLiteral("Регион: Новосибирск (65)"));
}

struct EngineColumns {
    Engine engine;
    int position;
    int count;
    const char* label;
};

class ReportGridEngine : public ::testing::TestWithParam<EngineColumns> { };

TEST_P(ReportGridEngine, KeywordRowsHoldThePositionAndTheCountOfEachEngine)
{
    const EngineColumns& expected = GetParam();
    const ReportSample sample = checkedProject();
    const ReportGrid grid = sampleGrid();
    EXPECT_EQ(grid.text(7, expected.position), QString::fromUtf8(expected.label));
    EXPECT_EQ(grid.text(7, expected.count), QString());
    EXPECT_EQ(grid.text(8, expected.position), QStringLiteral("Позиция"));
    EXPECT_EQ(grid.text(8, expected.count), QStringLiteral("Запросы"));
    for (int n = 1; n <= 7; ++n) {
        EXPECT_EQ(grid.text(7 + 2 * n, expected.position), sample.results.rank(expected.engine, n).text) << n;
        EXPECT_EQ(grid.text(7 + 2 * n, expected.count), sample.results.count(expected.engine, n).text) << n;
    }
}

INSTANTIATE_TEST_SUITE_P(Engines, ReportGridEngine,
    ::testing::Values(EngineColumns { Engine::GoogleCom, 5, 6, "Google.com" },
        EngineColumns { Engine::GoogleRu, 8, 9, "Google.ru" },
        EngineColumns { Engine::YandexRu, 11, 12, "Yandex.ru" },
        EngineColumns { Engine::RamblerRu, 14, 15, "Rambler.ru" },
        EngineColumns { Engine::AportRu, 17, 18, "Aport.ru" },
        EngineColumns { Engine::MSNCom, 20, 21, "Msn.com" }));

TEST(ReportGrid, KeywordNumbersAreWrittenEvenForEmptyKeywords)
{
    const ReportGrid grid = ReportGrid::build(Project {}, ProjectResults {}, kToday);
    for (int n = 1; n <= 7; ++n) {
        EXPECT_EQ(grid.text(7 + 2 * n, 2), QString::number(n));
        EXPECT_EQ(grid.text(7 + 2 * n, 3), QString());
    }
    EXPECT_EQ(sampleGrid().text(9, 3), QStringLiteral("слово 1"));
    EXPECT_EQ(sampleGrid().text(15, 3), QString());
}

TEST(ReportGrid, SpacersEvenRowsAndTheRightColumnsStayEmpty)
{
    const ReportGrid grid = sampleGrid();
    for (int row = 1; row <= 40; ++row) {
        for (int column : { 4, 7, 10, 13, 16, 19, 22, 23, 24, 25 })
            EXPECT_TRUE(grid.text(row, column).isEmpty()) << row << "," << column;
    }
    for (int row = 10; row <= 20; row += 2) {
        for (int column = 1; column <= 25; ++column)
            EXPECT_TRUE(grid.text(row, column).isEmpty()) << row << "," << column;
    }
    for (int row = 22; row <= 40; ++row) {
        for (int column = 4; column <= 25; ++column)
            EXPECT_TRUE(grid.text(row, column).isEmpty()) << row << "," << column;
    }
}

TEST(ReportGrid, RowsComeOutRowByRowInTheirPlacement)
{
    const ReportGrid grid = sampleGrid();
    const QList<QStringList> rows = grid.rows();
    ASSERT_EQ(rows.size(), 40);
    for (const QStringList& row : rows)
        ASSERT_EQ(row.size(), 25);
    EXPECT_EQ(rows[0][2], grid.text(1, 3));
    EXPECT_EQ(rows[8][19], QStringLiteral("1e5"));
    EXPECT_EQ(ReportGrid::placement().address(), QStringLiteral("A1:Y40"));
    EXPECT_THROW(grid.text(41, 1), std::out_of_range);
    EXPECT_THROW(grid.text(1, 26), std::out_of_range);
}

TEST(CellRange, ReadsAndWritesA1Addresses)
{
    EXPECT_EQ(CellRange::parse(u"B3:U24"), (CellRange { { 3, 2 }, { 24, 21 } }));
    EXPECT_EQ(CellRange::parse(u"C36"), CellRange::cell(36, 3));
    EXPECT_EQ(CellRange::parse(u"AA10:XFD1048576").address(), QStringLiteral("AA10:XFD1048576"));
    for (const char* bad : { "", "3B", "B", "B0", "B3:", "B3:A1", "b3", "B3:U24x" })
        EXPECT_THROW(CellRange::parse(QString::fromLatin1(bad)), std::invalid_argument) << bad;
}

} // namespace
