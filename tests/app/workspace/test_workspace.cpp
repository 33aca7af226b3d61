#include "app/workspace/Workspace.h"
#include "store/StoreError.h"

#include <deque>
#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>
#include <vector>

namespace {

struct FakeProject : WorkspaceProject {
    bool isModified = false;
    QString file;
    bool active = false;
    bool stopAsked = false;
    bool failSave = false;
    bool failLoad = false;
    QString problem;
    QStringList saves;

    bool modified() const override { return isModified; }
    QString fileName() const override { return file; }
    void setFileName(const QString& name) override { file = name; }
    void reset() override { isModified = false, file.clear(); }
    void load(const QString& path) override
    {
        if (failLoad)
            throw EPropertiesStore(QStringLiteral("Cannot open file \"%1\".").arg(path));
        file = path;
    }
    void save(const QString& path) override
    {
        if (failSave)
            throw std::runtime_error("disk full");
        saves << path;
        isModified = false;
    }
    bool checkActive() const override { return active; }
    void requestStop() override { stopAsked = true; }
    QString startupProblem() const override { return problem; }
};

// A window that answers from a script and records what it was asked.
struct FakeView : WorkspaceView {
    std::vector<std::unique_ptr<FakeProject>> made;
    QList<WorkspaceProject*> destroyed;
    std::function<void(FakeProject&)> prepare; // runs on every project made
    QStringList tabs;
    int selectedTab = -1;
    std::deque<QString> filesToOpen, filesToSave;
    std::deque<bool> answers; // save questions
    QStringList questions, errors;
    bool exitAnswer = true;
    int closeAgain = 0;

    WorkspaceProject* createProject() override
    {
        made.push_back(std::make_unique<FakeProject>());
        if (prepare)
            prepare(*made.back());
        return made.back().get();
    }
    void destroyProject(WorkspaceProject* project) override { destroyed << project; }
    void showProjects(const QStringList& captions, int selected) override
    {
        tabs = captions, selectedTab = selected;
    }
    static QString next(std::deque<QString>& queue)
    {
        if (queue.empty())
            return {};
        QString front = queue.front();
        queue.pop_front();
        return front;
    }
    QString chooseFileToOpen() override { return next(filesToOpen); }
    QString chooseFileToSave() override { return next(filesToSave); }
    bool askSaveChanges(const QString& question) override
    {
        questions << question;
        const bool yes = !answers.empty() && answers.front();
        if (!answers.empty())
            answers.pop_front();
        return yes;
    }
    bool confirmExit(const QString& question) override
    {
        questions << question;
        return exitAnswer;
    }
    void showError(const QString& text) override { errors << text; }
    void closeWindow() override { ++closeAgain; }
};

class WorkspaceTest : public ::testing::Test {
protected:
    FakeProject& project(int index) { return *static_cast<FakeProject*>(m_workspace.projects().at(index)); }

