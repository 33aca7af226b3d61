#include "app/ui/TfmMain.h"

#include "app/frame/TfrRank.h"
#include "app/ui/FrameProject.h"
#include "app/ui/ProjectDialog.h"
#include "app/ui/ProjectTabBar.h"
#include "app/workspace/HelpGuide.h"
#include "app/workspace/WorkspaceRules.h"
#include "contact/ui/TfmAbout.h"
#include "history/HistoryStore.h"
#include "net/Endpoints.h"
#include "platform/ProgramFile.h"
#include "platform/ui/DesktopServices.h"
#include "platform/ui/FrameLook.h"
#include "platform/ui/Prompts.h"
#include "report/ui/ReportCommand.h"
#include "store/ProgramStores.h"
#include "store/PropertiesStore.h"
#include "update/ui/TfmUpDate.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QTimer>

namespace {

const QString kTitle = QStringLiteral("Kestrova Sertrix");
const QString kNoHelpFile = QStringLiteral("Файл помощи отсутствует.");
const QString kHelpNotOpened
    = QStringLiteral("Не удалось открыть руководство в браузере. Откройте этот файл вручную:\n%1");

} // namespace

TfmMain::TfmMain(QWidget* parent, const QString& projectFile)
    : QMainWindow(parent,
        Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
            | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("fmMain"));
    setWindowTitle(kTitle);
    setFont(FrameLook::frameFont());

    OpenDialog = new ProjectDialog(ProjectDialog::Kind::Open, QStringLiteral("OpenDialog"),
        QStringLiteral("Загрузить проект"), QStringLiteral("*.zlt"), this);
    SaveDialog = new ProjectDialog(ProjectDialog::Kind::Save, QStringLiteral("SaveDialog"),
        QStringLiteral("Сохранить проект как..."), QStringLiteral(".zlt"), this);
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &TfmMain::Timer1Timer);

    buildTabControl();
    buildMenu();
    buildStore();
    buildHistory();

    layout()->setSizeConstraint(QLayout::SetFixedSize);
    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    if (cxPropertiesStore1->Active())
        command([this] { cxPropertiesStore1->RestoreProperties(); });
    FormCreate(projectFile);
}

TfmMain::~TfmMain()
{
    FormDestroy();
    if (cxPropertiesStore1->Active())
        command([this] { cxPropertiesStore1->StoreProperties(true); });
}

void TfmMain::buildStore()
{
    cxPropertiesStore1 = new TcxPropertiesStore(this);
    cxPropertiesStore1->setObjectName(QStringLiteral("cxPropertiesStore1"));
    ProgramStores::declareFileStoreItems(*cxPropertiesStore1, this);
}

// Window events

void TfmMain::FormCreate(const QString& projectFile)
{
    command([this] { cxPropertiesStore1->RestoreProperties(); });
    const QString executableFolder = QCoreApplication::applicationDirPath();
    if (OpenDialog->InitialDir().isEmpty())
        OpenDialog->SetInitialDir(executableFolder);
    if (SaveDialog->InitialDir().isEmpty())
        SaveDialog->SetInitialDir(executableFolder);
    // A file named at start that is not there is said so: its name alone makes no project.
    const QFileInfo given(projectFile);
    if (!projectFile.isEmpty() && !given.exists() && !given.isSymLink())
        Prompts::instance().error(this,
            QStringLiteral("Файл проекта не найден: %1")
                .arg(QDir::toNativeSeparators(given.absoluteFilePath())));
    else if (!projectFile.isEmpty())
        m_workspace.openProjectFile(projectFile);
    // A file that could not be opened leaves a new project, as at every other start.
    if (m_workspace.projects().isEmpty())
        N3Click();
}

void TfmMain::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfmMain::FormShow()
{
    if (m_shown)
        return;
    m_shown = true;
    Timer1->start();
    // Problems met while the first project was made show once the window is up.
    QTimer::singleShot(0, this, [this] { m_workspace.windowShown(); });
}

