#include "app/workspace/WorkspaceRules.h"

#include <gtest/gtest.h>

using namespace WorkspaceRules;

TEST(WorkspaceRules, TabCaptionDropsFolderAndOnlyTheLastExtension)
{
    EXPECT_EQ(tabCaption(QString()), QStringLiteral("Новый проект"));
    EXPECT_EQ(tabCaption("/home/u/projects/shop.zlt"), "shop");
    EXPECT_EQ(tabCaption("/home/u/a.b.zlt"), "a.b");
    EXPECT_EQ(tabCaption("/home/u/no extension"), "no extension");
    EXPECT_EQ(tabCaption("/home/u.d/plain"), "plain");
    EXPECT_EQ(tabCaption(QStringLiteral("/tmp/Проект сайта.zlt")), QStringLiteral("Проект сайта"));
}

TEST(WorkspaceRules, UnsavedQuestionQuotesTheCaption)
{
    EXPECT_EQ(unsavedQuestion("a.b"), QStringLiteral("Проект \"a.b\" не сохранен. Сохранить?"));
    EXPECT_EQ(unsavedQuestion(newProjectCaption()),
        QStringLiteral("Проект \"Новый проект\" не сохранен. Сохранить?"));
}

TEST(WorkspaceRules, HelpFileReplacesOrAppendsTheExtension)
{
    EXPECT_EQ(helpFilePath("/opt/ks/kestrova-sertrix"), "/opt/ks/kestrova-sertrix.chm");
    EXPECT_EQ(helpFilePath("/opt/ks/Sertrix.exe"), "/opt/ks/Sertrix.chm");
    EXPECT_EQ(helpFilePath("/opt/k.s/run"), "/opt/k.s/run.chm");
}

TEST(WorkspaceRules, ExitAsksAboutModifiedProjectsInTabOrder)
{
    EXPECT_EQ(projectsToAskAtExit({ false, true, true }), (QList<int> { 1, 2 }));
    EXPECT_EQ(projectsToAskAtExit({ true, false, true }), (QList<int> { 0, 2 }));
    EXPECT_TRUE(projectsToAskAtExit({ false, false }).isEmpty());
}

TEST(WorkspaceRules, SaveWritesOnlyModifiedProjectsAndAsksForAFileWhenNone)
{
    EXPECT_EQ(saveStep(false, QString()), SaveStep::Nothing);
    EXPECT_EQ(saveStep(false, "/tmp/a.zlt"), SaveStep::Nothing);
    EXPECT_EQ(saveStep(true, QString()), SaveStep::SaveAs);
    EXPECT_EQ(saveStep(true, "/tmp/a.zlt"), SaveStep::Write);
}

TEST(WorkspaceRules, WebPagesLieOnTheMakersSite)
{
    EXPECT_EQ(homePageUrl("127.0.0.1:4012"), "http://127.0.0.1:4012/");
    EXPECT_TRUE(onlineSupportUrl("maker.example").startsWith("http://maker.example/"));
}
