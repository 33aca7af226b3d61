#include "app/check/CheckWorkbook.h"

#include <gtest/gtest.h>

namespace {

TEST(CheckWorkbook, TheFrameTextsShowTheLastWriteOfEachCell)
{
    CheckReport report;
    report.site = QStringLiteral("http://www.example.ru/");
    report.cy = { QStringLiteral("120"), {} };
    report.pr = { QStringLiteral("4"), {} };
    report.keywords = QStringList { "kw1", "", "kw3", "", "", "", "" };
    report.cells = { { Engine::YandexRu, 1, QStringLiteral("n/a"), 50, QStringLiteral("1520"), {}, {} },
        { Engine::RamblerRu, 3, QStringLiteral("12"), 2, std::nullopt, {}, {} },
        // A second check of keyword 1 on Yandex.ru blanked its cells.
        { Engine::YandexRu, 1, QString(), std::nullopt, QString(), {}, {} },
        { Engine::MSNCom, 8, QStringLiteral("out of the frame"), 1, std::nullopt, {}, {} } };

    const FrameTexts texts = frameTextsOf(report);

    EXPECT_EQ(texts.site, report.site);
    EXPECT_EQ(texts.yandexCY, QStringLiteral("120"));
    EXPECT_EQ(texts.googlePR, QStringLiteral("4"));
    EXPECT_EQ(texts.keywords[2], QStringLiteral("kw3"));
    EXPECT_EQ(texts.rankText(Engine::YandexRu, 1), QString());
    EXPECT_EQ(texts.countText(Engine::YandexRu, 1), QString());
    EXPECT_EQ(texts.rankText(Engine::RamblerRu, 3), QStringLiteral("12"));
    EXPECT_EQ(texts.countText(Engine::RamblerRu, 3), QStringLiteral("-"));
    EXPECT_EQ(texts.countText(Engine::YandexRu, 7), QString());
    EXPECT_EQ(texts.rankText(Engine::MSNCom, 7), QString());
}

TEST(CheckWorkbook, SheetNamesFollowTheTabCaption)
{
    EXPECT_EQ(projectSheetName(QString()), QStringLiteral("Новый проект"));
    EXPECT_EQ(projectSheetName(QStringLiteral("/home/u/projects/site.zlt")), QStringLiteral("site"));
    EXPECT_EQ(projectSheetName(QStringLiteral("a.b.zlt")), QStringLiteral("a.b"));
    EXPECT_EQ(projectSheetName(QStringLiteral("/tmp/noextension")), QStringLiteral("noextension"));
}

} // namespace
