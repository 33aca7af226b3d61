// The main window as the view of its workspace: frames, tabs, dialogs and questions.
#include "app/ui/TfmMain.h"

#include "app/frame/TfrRank.h"
#include "app/ui/FrameProject.h"
#include "app/ui/ProjectDialog.h"
#include "app/ui/ProjectTabBar.h"
#include "contact/ui/TfmAsk.h"
#include "platform/ui/Prompts.h"

#include <QPointer>
#include <QSignalBlocker>
#include <QStatusBar>

namespace {

constexpr QPoint kFramePosition { 4, 24 };

} // namespace

WorkspaceProject* TfmMain::createProject()
{
    auto* frame = new TfrRank(TabControl);
    frame->move(kFramePosition);
    frame->attachHistory(*m_history);
    auto project = std::make_unique<FrameProject>(*frame);
    FrameProject* created = project.get();
    m_frames.emplace(frame, std::move(project));
    QPointer<TfrRank> guarded(frame);
    created->whenCheckEnded(this, [this, guarded] {
        if (guarded)
            m_workspace.checkEnded(projectOf(guarded));
    });
    // The status line appears with the first check that asks an API, so the window keeps its look.
    connect(frame, &TfrRank::apiRequestsTextChanged, this, [this](const QString& text) {
        if (!text.isEmpty())
            statusBar()->showMessage(text);
        else if (QStatusBar* bar = findChild<QStatusBar*>(QString(), Qt::FindDirectChildrenOnly))
            bar->clearMessage();
    });
    connect(frame, &TfrRank::promotionRequested, this, [this, frame] {
        command([this, frame] { TfmAsk::of(this).openFrom(frame->project(), frame->connectionSettings()); });
    });
    return created;
}

void TfmMain::destroyProject(WorkspaceProject* project)
{
    TfrRank* frame = &static_cast<FrameProject*>(project)->frame();
    m_frames.erase(frame);
    delete frame;
}

void TfmMain::showProjects(const QStringList& captions, int selected)
{
    {
        const QSignalBlocker blocker(TabControl);
        while (TabControl->count() > captions.size())
            TabControl->removeTab(TabControl->count() - 1);
        for (int i = 0; i < captions.size(); ++i) {
            if (i < TabControl->count())
                TabControl->setTabText(i, captions[i]);
            else
                TabControl->addTab(captions[i]);
        }
        TabControl->setCurrentIndex(selected);
    }
    showTabTips();
    TfrRank* shown = selectedFrame();
    for (TfrRank* frame : ProjectFrames()) {
        if (frame != shown)
            frame->hide();
    }
    if (shown)
        shown->show();
}

QString TfmMain::chooseFileToOpen()
{
    return OpenDialog->Execute(this);
}

QString TfmMain::chooseFileToSave()
{
    return SaveDialog->Execute(this);
}

bool TfmMain::askSaveChanges(const QString& question)
{
    return Prompts::instance().ask(this, question, Prompts::Icon::Warning,
               int(Prompts::Button::Yes) | int(Prompts::Button::No), Prompts::Button::Yes)
        == Prompts::Button::Yes;
}

bool TfmMain::confirmExit(const QString& question)
{
    return Prompts::instance().ask(this, question, Prompts::Icon::Question,
               int(Prompts::Button::Ok) | int(Prompts::Button::Cancel), Prompts::Button::Ok)
        == Prompts::Button::Ok;
}

void TfmMain::showError(const QString& text)
{
    Prompts::instance().error(this, text);
}
