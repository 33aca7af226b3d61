#include "rank/project/ProjectResults.h"

#include <gtest/gtest.h>

TEST(ProjectModel, ANewProjectAsksYandexAndRamblerAndHasNoKeyword)
{
    const Project project;
    EXPECT_TRUE(project.site.isEmpty());
    for (Engine engine : kEngines)
        EXPECT_EQ(project.isTicked(engine), engine == Engine::YandexRu || engine == Engine::RamblerRu)
            << engineKey(engine).toStdString();
    EXPECT_FALSE(project.anyKeyword());
    EXPECT_THROW(project.keyword(0), std::out_of_range);
    EXPECT_THROW(project.keyword(8), std::out_of_range);
}

TEST(ProjectModel, AKeywordOfBlanksCounts)
{
    Project project;
    project.keyword(7) = QStringLiteral("  ");
    EXPECT_TRUE(project.anyKeyword());
    EXPECT_EQ(project.keywords[6], QStringLiteral("  "));
}

TEST(ProjectModel, ResultsStartBlankWithADashWhereNoEngineCountsQueries)
{
    const ProjectResults results;
    for (Engine engine : kEngines) {
        for (int n = 1; n <= Project::KeywordCount; ++n) {
            EXPECT_EQ(results.rank(engine, n).text, QString());
            EXPECT_EQ(results.rank(engine, n).state, CellResult::State::Old);
            EXPECT_EQ(
                results.count(engine, n).text, engine == Engine::YandexRu ? QString() : QStringLiteral("-"));
        }
        EXPECT_EQ(results.gauge(engine), 0);
    }
    EXPECT_EQ(results.elapsed, QStringLiteral("0:00:00"));
    EXPECT_FALSE(results.stopped || results.error || results.nothingAnswered);
}

TEST(ProjectModel, ANewCheckKeepsTheTextsAndForgetsHowTheLastOneEnded)
{
    ProjectResults results;
    results.rank(Engine::MSNCom, 7) = { QStringLiteral("3"), 1, {}, {}, CellResult::State::Written };
    results.stopped = true;
    results.error = QStringLiteral("error");
    results.nothingAnswered = QStringLiteral("refused");
    results.beginCheck();
    EXPECT_EQ(results.rank(Engine::MSNCom, 7).text, QStringLiteral("3"));
    EXPECT_EQ(results.rank(Engine::MSNCom, 7).state, CellResult::State::Old);
    EXPECT_FALSE(results.stopped || results.error || results.nothingAnswered);
}

TEST(ProjectModel, ANewProjectResetsTheFiguresButNotTheCells)
{
    ProjectResults results;
    results.rank(Engine::GoogleRu, 3).text = QStringLiteral("12");
    results.gauge(Engine::AportRu) = 45;
    results.cy = { QStringLiteral("120"), Outcome::figureRead() };
    results.pr.text = QStringLiteral("4");
    results.elapsed = QStringLiteral("0:01:10");
    results.resetFigures();
    EXPECT_EQ(results.rank(Engine::GoogleRu, 3).text, QStringLiteral("12"));
    EXPECT_EQ(results.gauge(Engine::AportRu), 0);
    EXPECT_EQ(results.cy.text, QString());
    EXPECT_EQ(results.cy.why.detail, QString());
    EXPECT_EQ(results.pr.text, QString());
    EXPECT_EQ(results.elapsed, QStringLiteral("0:00:00"));
}
