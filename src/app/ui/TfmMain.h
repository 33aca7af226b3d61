#pragma once

#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QSet>
#include <functional>

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
class TfmMain : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int ClientWidth = 982;
    static constexpr int ClientHeight = 644;

    explicit TfmMain(QWidget* parent = nullptr);
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
    QList<TfrRank*> ProjectFrames;

    // What the export, the update check and the promotion request act on.
    int selectedIndex() const;
    QString selectedCaption() const;
    TfrRank* selectedFrame() const;

    // A close of this project waits for its check to end.
    bool closePending(const TfrRank* frame) const { return m_pendingClose.contains(frame); }
    bool exitPending() const { return m_exitPending; }

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

    void FormCreate();
    void FormShow();
    bool FormCloseQuery();
    void FormClose();
    void FormDestroy();

    void HideAllFrames();
    void ShowCurrentFrame();

    TfrRank* createFrame();
    void addProjectTab(TfrRank* frame, const QString& caption);
    int indexOfFrame(const TfrRank* frame) const;
    void saveProject(TfrRank* frame);
    void saveProjectAs(TfrRank* frame);
    void closeProject(TfrRank* frame);
    void askToSave(TfrRank* frame);
    void removeProject(TfrRank* frame);
    void watchCheck(TfrRank* frame);
    void checkEnded(TfrRank* frame);
    bool anyCheckActive() const;

    // Runs a command; an error it raises ends the command and its text is shown in the error box.
    void command(const std::function<void()>& body);

    TfmUpDate* fmUpDate = nullptr;
    QSet<const TfrRank*> m_pendingClose;
    bool m_exitPending = false;
    bool m_exitConfirmed = false;
    bool m_withoutQuestions = false;
    bool m_shown = false;
};
