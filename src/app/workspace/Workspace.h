#pragma once

#include "app/workspace/WorkspaceProject.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <exception>
#include <functional>

// The open projects (at most three) and the rules of the workspace: new, open, save, save as,
// close and exit, with a close or an exit that waits for a running check. Commands show their
// errors in one place, the view's error box.
class Workspace {
public:
    explicit Workspace(WorkspaceView& view);

    const QList<WorkspaceProject*>& projects() const { return m_projects; }
    int selectedIndex() const { return m_selected; }
    WorkspaceProject* selected() const;
    QString caption(int index) const { return m_captions.value(index); }
    // The user chose another tab (allowed only through canLeaveSelected()).
    void select(int index);
    bool canLeaveSelected() const;

    void newProject();
    void openProject();
    // Opens the project file the program was started with (from the desktop), as Open would.
    void openProjectFile(const QString& path);
    void saveSelected();
    void saveSelectedAs();
    void closeSelected();

    enum class Exit { Refused, Waiting, Proceed };
    // The window wants to close: asks once, stops running checks and waits for them.
    Exit exitRequested();
    // After Proceed: asks about every modified project in tab order. False when a save failed;
    // the program then stays open with its projects.
    bool saveAtExit();

    // The program ends without the exit questions (a restart into a new version); running checks
    // are still stopped first.
    void endWithoutQuestions();

    // A check of this project has ended and its start handler has returned.
    void checkEnded(WorkspaceProject* project);
    bool closePending(const WorkspaceProject* project) const { return m_pendingClose.contains(project); }
    bool exitPending() const { return m_exitPending; }

    // Problems found while projects were made are shown from here on, queued ones at once.
    void windowShown();

    // Runs a command; an error it raises ends the command and its text goes to the error box.
    void command(const std::function<void()>& body);
    static QString errorText(const std::exception& error);

    static const QString kExitQuestion;

private:
    void addProject(WorkspaceProject* project, const QString& caption);
    void open(const QString& path);
    void removeProject(WorkspaceProject* project);
    void closeProject(WorkspaceProject* project);
    void save(WorkspaceProject* project);
    void saveAs(WorkspaceProject* project);
    void askToSave(WorkspaceProject* project);
    bool anyCheckActive() const;
    bool isOpen(const WorkspaceProject* project) const { return m_projects.contains(project); }
    void report(const QString& problem);
    void refresh();

    WorkspaceView& m_view;
    QList<WorkspaceProject*> m_projects;
    QStringList m_captions;
    int m_selected = -1;
    QSet<const WorkspaceProject*> m_pendingClose;
    bool m_exitPending = false;
    bool m_exitConfirmed = false;
    bool m_withoutQuestions = false;
    bool m_shown = false;
    QStringList m_queuedProblems;
};
