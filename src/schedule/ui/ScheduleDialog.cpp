#include "schedule/ui/ScheduleDialog.h"

#include "schedule/ScheduleError.h"
#include "schedule/ScheduleStatus.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimeEdit>
#include <QVBoxLayout>

ScheduleDialog::ScheduleDialog(
    const ProjectScheduler& scheduler, const QString& projectPath, const QString& lastCheck, QWidget* parent)
    : QDialog(parent)
    , m_scheduler(scheduler)
    , m_projectPath(projectPath)
{
    setObjectName(QStringLiteral("ScheduleDialog"));
    setWindowTitle(QStringLiteral("Расписание проверок"));
    setMinimumWidth(520);
    auto* layout = new QVBoxLayout(this);
    auto* project = new QLabel(QStringLiteral("Проект: ") + QFileInfo(projectPath).fileName(), this);
    project->setToolTip(projectPath);
    layout->addWidget(project);

    auto* grid = new QGridLayout;
    RBNone = new QRadioButton(QStringLiteral("Не проверять по расписанию"), this);
    RBDaily = new QRadioButton(QStringLiteral("Каждый день"), this);
    RBWeekly = new QRadioButton(QStringLiteral("Каждую неделю, день:"), this);
    CBDay = new QComboBox(this);
    CBDay->addItems(CheckSchedule::dayNames());
    TETime = new QTimeEdit(this);
    TETime->setDisplayFormat(QStringLiteral("HH:mm"));
    grid->addWidget(RBNone, 0, 0, 1, 2);
    grid->addWidget(RBDaily, 1, 0, 1, 2);
    grid->addWidget(RBWeekly, 2, 0);
    grid->addWidget(CBDay, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("Время:"), this), 3, 0);
    grid->addWidget(TETime, 3, 1);
    layout->addLayout(grid);

    LNext = new QLabel(this);
    LLast = new QLabel(lastCheck, this);
    LProblem = new QLabel(this);
    LProblem->setWordWrap(true);
    LProblem->hide();
    // The crontab line is long: it is shown whole, wrapped, ready to be copied.
    ECrontab = new QPlainTextEdit(this);
    ECrontab->setReadOnly(true);
    ECrontab->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    ECrontab->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    ECrontab->setFixedHeight(ECrontab->fontMetrics().lineSpacing() * 4 + 2 * ECrontab->frameWidth() + 8);
    ECrontab->hide();
    Buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    Buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));
    for (QWidget* widget : std::initializer_list<QWidget*> { LNext, LLast, LProblem, ECrontab, Buttons })
        layout->addWidget(widget);
    // The dialog grows with the message rather than squash its controls.
    layout->setSizeConstraint(QLayout::SetMinimumSize);
    RBNone->setObjectName(QStringLiteral("RBNone"));
    RBDaily->setObjectName(QStringLiteral("RBDaily"));
    RBWeekly->setObjectName(QStringLiteral("RBWeekly"));
    CBDay->setObjectName(QStringLiteral("CBDay"));
    TETime->setObjectName(QStringLiteral("TETime"));
    LNext->setObjectName(QStringLiteral("LNext"));
    LLast->setObjectName(QStringLiteral("LLast"));
    LProblem->setObjectName(QStringLiteral("LProblem"));
    ECrontab->setObjectName(QStringLiteral("ECrontab"));

    const auto current = scheduler.folder().find(projectPath);
    CheckSchedule shown = current ? current->schedule : CheckSchedule {};
    if (!current)
        shown.time = QTime(7, 30);
    showSchedule(shown);

    for (QRadioButton* button : { RBNone, RBDaily, RBWeekly })
        connect(button, &QRadioButton::toggled, this, &ScheduleDialog::controlsChanged);
    connect(CBDay, &QComboBox::currentIndexChanged, this, &ScheduleDialog::controlsChanged);
    connect(TETime, &QTimeEdit::timeChanged, this, &ScheduleDialog::controlsChanged);
    connect(Buttons, &QDialogButtonBox::accepted, this, &ScheduleDialog::apply);
    connect(Buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    controlsChanged();
}

CheckSchedule ScheduleDialog::chosen() const
{
    CheckSchedule schedule;
    schedule.kind = RBDaily->isChecked() ? CheckSchedule::Kind::Daily
        : RBWeekly->isChecked()          ? CheckSchedule::Kind::Weekly
                                         : CheckSchedule::Kind::Off;
    schedule.time = QTime(TETime->time().hour(), TETime->time().minute());
    schedule.dayOfWeek = CBDay->currentIndex() + 1;
    return schedule;
}

void ScheduleDialog::showSchedule(const CheckSchedule& schedule)
{
    RBNone->setChecked(schedule.kind == CheckSchedule::Kind::Off);
    RBDaily->setChecked(schedule.kind == CheckSchedule::Kind::Daily);
    RBWeekly->setChecked(schedule.kind == CheckSchedule::Kind::Weekly);
    CBDay->setCurrentIndex(schedule.dayOfWeek - 1);
    TETime->setTime(schedule.time);
}

void ScheduleDialog::controlsChanged()
{
    const CheckSchedule schedule = chosen();
    CBDay->setEnabled(schedule.kind == CheckSchedule::Kind::Weekly);
    TETime->setEnabled(schedule.kind != CheckSchedule::Kind::Off);
    LNext->setText(ScheduleStatus::nextRun(schedule, QDateTime::currentDateTime()));
}

void ScheduleDialog::tell(const QString& problem, const QString& crontabLine)
{
    LProblem->setText(problem);
    LProblem->setVisible(!problem.isEmpty());
    ECrontab->setPlainText(crontabLine);
    ECrontab->setVisible(!crontabLine.isEmpty());
    // Nothing was scheduled: no next check to show until the controls change again.
    if (!crontabLine.isEmpty())
        LNext->setText(QStringLiteral("Расписание не создано"));
    adjustSize();
}

void ScheduleDialog::apply()
{
    try {
        const ScheduleChange change = m_scheduler.set(m_projectPath, chosen());
        if (!change.applied && change.crontabLine.size()) {
            tell(ProjectScheduler::kNoManagerMessage, change.crontabLine);
            return;
        }
    } catch (const ScheduleError& e) {
        tell(QStringLiteral("Расписание не изменено: ") + e.message());
        return;
    }
    accept();
}
