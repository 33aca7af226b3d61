// The main window's menu and tab strip.
#include "app/ui/TfmMain.h"

#include "app/ui/ProjectTabBar.h"

#include <QMenuBar>
#include <QShortcut>
#include <QToolButton>

namespace {

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

} // namespace

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
    N16 = addItem(N1, "N16", QStringLiteral("История позиций..."));
    N17 = addItem(N1, "N17", QStringLiteral("Расписание проверок..."));
    N18 = addItem(N1, "N18", QStringLiteral("Регион проверки..."));
    N19 = addItem(N1, "N19", QStringLiteral("Где хранить историю..."));
    N20 = addItem(N1, "N20", QStringLiteral("Источники результатов..."));
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
    connect(N16, &QAction::triggered, this, &TfmMain::N16Click);
    connect(N17, &QAction::triggered, this, &TfmMain::N17Click);
    connect(N18, &QAction::triggered, this, &TfmMain::N18Click);
    connect(N19, &QAction::triggered, this, &TfmMain::N19Click);
    connect(N20, &QAction::triggered, this, &TfmMain::N20Click);
    connect(N10, &QAction::triggered, this, &TfmMain::N10Click);
    connect(N11, &QAction::triggered, this, &TfmMain::N11Click);
    connect(N12, &QAction::triggered, this, &TfmMain::N12Click);
    connect(N13, &QAction::triggered, this, &TfmMain::N13Click);
    connect(N14, &QAction::triggered, this, &TfmMain::N14Click);
    connect(Onlinesupport1, &QAction::triggered, this, &TfmMain::Onlinesupport1Click);
}
