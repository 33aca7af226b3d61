#pragma once

#include "app/workspace/Workspace.h"

#include <QList>
#include <QMainWindow>
#include <functional>
#include <map>
#include <memory>

class FrameProject;
class HistoryStore;
class ProjectDialog;
class ProjectTabBar;
class QAction;
class QMenu;
class QTimer;
class QToolButton;
class TcxPropertiesStore;
class TfrRank;
class TfmUpDate;

// The main window: up to three open projects on tabs, the main menu and the program's closing.
// The workspace keeps the projects and their rules; the window shows them and asks the user.
class TfmMain : public QMainWindow, private WorkspaceView {
    Q_OBJECT
public:
    static constexpr int ClientWidth = 982;
    static constexpr int ClientHeight = 644;

    // With a project file, the program starts with that project instead of a new one.
    explicit TfmMain(QWidget* parent = nullptr, const QString& projectFile = {});
    ~TfmMain() override;

    ProjectTabBar* TabControl = nullptr;
    QToolButton* ButtonClose = nullptr;
    QMenu* N1 = nullptr;
    QAction* N3 = nullptr;
    QAction* N4 = nullptr;
    QAction* N5 = nullptr;
    QAction* N6 = nullptr;
    QAction* N15 = nullptr;
    QAction* N7 = nullptr;
    QAction* N9 = nullptr;
    QAction* N16 = nullptr; // "История позиций..."
    QAction* N17 = nullptr; // "Расписание проверок..."
    QAction* N18 = nullptr; // "Регион проверки..."
    QAction* N19 = nullptr; // "Где хранить историю..."
    QAction* N20 = nullptr; // "Источники результатов..."
    QAction* N8 = nullptr;
    QAction* N10 = nullptr;
    QMenu* N2 = nullptr;
    QAction* N11 = nullptr;
    QAction* N12 = nullptr;
    QAction* N13 = nullptr;
    QAction* N14 = nullptr;
    QAction* Onlinesupport1 = nullptr;
    ProjectDialog* OpenDialog = nullptr;
    ProjectDialog* SaveDialog = nullptr;
    TcxPropertiesStore* cxPropertiesStore1 = nullptr;
    QTimer* Timer1 = nullptr;

    // The open projects, frame i belonging to tab i.
    QList<TfrRank*> ProjectFrames() const;
    const Workspace& workspace() const { return m_workspace; }
    HistoryStore& history() const { return *m_history; }

    // What the export, the update check and the promotion request act on.
    int selectedIndex() const;
    QString selectedCaption() const;
    TfrRank* selectedFrame() const;

    // A close of this project waits for its check to end.
    bool closePending(const TfrRank* frame) const;
    bool exitPending() const { return m_workspace.exitPending(); }

    // Runs a command; an error it raises ends the command and its text goes to the error box.
    void command(const std::function<void()>& body) { m_workspace.command(body); }

    // The update form checks for updates from N14 and Timer1; it ends the program for a restart.
    void setUpdateForm(TfmUpDate* form);
    // Closes the program without the exit questions (the self-update restart).
    void endWithoutQuestions();

public slots:
    void N3Click();
    void N4Click();
    void N5Click();
    void N6Click();
    void N15Click();
    void N9Click();
    void N16Click();
    void N17Click();
    void N18Click();
    void N19Click();
    void N20Click();
    void N10Click();
    void N11Click();
    void N12Click();
    void N13Click();
    void N14Click();
    void Onlinesupport1Click();
    void ButtonCloseClick();
    void TabControlChange();
    void Timer1Timer();

public:
    // Leaving the selected tab is allowed only while its project runs no check.
    void TabControlChanging(bool& AllowChange);

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildMenu();
    void buildTabControl();
    void buildStore();
    void buildHistory();
    // Each project's tab names its schedule and its region in its tooltip.
    void showTabTips();

    void FormCreate(const QString& projectFile);
    void FormShow();
    void FormDestroy();

    FrameProject* projectOf(const TfrRank* frame) const;

    // WorkspaceView
    WorkspaceProject* createProject() override;
    void destroyProject(WorkspaceProject* project) override;
    void showProjects(const QStringList& captions, int selected) override;
    QString chooseFileToOpen() override;
    QString chooseFileToSave() override;
    bool askSaveChanges(const QString& question) override;
    bool confirmExit(const QString& question) override;
    void showError(const QString& text) override;
    void closeWindow() override { close(); }

    std::unique_ptr<HistoryStore> m_history;
    Workspace m_workspace { *this };
    std::map<const TfrRank*, std::unique_ptr<FrameProject>> m_frames;
    TfmUpDate* fmUpDate = nullptr;
    bool m_shown = false;
};
