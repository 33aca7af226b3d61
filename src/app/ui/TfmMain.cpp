#include "app/ui/TfmMain.h"

#include "app/ui/FrameCheck.h"
#include "app/ui/ProjectDialog.h"
#include "app/ui/ProjectTabBar.h"
#include "app/ui/WorkspaceRules.h"
#include "platform/ui/DesktopServices.h"
#include "platform/ui/Prompts.h"
#include "rank/frame/FrameLook.h"
#include "rank/frame/TfrRank.h"
#include "net/Endpoints.h"
#include "store/ProgramStores.h"
#include "store/PropertiesStore.h"
#include "store/StoreError.h"
#include "update/ui/TfmUpDate.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLayout>
#include <QMenuBar>
#include <QScreen>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTimer>
#include <QToolButton>

namespace {

const QString kTitle = QStringLiteral("Kestrova Sertrix");
const QString kExitQuestion = QStringLiteral("Вы уверены что хотите закрыть программу?");
const QString kNoHelpFile = QStringLiteral("Файл помощи отсутствует.");
constexpr QPoint kFramePosition { 4, 24 };

QAction* addItem(QMenu* menu, const char* name, const QString& caption)
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    return action;
}

QAction* addSeparator(QMenu* menu, const char* name)
{
    QAction* action = menu->addSeparator();
    action->setObjectName(QLatin1String(name));
    return action;
}

QString errorText(const std::exception& error)
{
    if (const auto* store = dynamic_cast<const EPropertiesStore*>(&error))
        return store->message();
    return QString::fromUtf8(error.what());
}

} // namespace

TfmMain::TfmMain(QWidget* parent)
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

    layout()->setSizeConstraint(QLayout::SetFixedSize);
    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    if (cxPropertiesStore1->Active())
        command([this] { cxPropertiesStore1->RestoreProperties(); });
    FormCreate();
}

TfmMain::~TfmMain()
{
    FormDestroy();
    if (cxPropertiesStore1->Active())
        command([this] { cxPropertiesStore1->StoreProperties(true); });
}

void TfmMain::buildTabControl()
{
    TabControl = new ProjectTabBar(this);
    TabControl->setObjectName(QStringLiteral("TabControl"));
    TabControl->setFixedSize(ClientWidth, ClientHeight);
    TabControl->setLeaveGuard([this] {
        bool allow = true;
        TabControlChanging(allow);
        return allow;
    });
    connect(TabControl, &QTabBar::currentChanged, this, &TfmMain::TabControlChange);
    setCentralWidget(TabControl);

    ButtonClose = new QToolButton(TabControl);
    ButtonClose->setObjectName(QStringLiteral("ButtonClose"));
    ButtonClose->setAutoRaise(true);
    ButtonClose->setText(QStringLiteral("×"));
    ButtonClose->setFocusPolicy(Qt::NoFocus);
    ButtonClose->setGeometry(961, 1, 20, 19);
    connect(ButtonClose, &QToolButton::clicked, this, &TfmMain::ButtonCloseClick);

    auto* next = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab), this);
    connect(next, &QShortcut::activated, this, [this] { TabControl->selectNextByUser(+1); });
    auto* previous = new QShortcut(this);
    previous->setKeys({ QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab),
        QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab) });
    connect(previous, &QShortcut::activated, this, [this] { TabControl->selectNextByUser(-1); });
}