    FakeView m_view;
    Workspace m_workspace { m_view };
};

TEST_F(WorkspaceTest, AtMostThreeProjectsAndTheNewestIsSelected)
{
    for (int i = 0; i < 4; ++i)
        m_workspace.newProject();
    m_view.filesToOpen = { "/p/a.zlt" };
    m_workspace.openProject();
    EXPECT_EQ(m_workspace.projects().size(), 3);
    EXPECT_EQ(m_view.made.size(), 3u);
    EXPECT_EQ(m_view.tabs, QStringList({ "Новый проект", "Новый проект", "Новый проект" }));
    EXPECT_EQ(m_view.selectedTab, 2);
    EXPECT_EQ(m_view.filesToOpen.size(), 1u); // the dialog was never shown
}

TEST_F(WorkspaceTest, AnUnreadableFileIsReportedAndItsProjectDiscarded)
{
    m_workspace.newProject();
    m_view.prepare = [](FakeProject& p) { p.failLoad = true; };
    m_view.filesToOpen = { "/p/broken.zlt" };
    m_workspace.openProject();
    EXPECT_EQ(m_workspace.projects().size(), 1);
    ASSERT_EQ(m_view.destroyed.size(), 1);
    EXPECT_EQ(m_view.errors, QStringList { "Cannot open file \"/p/broken.zlt\"." });
    EXPECT_EQ(m_view.selectedTab, 0);
}

TEST_F(WorkspaceTest, AFailedSaveAsKeepsTheOldFileAndCaption)
{
    m_workspace.newProject();
    m_view.filesToOpen = { "/p/old.name.zlt" };
    m_workspace.openProject();
    project(1).isModified = true;
    project(1).failSave = true;
    m_view.filesToSave = { "/p/new.zlt" };
    m_workspace.saveSelectedAs();
    EXPECT_EQ(project(1).file, "/p/old.name.zlt");
    EXPECT_EQ(m_view.tabs[1], "old.name");
    EXPECT_TRUE(project(1).isModified);
    EXPECT_EQ(m_view.errors, QStringList { "disk full" });

    project(1).failSave = false;
    m_view.filesToSave = { "/p/new.zlt" };
    m_workspace.saveSelectedAs();
    EXPECT_EQ(m_view.tabs[1], "new");
    EXPECT_EQ(project(1).saves, QStringList { "/p/new.zlt" });
}

TEST_F(WorkspaceTest, ClosingARunningProjectWaitsForItsCheck)
{
    m_workspace.newProject();
    m_workspace.newProject();
    FakeProject& running = project(1);
    running.active = true;
    running.isModified = true;
    m_workspace.closeSelected();
    EXPECT_TRUE(running.stopAsked);
    EXPECT_TRUE(m_workspace.closePending(&running));
    EXPECT_EQ(m_workspace.projects().size(), 2);
    EXPECT_TRUE(m_view.questions.isEmpty());

    running.active = false;
    m_view.answers = { false };
    m_workspace.checkEnded(&running);
    EXPECT_EQ(m_view.questions.size(), 1);
    EXPECT_EQ(m_workspace.projects().size(), 1);
    EXPECT_EQ(m_view.destroyed, QList<WorkspaceProject*> { &running });
    EXPECT_FALSE(m_workspace.closePending(&running));
}

TEST_F(WorkspaceTest, ClosingTheLastProjectOpensANewOne)
{
    m_workspace.newProject();
    WorkspaceProject* first = m_workspace.projects()[0];
    m_workspace.closeSelected();
    ASSERT_EQ(m_workspace.projects().size(), 1);
    EXPECT_NE(m_workspace.projects()[0], first);
    EXPECT_EQ(m_view.tabs, QStringList { "Новый проект" });
}

TEST_F(WorkspaceTest, ExitWaitsForRunningChecksThenAsksInTabOrder)
{
    for (int i = 0; i < 3; ++i)
        m_workspace.newProject();
    project(0).isModified = true;
    project(2).isModified = true;
    project(2).file = "/p/c.zlt";
    project(1).active = true;

    EXPECT_EQ(m_workspace.exitRequested(), Workspace::Exit::Waiting);
    EXPECT_TRUE(m_workspace.exitPending());
    EXPECT_TRUE(project(1).stopAsked);
    project(1).active = false;
    m_workspace.checkEnded(&project(1));
    EXPECT_EQ(m_view.closeAgain, 1);

    // The question was asked once; the second request goes straight on.
    m_view.exitAnswer = false;
    EXPECT_EQ(m_workspace.exitRequested(), Workspace::Exit::Proceed);
    m_view.answers = { false, true };
    EXPECT_TRUE(m_workspace.saveAtExit());
    EXPECT_EQ(m_view.questions.size(), 3);
    EXPECT_EQ(project(2).saves, QStringList { "/p/c.zlt" });
    EXPECT_TRUE(project(0).saves.isEmpty());
}

TEST_F(WorkspaceTest, AFailedSaveAtExitKeepsTheProgramOpenAndAsksAgainNextTime)
{
    m_workspace.newProject();
    project(0).isModified = true;
    project(0).file = "/p/a.zlt";
    project(0).failSave = true;
    m_view.answers = { true };
    ASSERT_EQ(m_workspace.exitRequested(), Workspace::Exit::Proceed);
    EXPECT_FALSE(m_workspace.saveAtExit());
    EXPECT_EQ(m_view.errors, QStringList { "disk full" });

    m_view.exitAnswer = false;
    EXPECT_EQ(m_workspace.exitRequested(), Workspace::Exit::Refused);
}

TEST_F(WorkspaceTest, ProblemsOfNewProjectsWaitForTheWindowToShow)
{
    m_view.prepare = [](FakeProject& p) { p.problem = QStringLiteral("'x' is not a valid integer value"); };
    m_workspace.newProject();
    EXPECT_TRUE(m_view.errors.isEmpty());
    m_workspace.windowShown();
    EXPECT_EQ(m_view.errors.size(), 1);
    m_workspace.newProject();
    EXPECT_EQ(m_view.errors.size(), 2);
}

TEST_F(WorkspaceTest, TheTabOfARunningCheckCannotBeLeft)
{
    m_workspace.newProject();
    m_workspace.newProject();
    EXPECT_TRUE(m_workspace.canLeaveSelected());
    project(1).active = true;
    EXPECT_FALSE(m_workspace.canLeaveSelected());
    m_workspace.select(0);
    EXPECT_TRUE(m_workspace.canLeaveSelected());
}

} // namespace

namespace {

TEST_F(WorkspaceTest, AProjectFileGivenAtStartOpensLikeOpen)
{
    m_workspace.openProjectFile("/p/site.v2.zlt");
    ASSERT_EQ(m_workspace.projects().size(), 1);
    EXPECT_EQ(project(0).file, "/p/site.v2.zlt");
    EXPECT_EQ(m_view.tabs, QStringList { "site.v2" });

    m_view.prepare = [](FakeProject& p) { p.failLoad = true; };
    m_workspace.openProjectFile("/p/broken.zlt");
    EXPECT_EQ(m_workspace.projects().size(), 1);
    EXPECT_EQ(m_view.errors.size(), 1);
}

} // namespace
