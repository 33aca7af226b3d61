#include "app/workspace/Workspace.h"

#include "app/workspace/WorkspaceRules.h"
#include "store/StoreError.h"

const QString Workspace::kExitQuestion = QStringLiteral("Вы уверены что хотите закрыть программу?");

Workspace::Workspace(WorkspaceView& view)
    : m_view(view)
{
}

WorkspaceProject* Workspace::selected() const
{
    return m_selected >= 0 && m_selected < m_projects.size() ? m_projects[m_selected] : nullptr;
}

void Workspace::select(int index)
{
    if (index >= 0 && index < m_projects.size())
        m_selected = index;
    refresh();
}

bool Workspace::canLeaveSelected() const
{
    const WorkspaceProject* project = selected();
    return !project || !project->checkActive();
}

QString Workspace::errorText(const std::exception& error)
{
    if (const auto* store = dynamic_cast<const EPropertiesStore*>(&error))
        return store->message();
    return QString::fromUtf8(error.what());
}

void Workspace::command(const std::function<void()>& body)
{
    try {
        body();
    } catch (const std::exception& error) {
        m_view.showError(errorText(error));
    }
}

void Workspace::refresh()
{
    m_view.showProjects(m_captions, m_selected);
}

void Workspace::report(const QString& problem)
{
    if (problem.isEmpty())
        return;
    if (m_shown)
        m_view.showError(problem);
    else
        m_queuedProblems << problem;
}

void Workspace::windowShown()
{
    m_shown = true;
    const QStringList queued = std::exchange(m_queuedProblems, {});
    for (const QString& problem : queued)
        m_view.showError(problem);
}

void Workspace::addProject(WorkspaceProject* project, const QString& caption)
{
    m_projects.append(project);
    m_captions.append(caption);
    m_selected = int(m_projects.size()) - 1;
    refresh();
    report(project->startupProblem());
}

void Workspace::newProject()
{
    if (m_projects.size() >= WorkspaceRules::MaxProjects)
        return;
    command([this] {
        WorkspaceProject* project = m_view.createProject();
        project->reset();
        addProject(project, WorkspaceRules::newProjectCaption());
    });
}

void Workspace::openProject()
{
    if (m_projects.size() >= WorkspaceRules::MaxProjects)
        return;
    command([this] {
        const QString chosen = m_view.chooseFileToOpen();
        if (!chosen.isEmpty())
            open(chosen);
    });
}

void Workspace::openProjectFile(const QString& path)
{
    if (m_projects.size() >= WorkspaceRules::MaxProjects)
        return;
    command([this, &path] { open(path); });
}

// An unreadable file is reported; its project is discarded and the selected one shows again.
void Workspace::open(const QString& path)
{
    WorkspaceProject* project = m_view.createProject();
    try {
        project->setFileName(path);
        project->load(path);
    } catch (...) {
        m_view.destroyProject(project);
        refresh();
        throw;
    }
    addProject(project, WorkspaceRules::tabCaption(path));
}

void Workspace::saveSelected()
{
    if (WorkspaceProject* project = selected())
        command([this, project] { save(project); });
}

void Workspace::saveSelectedAs()
{
    if (WorkspaceProject* project = selected())
        command([this, project] { saveAs(project); });
}

void Workspace::save(WorkspaceProject* project)
{
    switch (WorkspaceRules::saveStep(project->modified(), project->fileName())) {
    case WorkspaceRules::SaveStep::Nothing:
        break;
    case WorkspaceRules::SaveStep::SaveAs:
        saveAs(project);
        break;
    case WorkspaceRules::SaveStep::Write:
        project->save(project->fileName());
        break;
    }
}

void Workspace::saveAs(WorkspaceProject* project)
{
    const QString chosen = m_view.chooseFileToSave();
    if (chosen.isEmpty() || !isOpen(project))
        return;
    const QString previous = project->fileName();
    project->setFileName(chosen);
    try {
        project->save(chosen);
    } catch (...) {
        // The project keeps the file it had, so that Save does not aim at a file never written.
        project->setFileName(previous);
        throw;
    }
    const int index = int(m_projects.indexOf(project));
    if (index >= 0) {
        m_captions[index] = WorkspaceRules::tabCaption(chosen);
        refresh();
    }
}

void Workspace::askToSave(WorkspaceProject* project)
{
    if (!project->modified())
        return;
    const QString caption = m_captions.value(int(m_projects.indexOf(project)));
    if (m_view.askSaveChanges(WorkspaceRules::unsavedQuestion(caption)) && isOpen(project))
        save(project);
}

void Workspace::closeSelected()
{
    if (WorkspaceProject* project = selected())
        command([this, project] { closeProject(project); });
}

void Workspace::closeProject(WorkspaceProject* project)
{
    if (project->checkActive()) {
        // The project may go only after its check has returned; checkEnded finishes the command.
        m_pendingClose.insert(project);
        project->requestStop();
        return;
    }
    m_pendingClose.remove(project);
    askToSave(project);
    if (isOpen(project) && !project->checkActive())
        removeProject(project);
}

void Workspace::removeProject(WorkspaceProject* project)
{
    const int index = int(m_projects.indexOf(project));
    if (index < 0)
        return;
    m_projects.removeAt(index);
    m_captions.removeAt(index);
    m_pendingClose.remove(project);
    m_view.destroyProject(project);
    m_selected = int(m_projects.size()) - 1;
    if (m_projects.isEmpty())
        newProject();
    refresh();
}

void Workspace::checkEnded(WorkspaceProject* project)
{
    if (isOpen(project) && m_pendingClose.contains(project) && !project->checkActive())
        command([this, project] { closeProject(project); });
    if (m_exitPending)
        m_view.closeWindow();
}

bool Workspace::anyCheckActive() const
{
    for (const WorkspaceProject* project : m_projects) {
        if (project->checkActive())
            return true;
    }
    return false;
}

Workspace::Exit Workspace::exitRequested()
{
    if (!m_exitConfirmed) {
        if (!m_view.confirmExit(kExitQuestion))
            return Exit::Refused;
        m_exitConfirmed = true;
    }
    if (anyCheckActive()) {
        // The window closes once the last check has run out (checkEnded).
        m_exitPending = true;
        for (WorkspaceProject* project : m_projects) {
            if (project->checkActive())
                project->requestStop();
        }
        return Exit::Waiting;
    }
    m_exitPending = false;
    return Exit::Proceed;
}

void Workspace::endWithoutQuestions()
{
    m_exitConfirmed = true;
    m_withoutQuestions = true;
}

bool Workspace::saveAtExit()
{
    if (m_withoutQuestions)
        return true;
    QList<bool> modified;
    for (const WorkspaceProject* project : m_projects)
        modified << project->modified();
    const QList<WorkspaceProject*> projects = m_projects;
    try {
        for (int index : WorkspaceRules::projectsToAskAtExit(modified)) {
            if (isOpen(projects[index]))
                askToSave(projects[index]);
        }
    } catch (const std::exception& error) {
        // A project that could not be saved keeps the program open, with the project as it was.
        m_exitConfirmed = false;
        m_view.showError(errorText(error));
        return false;
    }
    return true;
}