void TfmMain::buildMenu()
{
    QMenuBar* MainMenu = menuBar();
    MainMenu->setObjectName(QStringLiteral("MainMenu"));

    N1 = MainMenu->addMenu(QStringLiteral("Основное"));
    N1->setObjectName(QStringLiteral("N1"));
    N3 = addItem(N1, "N3", QStringLiteral("Создать новый проект"));
    N4 = addItem(N1, "N4", QStringLiteral("Открыть проект"));
    N5 = addItem(N1, "N5", QStringLiteral("Сохранить проект"));
    N6 = addItem(N1, "N6", QStringLiteral("Сохранить проект как..."));
    N15 = addItem(N1, "N15", QStringLiteral("Закрыть проект"));
    N7 = addSeparator(N1, "N7");
    N9 = addItem(N1, "N9", QStringLiteral("Экспорт"));
    N8 = addSeparator(N1, "N8");
    N10 = addItem(N1, "N10", QStringLiteral("Выход"));

    N2 = MainMenu->addMenu(QStringLiteral("О программе"));
    N2->setObjectName(QStringLiteral("N2"));
    N11 = addItem(N2, "N11", QStringLiteral("Помощь"));
    N11->setShortcut(QKeySequence(Qt::Key_F1));
    N11->setShortcutContext(Qt::WindowShortcut);
    addAction(N11);
    N12 = addItem(N2, "N12", QStringLiteral("Сайт программы"));
    N13 = addItem(N2, "N13", QStringLiteral("Версия"));
    N14 = addItem(N2, "N14", QStringLiteral("Проверить обновления"));

    Onlinesupport1 = MainMenu->addAction(QStringLiteral("Онлайн поддержка"));
    Onlinesupport1->setObjectName(QStringLiteral("Onlinesupport1"));

    connect(N3, &QAction::triggered, this, &TfmMain::N3Click);
    connect(N4, &QAction::triggered, this, &TfmMain::N4Click);
    connect(N5, &QAction::triggered, this, &TfmMain::N5Click);
    connect(N6, &QAction::triggered, this, &TfmMain::N6Click);
    connect(N15, &QAction::triggered, this, &TfmMain::N15Click);
    connect(N9, &QAction::triggered, this, &TfmMain::N9Click);
    connect(N10, &QAction::triggered, this, &TfmMain::N10Click);
    connect(N11, &QAction::triggered, this, &TfmMain::N11Click);
    connect(N12, &QAction::triggered, this, &TfmMain::N12Click);
    connect(N13, &QAction::triggered, this, &TfmMain::N13Click);
    connect(N14, &QAction::triggered, this, &TfmMain::N14Click);
    connect(Onlinesupport1, &QAction::triggered, this, &TfmMain::Onlinesupport1Click);
}

void TfmMain::buildStore()
{
    cxPropertiesStore1 = new TcxPropertiesStore(this);
    cxPropertiesStore1->setObjectName(QStringLiteral("cxPropertiesStore1"));
    ProgramStores::declareFileStoreItems(*cxPropertiesStore1, this);
}

void TfmMain::command(const std::function<void()>& body)
{
    try {
        body();
    } catch (const std::exception& error) {
        Prompts::instance().error(this, errorText(error));
    }
}

// Window events

void TfmMain::FormCreate()
{
    command([this] { cxPropertiesStore1->RestoreProperties(); });
    const QString executableFolder = QCoreApplication::applicationDirPath();
    if (OpenDialog->InitialDir().isEmpty())
        OpenDialog->SetInitialDir(executableFolder);
    if (SaveDialog->InitialDir().isEmpty())
        SaveDialog->SetInitialDir(executableFolder);
    ProjectFrames.clear();
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
    if (!m_exitConfirmed) {
        if (!FormCloseQuery())
            return;
        m_exitConfirmed = true;
    }
    if (anyCheckActive()) {
        // The window closes once the last check has run out (checkEnded).
        m_exitPending = true;
        for (TfrRank* frame : ProjectFrames) {
            if (FrameCheck::active(*frame))
                FrameCheck::requestStop(*frame);
        }
        return;
    }
    m_exitPending = false;
    try {
        FormClose();
    } catch (const std::exception& error) {
        // A project that could not be saved keeps the program open, with the project as it was.
        m_exitConfirmed = false;
        Prompts::instance().error(this, errorText(error));
        return;
    }
    event->accept();
}

