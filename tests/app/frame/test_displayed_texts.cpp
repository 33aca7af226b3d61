#include "app/frame/DisplayedTexts.h"
#include "app/frame/ResultCell.h"
#include "app/frame/TfrRank.h"
#include "report/ReportGrid.h"

#include <QLineEdit>
#include <gtest/gtest.h>

namespace {

TEST(DisplayedTexts, ANewProjectGivesItsDesignTexts)
{
    TfrRank frame;
    frame.ResetProject();
    const FrameTexts texts = displayedTexts(frame);
    EXPECT_EQ(texts.site, QStringLiteral("http://"));
    EXPECT_EQ(texts.googlePR, QString());
    EXPECT_EQ(texts.yandexCY, QString());
    for (int n = 1; n <= 7; ++n) {
        EXPECT_EQ(texts.keywords[std::size_t(n - 1)], QString());
        for (Engine engine : kEngines) {
            EXPECT_EQ(texts.rankText(engine, n), QString());
            EXPECT_EQ(texts.countText(engine, n), frame.countCell(engine, n)->text());
        }
    }
    // The counts no engine but Yandex.ru fills show a dash, and the report copies it.
    EXPECT_EQ(texts.countText(Engine::GoogleCom, 1), QStringLiteral("-"));
    EXPECT_EQ(texts.countText(Engine::YandexRu, 1), QString());
}

TEST(DisplayedTexts, EveryCellIsReadFromTheComponentOfItsName)
{
    TfrRank frame;
    frame.edWEB->setText(QStringLiteral("http://www.example.ru/"));
    frame.stGooglePR->setText(QStringLiteral("4"));
    frame.stYandexCY->setText(QStringLiteral("120"));
    for (int n = 1; n <= 7; ++n) {
        frame.keywordEdit(n)->setText(QStringLiteral("слово %1").arg(n));
        for (Engine engine : kEngines) {
            frame.rankCell(engine, n)->setText(engineKey(engine) + QString::number(n));
            frame.countCell(engine, n)->setText(
                QStringLiteral("count ") + engineKey(engine) + QString::number(n));
        }
    }
    frame.writeRankCell(Engine::MSNCom, 7, QStringLiteral("n/a"), 50);
    frame.writeCountCell(Engine::YandexRu, 3, QStringLiteral("1520"));

    const FrameTexts texts = displayedTexts(frame);
    EXPECT_EQ(texts.site, QStringLiteral("http://www.example.ru/"));
    EXPECT_EQ(texts.googlePR, QStringLiteral("4"));
    EXPECT_EQ(texts.yandexCY, QStringLiteral("120"));
    EXPECT_EQ(texts.keywords[6], QStringLiteral("слово 7"));
    EXPECT_EQ(texts.rankText(Engine::AportRu, 5), QStringLiteral("AportRu5"));
    EXPECT_EQ(texts.countText(Engine::RamblerRu, 2), QStringLiteral("count RamblerRu2"));
    EXPECT_EQ(texts.rankText(Engine::MSNCom, 7), QStringLiteral("n/a"));
    EXPECT_EQ(texts.countText(Engine::YandexRu, 3), QStringLiteral("1520"));

    const ReportGrid grid = ReportGrid::build(texts, QDate(2026, 12, 7));
    EXPECT_EQ(grid.text(21, 20), QStringLiteral("n/a")); // keyword 7 on MSN.com
    EXPECT_EQ(grid.text(13, 12), QStringLiteral("1520")); // keyword 3, Yandex.ru count
    EXPECT_EQ(grid.text(5, 6), QStringLiteral("4"));
}

} // namespace