void TfmMain::Timer1Timer()
{
    Timer1->stop();
    if (fmUpDate)
        fmUpDate->runAutomaticCheck([this] { N14Click(); });
}

void TfmMain::closeEvent(QCloseEvent* event)
{
    event->ignore();
    if (m_workspace.exitRequested() != Workspace::Exit::Proceed)
        return;
    command([this] { cxPropertiesStore1->StoreProperties(true); });
    if (m_workspace.saveAtExit())
        event->accept();
}

void TfmMain::FormDestroy()
{
    m_frames.clear();
}

// Projects

QList<TfrRank*> TfmMain::ProjectFrames() const
{
    QList<TfrRank*> frames;
    for (WorkspaceProject* project : m_workspace.projects())
        frames << &static_cast<FrameProject*>(project)->frame();
    return frames;
}

FrameProject* TfmMain::projectOf(const TfrRank* frame) const
{
    const auto found = m_frames.find(frame);
    return found == m_frames.end() ? nullptr : found->second.get();
}

bool TfmMain::closePending(const TfrRank* frame) const
{
    const FrameProject* project = projectOf(frame);
    return project && m_workspace.closePending(project);
}

int TfmMain::selectedIndex() const
{
    return TabControl->currentIndex();
}

QString TfmMain::selectedCaption() const
{
    return TabControl->tabText(selectedIndex());
}

TfrRank* TfmMain::selectedFrame() const
{
    const auto* project = static_cast<const FrameProject*>(m_workspace.selected());
    return project ? &project->frame() : nullptr;
}

void TfmMain::TabControlChanging(bool& AllowChange)
{
    AllowChange = m_workspace.canLeaveSelected();
}

void TfmMain::TabControlChange()
{
    m_workspace.select(TabControl->currentIndex());
}

// Commands

void TfmMain::N3Click()
{
    m_workspace.newProject();
}

void TfmMain::N4Click()
{
    m_workspace.openProject();
}

void TfmMain::N5Click()
{
    m_workspace.saveSelected();
}

void TfmMain::N6Click()
{
    m_workspace.saveSelectedAs();
}

void TfmMain::N15Click()
{
    m_workspace.closeSelected();
}

void TfmMain::ButtonCloseClick()
{
    N15Click();
}

void TfmMain::N9Click()
{
    command([this] {
        if (const TfrRank* frame = selectedFrame())
            ReportCommand::exportProject(this, frame->project(), frame->results(), selectedCaption());
    });
}

void TfmMain::N10Click()
{
    close();
}

void TfmMain::N11Click()
{
    const QString guide = HelpGuide(QCoreApplication::applicationFilePath()).find();
    if (guide.isEmpty())
        Prompts::instance().message(this, kNoHelpFile);
    else if (!DesktopServices::instance().openFile(guide))
        Prompts::instance().message(this, kHelpNotOpened.arg(QDir::toNativeSeparators(guide)));
}

void TfmMain::N12Click()
{
    DesktopServices::instance().openUrl(WorkspaceRules::homePageUrl(Endpoints::current().MakerSite));
}

void TfmMain::N13Click()
{
    TfmAbout::of(this).showVersionOf(ProgramFile::readablePath());
}

void TfmMain::N14Click()
{
    if (fmUpDate)
        command([this] { fmUpDate->CheckForUpdate(); });
}

void TfmMain::setUpdateForm(TfmUpDate* form)
{
    fmUpDate = form;
    fmUpDate->setConnectionSource([this] {
        const TfrRank* frame = selectedFrame();
        return frame ? frame->connectionSettings() : ConnectionSettings {};
    });
    fmUpDate->setProgramEnd([this] { endWithoutQuestions(); });
}

void TfmMain::endWithoutQuestions()
{
    m_workspace.endWithoutQuestions();
    close();
}

void TfmMain::Onlinesupport1Click()
{
    DesktopServices::instance().openUrl(WorkspaceRules::onlineSupportUrl(Endpoints::current().MakerSite));
}