bool TfmMain::FormCloseQuery()
{
    return Prompts::instance().ask(this, kExitQuestion, Prompts::Icon::Question,
               int(Prompts::Button::Ok) | int(Prompts::Button::Cancel), Prompts::Button::Ok)
        == Prompts::Button::Ok;
}

void TfmMain::FormClose()
{
    command([this] { cxPropertiesStore1->StoreProperties(true); });
    if (m_withoutQuestions)
        return;
    QList<bool> modified;
    for (const TfrRank* frame : ProjectFrames)
        modified << frame->modified();
    QList<QPointer<TfrRank>> frames(ProjectFrames.begin(), ProjectFrames.end());
    for (int index : WorkspaceRules::projectsToAskAtExit(modified)) {
        if (frames[index])
            askToSave(frames[index]);
    }
}

void TfmMain::FormDestroy()
{
    ProjectFrames.clear();
}

// Tabs

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
    const int index = selectedIndex();
    return index >= 0 && index < ProjectFrames.size() ? ProjectFrames[index] : nullptr;
}

int TfmMain::indexOfFrame(const TfrRank* frame) const
{
    return int(ProjectFrames.indexOf(const_cast<TfrRank*>(frame)));
}

void TfmMain::TabControlChanging(bool& AllowChange)
{
    const TfrRank* frame = selectedFrame();
    AllowChange = !frame || frame->startEnabled();
}

void TfmMain::TabControlChange()
{
    HideAllFrames();
    ShowCurrentFrame();
}

void TfmMain::HideAllFrames()
{
    for (TfrRank* frame : ProjectFrames)
        frame->hide();
}

void TfmMain::ShowCurrentFrame()
{
    if (TabControl->currentIndex() < 0 && TabControl->count() > 0) {
        const QSignalBlocker blocker(TabControl);
        TabControl->setCurrentIndex(TabControl->count() - 1);
    }
    if (TfrRank* frame = selectedFrame())
        frame->show();
}

TfrRank* TfmMain::createFrame()
{
    auto* frame = new TfrRank(TabControl);
    frame->move(kFramePosition);
    QPointer<TfrRank> guarded(frame);
    FrameCheck::whenEnded(*frame, this, [this, guarded] {
        if (guarded)
            checkEnded(guarded);
    });
    return frame;
}

void TfmMain::addProjectTab(TfrRank* frame, const QString& caption)
{
    const QSignalBlocker blocker(TabControl);
    TabControl->addTab(caption);
    ProjectFrames.append(frame);
    TabControl->setCurrentIndex(TabControl->count() - 1);
}

// Commands

void TfmMain::N3Click()
{
    if (ProjectFrames.size() >= WorkspaceRules::MaxProjects)
        return;
    command([this] {
        HideAllFrames();
        TfrRank* frame = createFrame();
        frame->show();
        frame->ResetProject();
        addProjectTab(frame, WorkspaceRules::newProjectCaption());
    });
}

void TfmMain::N4Click()
{
    if (ProjectFrames.size() >= WorkspaceRules::MaxProjects)
        return;
    command([this] {
        const QString chosen = OpenDialog->Execute(this);
        if (chosen.isEmpty())
            return;
        TfrRank* frame = createFrame();
        HideAllFrames();
        frame->show();
        try {
            frame->SetFileName(chosen);
            frame->LoadProject(frame->fileName());
        } catch (...) {
            delete frame;
            ShowCurrentFrame();
            throw;
        }
        addProjectTab(frame, WorkspaceRules::tabCaption(chosen));
    });
}

void TfmMain::N5Click()
{
    if (TfrRank* frame = selectedFrame())
        command([this, frame] { saveProject(frame); });
}

void TfmMain::N6Click()
{
    if (TfrRank* frame = selectedFrame())
        command([this, frame] { saveProjectAs(frame); });
}

void TfmMain::saveProject(TfrRank* frame)
{
    switch (WorkspaceRules::saveStep(frame->modified(), frame->fileName())) {
    case WorkspaceRules::SaveStep::Nothing:
        break;
    case WorkspaceRules::SaveStep::SaveAs:
        saveProjectAs(frame);
        break;
    case WorkspaceRules::SaveStep::Write:
        frame->SaveProject(frame->fileName());
        break;
    }
}

