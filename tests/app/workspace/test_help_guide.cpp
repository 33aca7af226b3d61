#include "app/workspace/HelpGuide.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class HelpGuideTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_root.isValid()); }

    QString path(const QString& relative) const { return m_root.filePath(relative); }

    void writeFile(const QString& relative)
    {
        ASSERT_TRUE(QDir(m_root.path()).mkpath(QFileInfo(path(relative)).path()));
        QFile file(path(relative));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("<!doctype html>");
    }

private:
    QTemporaryDir m_root;
};

} // namespace

TEST_F(HelpGuideTest, FoundBesideTheProgramInABuildTree)
{
    writeFile("build/help/index.html");
    EXPECT_EQ(HelpGuide(path("build/kestrova-sertrix")).find(), path("build/help/index.html"));
}

TEST_F(HelpGuideTest, FoundInTheDataFolderOfAnInstall)
{
    writeFile("usr/share/kestrova-sertrix/help/index.html");
    EXPECT_EQ(HelpGuide(path("usr/bin/kestrova-sertrix")).find(),
        path("usr/share/kestrova-sertrix/help/index.html"));
}

TEST_F(HelpGuideTest, GuideComesBeforeAHelpFileNamedAfterTheProgram)
{
    writeFile("opt/ks.chm");
    EXPECT_EQ(HelpGuide(path("opt/ks")).find(), path("opt/ks.chm"));
    writeFile("opt/help/index.html");
    EXPECT_EQ(HelpGuide(path("opt/ks")).find(), path("opt/help/index.html"));
}

TEST_F(HelpGuideTest, NothingFoundWithoutARegularFile)
{
    EXPECT_EQ(HelpGuide(path("usr/bin/kestrova-sertrix")).find(), QString());
    ASSERT_TRUE(QDir(path("")).mkpath("usr/bin/help/index.html"));
    EXPECT_EQ(HelpGuide(path("usr/bin/kestrova-sertrix")).find(), QString());
    writeFile("usr/share/help/index.html"); // not the program's own data folder
    EXPECT_EQ(HelpGuide(path("usr/bin/kestrova-sertrix")).find(), QString());
    EXPECT_EQ(HelpGuide(QString()).find(), QString());
}

TEST(HelpGuide, TheBuildTreeHasTheGuideBesideTheProgram)
{
    const QString program = QStringLiteral(KS_BUILD_DIR "/kestrova-sertrix");
    EXPECT_EQ(HelpGuide(program).find(), QStringLiteral(KS_BUILD_DIR "/help/index.html"));
}
