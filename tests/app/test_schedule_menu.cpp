#include "AppFixture.h"

#include "app/frame/TfrRank.h"
#include "app/ui/ProjectTabBar.h"
#include "net/Endpoints.h"
#include "schedule/UserUnitFolder.h"
#include "schedule/ui/ScheduleDialog.h"
#include "support/SandboxEngines.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimeEdit>

namespace {

// The window's schedules, on a machine where no user service manager and no session bus answer.
class ScheduleMenu : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        m_savedRuntime = qgetenv("XDG_RUNTIME_DIR");
        m_savedBus = qgetenv("DBUS_SESSION_BUS_ADDRESS");
        qputenv("XDG_RUNTIME_DIR", m_runtime.path().toLocal8Bit());
        qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    }
    void TearDown() override
    {
        qputenv("XDG_RUNTIME_DIR", m_savedRuntime);
        if (!m_savedBus.isEmpty())
            qputenv("DBUS_SESSION_BUS_ADDRESS", m_savedBus);
        MainWindowTest::TearDown();
    }

    QString unitFolder() const { return configRoot() + QStringLiteral("/systemd/user"); }

    ScheduleDialog* openDialog(TfmMain& window)
    {
        window.N17->trigger();
        return window.findChild<ScheduleDialog*>();
    }

private:
    QTemporaryDir m_runtime;
    QByteArray m_savedRuntime;
    QByteArray m_savedBus;
};

TEST_F(ScheduleMenu, ANeverSavedProjectIsAskedToBeSavedFirst)
{
    auto window = openWindow();
    window->N17->trigger();
    EXPECT_EQ(prompts->texts(),
        QStringList { QStringLiteral("Сначала сохраните проект: по расписанию проверяется его файл.") });
    EXPECT_FALSE(window->findChild<ScheduleDialog*>());
}

TEST_F(ScheduleMenu, WithoutAUserManagerTheDialogShowsTheCrontabLineAndWritesNothing)
{
    auto window = openWindow();
    const QString project = writeProject(
        QStringLiteral("окна пвх.zlt"), QStringLiteral("http://okna.ru"), QStringLiteral("окна"));
    prompts->fileName(project);
    window->N4Click();
    ScheduleDialog* dialog = openDialog(*window);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Расписание проверок"));
    EXPECT_TRUE(dialog->RBNone->isChecked());
    EXPECT_EQ(dialog->LNext->text(), QStringLiteral("Расписания нет"));
    EXPECT_EQ(dialog->LLast->text(), QStringLiteral("Проверок этого проекта в истории нет"));

    dialog->RBDaily->click();
    dialog->TETime->setTime(QTime(7, 30));
    EXPECT_TRUE(dialog->LNext->text().startsWith(QStringLiteral("Следующая проверка: ")))
        << dialog->LNext->text().toStdString();
    dialog->Buttons->button(QDialogButtonBox::Ok)->click();

    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(dialog->LProblem->isVisibleTo(dialog));
    EXPECT_EQ(dialog->LProblem->text(),
        QStringLiteral(
            "Служба пользователя systemd здесь не запущена (так бывает в контейнере и на некоторых рабочих "
            "столах), поэтому расписание не создано и ничего не записано. То же самое делает строка для "
            "crontab -e:"));
    EXPECT_TRUE(dialog->ECrontab->isVisibleTo(dialog));
    EXPECT_EQ(dialog->LNext->text(), QStringLiteral("Расписание не создано"));
    EXPECT_GE(dialog->LProblem->height(), dialog->LProblem->heightForWidth(dialog->LProblem->width()));
    EXPECT_EQ(dialog->ECrontab->toPlainText(),
        QStringLiteral("30 7 * * * '") + QCoreApplication::applicationDirPath()
            + QStringLiteral("/kestrova-check' --scheduled '") + QFileInfo(project).canonicalFilePath()
            + QStringLiteral("' >/dev/null"));
    EXPECT_FALSE(QFileInfo::exists(unitFolder()));
    dialog->reject();
}

TEST_F(ScheduleMenu, ACheckMadeBeforeTheFirstSaveIsTheProjectsLastCheck)
{
    SandboxEngines sandbox;
    ASSERT_TRUE(sandbox.started());
    Endpoints::setCurrent(Endpoints::fromFile(sandbox.endpointsFile()));
    auto window = openWindow();
    TfrRank* frame = window->selectedFrame();
    frame->edWEB->setText(QStringLiteral("http://pered-sohraneniem.ru"));
    frame->edKeyWord1->setText(QStringLiteral("слон"));
    frame->CheckBoxYandexRu->setChecked(true);
    frame->Button->click();
    Endpoints::setCurrent(Endpoints::defaults());

    prompts->fileName(filePath(QStringLiteral("new.zlt")));
    window->N6Click();
    ASSERT_EQ(frame->fileName(), filePath(QStringLiteral("new.zlt")));
    ScheduleDialog* dialog = openDialog(*window);
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(dialog->LLast->text().startsWith(QStringLiteral("Последняя проверка: ")))
        << dialog->LLast->text().toStdString();
    EXPECT_TRUE(dialog->LLast->text().endsWith(QStringLiteral(", завершена")))
        << dialog->LLast->text().toStdString();
    dialog->reject();
}

TEST_F(ScheduleMenu, TheTabAndTheDialogShowAScheduleSetWithoutTheWindow)
{
    auto window = openWindow();
    const QString project
        = writeProject(QStringLiteral("site.zlt"), QStringLiteral("http://site.ru"), QStringLiteral("окна"));
    UserUnitFolder(unitFolder())
        .write({ QFileInfo(project).canonicalFilePath(),
            CheckSchedule::parse(QStringLiteral("weekly@fri@18:15")),
            QStringLiteral("/usr/bin/kestrova-check") });
    prompts->fileName(project);
    window->N4Click();
    EXPECT_EQ(window->TabControl->tabToolTip(window->TabControl->currentIndex()),
        QStringLiteral("Проверка по расписанию: по пятницам в 18:15"));

    ScheduleDialog* dialog = openDialog(*window);
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(dialog->RBWeekly->isChecked());
    EXPECT_EQ(dialog->TETime->time(), QTime(18, 15));
    EXPECT_EQ(dialog->chosen().code(), QStringLiteral("weekly@fri@18:15"));

    // Switching off needs no user manager: the units go, and so does the tooltip.
    dialog->RBNone->click();
    dialog->Buttons->button(QDialogButtonBox::Ok)->click();
    EXPECT_FALSE(window->findChild<ScheduleDialog*>() && dialog->isVisible());
    EXPECT_TRUE(QDir(unitFolder()).entryList(QDir::Files).isEmpty());
    EXPECT_EQ(window->TabControl->tabToolTip(window->TabControl->currentIndex()), QString());
}

} // namespace