void TfmMain::saveProjectAs(TfrRank* frame)
{
    QPointer<TfrRank> guarded(frame);
    const QString chosen = SaveDialog->Execute(this);
    if (chosen.isEmpty() || !guarded)
        return;
    const QString previous = frame->fileName();
    frame->SetFileName(chosen);
    try {
        frame->SaveProject(frame->fileName());
    } catch (...) {
        // The project keeps the file it had, so that Save does not aim at a file never written.
        frame->SetFileName(previous);
        throw;
    }
    const int index = indexOfFrame(frame);
    if (index >= 0)
        TabControl->setTabText(index, WorkspaceRules::tabCaption(chosen));
}

void TfmMain::askToSave(TfrRank* frame)
{
    if (!frame->modified())
        return;
    QPointer<TfrRank> guarded(frame);
    const QString caption = TabControl->tabText(indexOfFrame(frame));
    const auto answer = Prompts::instance().ask(this, WorkspaceRules::unsavedQuestion(caption),
        Prompts::Icon::Warning, int(Prompts::Button::Yes) | int(Prompts::Button::No), Prompts::Button::Yes);
    if (answer == Prompts::Button::Yes && guarded)
        saveProject(frame);
}

void TfmMain::N15Click()
{
    if (TfrRank* frame = selectedFrame())
        command([this, frame] { closeProject(frame); });
}

void TfmMain::ButtonCloseClick()
{
    N15Click();
}

void TfmMain::closeProject(TfrRank* frame)
{
    if (FrameCheck::active(*frame)) {
        // The frame may go only after its check has returned; checkEnded finishes the command.
        m_pendingClose.insert(frame);
        FrameCheck::requestStop(*frame);
        return;
    }
    m_pendingClose.remove(frame);
    QPointer<TfrRank> guarded(frame);
    askToSave(frame);
    if (guarded && !FrameCheck::active(*frame))
        removeProject(frame);
}

void TfmMain::removeProject(TfrRank* frame)
{
    const int index = indexOfFrame(frame);
    if (index < 0)
        return;
    ProjectFrames.removeAt(index);
    {
        const QSignalBlocker blocker(TabControl);
        TabControl->removeTab(index);
    }
    delete frame;
    if (ProjectFrames.isEmpty())
        N3Click();
    {
        const QSignalBlocker blocker(TabControl);
        TabControl->setCurrentIndex(TabControl->count() - 1);
    }
    HideAllFrames();
    ShowCurrentFrame();
}

void TfmMain::checkEnded(TfrRank* frame)
{
    if (m_pendingClose.contains(frame) && !FrameCheck::active(*frame))
        command([this, frame] { closeProject(frame); });
    if (m_exitPending)
        close();
}

bool TfmMain::anyCheckActive() const
{
    for (const TfrRank* frame : ProjectFrames) {
        if (FrameCheck::active(*frame))
            return true;
    }
    return false;
}

void TfmMain::N9Click() { }

void TfmMain::N10Click()
{
    close();
}

void TfmMain::N11Click()
{
    const QString helpFile = WorkspaceRules::helpFilePath(QCoreApplication::applicationFilePath());
    if (QFileInfo::exists(helpFile))
        DesktopServices::instance().openFile(helpFile);
    else
        Prompts::instance().message(this, kNoHelpFile);
}

void TfmMain::N12Click()
{
    DesktopServices::instance().openUrl(WorkspaceRules::homePageUrl(Endpoints::current().MakerSite));
}

void TfmMain::N13Click() { }

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
    m_exitConfirmed = true;
    m_withoutQuestions = true;
    close();
}

void TfmMain::Onlinesupport1Click()
{
    DesktopServices::instance().openUrl(WorkspaceRules::onlineSupportUrl(Endpoints::current().MakerSite));
}
