#include "history/PositionChange.h"

#include <gtest/gtest.h>

namespace {

using Kind = PositionChange::Kind;

struct ChangeRow {
    const char* name;
    std::optional<int> current;
    Reason reason;
    bool hadPrevious;
    std::optional<int> previous;
    Kind kind;
    int steps;
    const char* mark;
};

class PositionChangeRows : public ::testing::TestWithParam<ChangeRow> { };

TEST_P(PositionChangeRows, KindStepsAndMark)
{
    const ChangeRow& row = GetParam();
    const PositionChange change = positionChange(row.current, row.reason, row.hadPrevious, row.previous);
    EXPECT_EQ(change.kind, row.kind);
    EXPECT_EQ(change.steps, row.steps);
    EXPECT_EQ(changeMark(change), QString::fromUtf8(row.mark));
}

INSTANTIATE_TEST_SUITE_P(Rows, PositionChangeRows,
    ::testing::Values(ChangeRow { "up", 3, Reason::Found, true, 8, Kind::Up, 5, "▲5" },
        ChangeRow { "down", 14, Reason::Found, true, 2, Kind::Down, 12, "▼12" },
        ChangeRow { "same", 4, Reason::Found, true, 4, Kind::Same, 0, "=" },
        ChangeRow { "new", 9, Reason::Found, true, std::nullopt, Kind::New, 0, "новая" },
        ChangeRow { "lost", std::nullopt, Reason::NotFound, true, 6, Kind::Lost, 0, "потеряна" },
        ChangeRow { "lostOnShortList", std::nullopt, Reason::ShortList, true, 6, Kind::Lost, 0, "потеряна" },
        ChangeRow {
            "stillMissing", std::nullopt, Reason::NotFound, true, std::nullopt, Kind::StillMissing, 0, "" },
        ChangeRow { "first", 5, Reason::Found, false, std::nullopt, Kind::NoPrevious, 0, "" },
        ChangeRow { "failedSaysNothing", std::nullopt, Reason::Failed, true, 6, Kind::Unknown, 0, "" },
        ChangeRow { "stoppedSaysNothing", std::nullopt, Reason::Stopped, true, 6, Kind::Unknown, 0, "" },
        ChangeRow { "foundWithoutDigits", std::nullopt, Reason::Found, true, 6, Kind::Unknown, 0, "" }),
    [](const ::testing::TestParamInfo<ChangeRow>& info) { return std::string(info.param.name); });

TEST(PositionChange, NoteNamesTheEarlierPositionAndItsTime)
{
    const QDateTime earlier(QDate(2026, 12, 6), QTime(9, 30), Qt::UTC);
    const QString up = changeNote(positionChange(3, Reason::Found, true, 8, earlier));
    EXPECT_TRUE(up.contains(QStringLiteral("выше на 5 (было 8)"))) << up.toStdString();
    EXPECT_TRUE(up.contains(QStringLiteral("2026")) || up.contains(QStringLiteral("26"))) << up.toStdString();
    EXPECT_TRUE(changeNote(positionChange(std::nullopt, Reason::NotFound, true, 4, earlier))
                    .contains(QStringLiteral("потеряна (было 4)")));
    EXPECT_TRUE(changeNote(positionChange(6, Reason::Found, true, std::nullopt, earlier))
                    .contains(QStringLiteral("новая (раньше не найдена)")));
    EXPECT_TRUE(changeNote(positionChange(2, Reason::Found, false, std::nullopt)).isEmpty());
}

TEST(PositionText, OnlyDigitsOfAPositiveNumberArePositions)
{
    EXPECT_EQ(positionFromText(QStringLiteral("13")), 13);
    EXPECT_EQ(positionFromText(QStringLiteral(" 7 ")), 7);
    EXPECT_EQ(positionFromText(QStringLiteral("n/a")), std::nullopt);
    EXPECT_EQ(positionFromText(QString()), std::nullopt);
    EXPECT_EQ(positionFromText(QStringLiteral("0")), std::nullopt);
    EXPECT_EQ(positionFromText(QStringLiteral("-3")), std::nullopt);
    EXPECT_EQ(positionFromText(QStringLiteral("12345678901234")), std::nullopt);
}

} // namespace
