#include "history/HistoryDatabase.h"
#include "history/HistoryFixtures.h"
#include "history/HistoryTableModel.h"
#include "history/PositionChartModel.h"
#include "history/Sqlite.h"

#include <gtest/gtest.h>

namespace {

const QDateTime kMorning(QDate(2026, 3, 1), QTime(6, 0, 0), Qt::UTC);

// Every cell's text and tooltip, row by row.
QStringList cells(const HistoryTableModel& model)
{
    QStringList all;
    for (int row = 0; row < model.rowCount(); ++row) {
        for (int column = 0; column < model.columnCount(); ++column) {
            const QModelIndex index = model.index(row, column);
            all << index.data().toString() + u'|' + index.data(Qt::ToolTipRole).toString();
        }
    }
    return all;
}

// A history with what a table and a chart must tell apart: a keyword typed twice, a check without
// results, a check ended by an error, another site, positions lost and found again.
QList<RecordedCheck> variedChecks()
{
    QList<RecordedCheck> checks;
    for (int day = 0; day < 6; ++day)
        checks << sampleCheck(
            kMorning.addDays(day), day % 3 == 1 ? std::nullopt : std::optional<int>(day + 3));
    RecordedResult typedTwice = checks[2].results[0];
    typedTwice.text = QStringLiteral("1");
    typedTwice.position = 1;
    checks[2].results.append(typedTwice);
    checks[3].results.clear();
    checks[4].outcome = CheckOutcome::Error;
    checks[4].error = QStringLiteral("порт прокси не число");
    return checks;
}

using SiteHistoryOfAStore = OnEachStore;

TEST_P(SiteHistoryOfAStore, ReadFromTheStoreItShowsWhatTheChecksShow)
{
    const auto opened = m_history.open();
    HistoryBackend& db = *opened;
    const QList<RecordedCheck> written = variedChecks();
    RecordedCheck other = sampleCheck(kMorning.addSecs(60), 40);
    other.site = QStringLiteral("http://другой.рф");
    db.record(other);
    for (const RecordedCheck& check : written)
        db.record(check);

    HistoryTableModel fromFile;
    fromFile.setHistory(db.siteHistory(QStringLiteral("пример.рф")));
    HistoryTableModel fromChecks;
    fromChecks.setChecks(written);
    ASSERT_EQ(fromFile.rowCount(), 6);
    EXPECT_EQ(cells(fromFile), cells(fromChecks));
    EXPECT_EQ(fromFile.index(1, 1).data(Qt::ToolTipRole).toString(), QStringLiteral("порт прокси не число"));

    const QString keyword = QStringLiteral("купить слона");
    const PositionChartModel chart(fromFile.history(), keyword);
    ASSERT_EQ(chart.lines().size(), 1);
    // The first of the two results of a keyword typed twice is drawn; a check without the keyword
    // leaves no gap, a check that lost the site does.
    EXPECT_EQ(chart.lines()[0].segments(),
        QList<QList<ChartPoint>>(
            { { { kMorning.toMSecsSinceEpoch(), 3 } }, { { kMorning.addDays(2).toMSecsSinceEpoch(), 5 } },
                { { kMorning.addDays(5).toMSecsSinceEpoch(), 8 } } }));
    EXPECT_EQ(chart.lines(), PositionChartModel(written, keyword).lines());
    EXPECT_EQ(fromFile.history().keywords(), QStringList({ keyword, QStringLiteral("слон, \"розовый\"") }));
}

TEST(SiteHistory, TimesWrittenInAnotherFormAreReadAsWell)
{
    HistoryFolder folder;
    HistoryDatabase(folder.path()).record(sampleCheck(kMorning));
    {
        SqliteConnection db(folder.path());
        db.exec("UPDATE checks SET time_utc = '2026-03-01T09:00:00+03:00'");
    }
    const SiteHistory history = HistoryDatabase(folder.path()).siteHistory(QStringLiteral("пример.рф"));
    ASSERT_EQ(history.checkCount(), 1);
    EXPECT_EQ(history.time(0), kMorning);
}

TEST(SiteHistory, EngineAndReasonOfALaterVersionStayAsWritten)
{
    HistoryFolder folder;
    HistoryDatabase(folder.path()).record(sampleCheck(kMorning));
    {
        SqliteConnection db(folder.path());
        db.exec("INSERT INTO results (check_id, keyword, engine, result_text, position, result_page,"
                " query_count, reason, site_key) VALUES (1, 'kw', 'YahooCom', '4', 4, 1, '', 'captcha',"
                " 'пример.рф')");
    }
    HistoryTableModel model;
    model.setHistory(HistoryDatabase(folder.path()).siteHistory(QStringLiteral("пример.рф")));
    ASSERT_EQ(model.series().size(), 3);
    EXPECT_FALSE(model.series()[2].knownEngine);
    const int yahoo = HistoryTableModel::kFixedLeadColumns + 2;
    EXPECT_EQ(model.headerData(yahoo, Qt::Horizontal).toString(), QStringLiteral("kw\nYahooCom"));
    EXPECT_EQ(model.index(0, yahoo).data().toString(), QStringLiteral("4"));
    EXPECT_EQ(model.index(0, yahoo).data(Qt::ToolTipRole).toString(), QStringLiteral("captcha"));
    // Not drawn as any engine's line.
    EXPECT_TRUE(PositionChartModel(model.history(), QStringLiteral("kw")).lines().isEmpty());
}

KS_ON_EACH_STORE(SiteHistoryOfAStore);

} // namespace
