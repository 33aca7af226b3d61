#include "history/HistoryFixtures.h"
#include "history/HistoryTableModel.h"
#include "history/PositionChartModel.h"

#include <gtest/gtest.h>

namespace {

const QDateTime kDay(QDate(2026, 1, 1), QTime(7, 0), Qt::UTC);

// Daily checks of one keyword on Yandex.ru; nullopt is a check that did not find the site.
QList<RecordedCheck> yandexDays(const QList<std::optional<int>>& positions)
{
    QList<RecordedCheck> checks;
    for (qsizetype i = 0; i < positions.size(); ++i)
        checks << sampleCheck(kDay.addDays(i), positions[i]);
    return checks;
}

qint64 day(int i)
{
    return kDay.addDays(i).toMSecsSinceEpoch();
}

TEST(PositionChartModel, NotFoundChecksBreakTheLine)
{
    const auto checks = yandexDays({ 5, 3, std::nullopt, std::nullopt, 12, 11 });
    const PositionChartModel model(checks, QStringLiteral("купить слона"));
    ASSERT_EQ(model.lines().size(), 1);
    const EngineLine& line = model.lines()[0];
    EXPECT_EQ(line.engine, Engine::YandexRu);
    ASSERT_EQ(line.segments().size(), 2);
    EXPECT_EQ(line.segments()[0], (QList<ChartPoint> { { day(0), 5 }, { day(1), 3 } }));
    EXPECT_EQ(line.segments()[1], (QList<ChartPoint> { { day(4), 12 }, { day(5), 11 } }));
    EXPECT_EQ(model.deepestPosition(), 12);
    EXPECT_EQ(model.firstTime(), day(0));
    EXPECT_EQ(model.lastTime(), day(5));
}

TEST(PositionChartModel, EngineAskedButNeverFoundHasALineWithoutPoints)
{
    const PositionChartModel model(yandexDays({ 4 }), QStringLiteral("слон, \"розовый\""));
    ASSERT_EQ(model.lines().size(), 1);
    EXPECT_EQ(model.lines()[0].engine, Engine::GoogleCom);
    EXPECT_TRUE(model.lines()[0].segments().isEmpty());
}

TEST(PositionChartModel, ChecksWithoutTheKeywordLeaveNoGap)
{
    QList<RecordedCheck> checks = yandexDays({ 8, 6, 4 });
    checks[1].results.clear(); // the keyword was not in that check
    const PositionChartModel model(checks, QStringLiteral("купить слона"));
    ASSERT_EQ(model.lines().size(), 1);
    ASSERT_EQ(model.lines()[0].segments().size(), 1);
    EXPECT_EQ(model.lines()[0].segments()[0].size(), 2);
}

TEST(PositionChartModel, KeywordsInTheOrderTheyFirstAppear)
{
    EXPECT_EQ(PositionChartModel::keywords(yandexDays({ 1, 2 })),
        (QStringList { QStringLiteral("купить слона"), QStringLiteral("слон, \"розовый\"") }));
}

TEST(HistoryTableModel, NewestFirstWithBestPositionAndItsChange)
{
    HistoryTableModel model;
    model.setChecks(yandexDays({ 9, 4, std::nullopt }));
    ASSERT_EQ(model.rowCount(), 3);
    ASSERT_EQ(model.series().size(), 2);
    const int best = HistoryTableModel::kFixedLeadColumns + 2;
    auto text = [&model](int row, int column) { return model.index(row, column).data().toString(); };
    EXPECT_EQ(text(0, best), QStringLiteral("n/a"));
    EXPECT_EQ(text(0, best + 1), QStringLiteral("потеряна"));
    EXPECT_EQ(text(1, best), QStringLiteral("4"));
    EXPECT_EQ(text(1, best + 1), QStringLiteral("▲5"));
    EXPECT_EQ(text(2, best + 1), QString());
    const int yandex = HistoryTableModel::kFixedLeadColumns;
    EXPECT_EQ(text(1, yandex), QStringLiteral("4 ▲5"));
    EXPECT_EQ(model.change(0, 0).kind, PositionChange::Kind::Lost);
    EXPECT_EQ(text(2, 2), QStringLiteral("120"));
}

// Keywords that come and go: every check has results in its own series only, the other cells
// stay empty, and a series' change goes back to its own last result over the checks without it.
TEST(HistoryTableModel, SeriesThatComeAndGoKeepTheirOwnChanges)
{
    QList<RecordedCheck> checks = yandexDays({ 9, 5, 3, 6 });
    for (RecordedCheck& check : checks)
        check.results.resize(1);
    checks[1].results[0].keyword = QStringLiteral("слон");
    checks[2].results[0].keyword = QStringLiteral("слон");
    RecordedResult typedTwice = checks[2].results[0];
    typedTwice.text = QStringLiteral("2");
    typedTwice.position = 2;
    checks[2].results.append(typedTwice);
    HistoryTableModel model;
    model.setChecks(checks);
    ASSERT_EQ(model.series().size(), 2);
    ASSERT_EQ(model.columnCount(), HistoryTableModel::kFixedLeadColumns + 6);
    const int first = HistoryTableModel::kFixedLeadColumns;
    auto text = [&model](int row, int column) { return model.index(row, column).data().toString(); };
    const QStringList newestFirst[] = {
        { QStringLiteral("6 ▲3"), QString(), QStringLiteral("6"), QStringLiteral("▼4") },
        { QString(), QStringLiteral("2 ▲3"), QStringLiteral("2"), QStringLiteral("▲3") },
        { QString(), QStringLiteral("5"), QStringLiteral("5"), QStringLiteral("▲4") },
        { QStringLiteral("9"), QString(), QStringLiteral("9"), QString() },
    };
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column)
            EXPECT_EQ(text(row, first + column), newestFirst[row][column]) << row << ' ' << column;
    }
    EXPECT_EQ(model.headerData(first + 4, Qt::Horizontal).toString(), QStringLiteral("Компьютер"));
    EXPECT_EQ(model.headerData(first + 5, Qt::Horizontal).toString(), QStringLiteral("Пользователь"));
    EXPECT_EQ(text(0, first + 4), QStringLiteral("office-7"));
    EXPECT_EQ(text(0, first + 5), QStringLiteral("анна"));
    EXPECT_EQ(model.change(0, 1).kind, PositionChange::Kind::Unknown);
    EXPECT_EQ(model.index(1, first + 1).data(Qt::ToolTipRole).toString().section(u'\n', 0, 0),
        QStringLiteral("found"));
}

} // namespace
