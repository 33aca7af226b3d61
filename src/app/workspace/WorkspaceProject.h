#pragma once

#include <QString>

// One open project as the workspace sees it; the main window adapts a project frame to it.
class WorkspaceProject {
public:
    virtual ~WorkspaceProject() = default;

    virtual bool modified() const = 0;
    virtual QString fileName() const = 0;
    virtual void setFileName(const QString& fileName) = 0;
    virtual void reset() = 0; // a new project's values
    virtual void load(const QString& path) = 0; // throws with the store's text
    virtual void save(const QString& path) = 0; // throws; a saved project is no longer modified

    // True from the start of a check until its start handler has run its end steps.
    virtual bool checkActive() const = 0;
    virtual void requestStop() = 0;

    // A problem found while the project was made (a stored setting that could not be read).
    virtual QString startupProblem() const = 0;
};

// What the workspace asks of its window.
class WorkspaceView {
public:
    virtual ~WorkspaceView() = default;

    virtual WorkspaceProject* createProject() = 0;
    virtual void destroyProject(WorkspaceProject* project) = 0;
    // Shows these tabs with this one selected, and the selected project's frame alone.
    virtual void showProjects(const QStringList& captions, int selected) = 0;

    virtual QString chooseFileToOpen() = 0; // empty: cancelled
    virtual QString chooseFileToSave() = 0; // empty: cancelled
    virtual bool askSaveChanges(const QString& question) = 0; // true: Yes
    virtual bool confirmExit(const QString& question) = 0; // true: OK
    virtual void showError(const QString& text) = 0; // the standard error box
    virtual void closeWindow() = 0; // asks the window to close again
};
