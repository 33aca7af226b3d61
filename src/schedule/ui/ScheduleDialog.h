#pragma once

#include "schedule/ProjectScheduler.h"

#include <QDialog>

class QButtonGroup;
class QComboBox;
class QDialogButtonBox;
class QLabel;
class QPlainTextEdit;
class QRadioButton;
class QTimeEdit;

// "Расписание проверок": no schedule, every day or every week at a time, for one saved project.
// The scheduler does the work; the dialog shows its answer, and stays open when the schedule could
// not be set, with the reason and, without a user service manager, the crontab line instead.
class ScheduleDialog : public QDialog {
    Q_OBJECT
public:
    // lastCheck: the line on the project's latest check in the history.
    ScheduleDialog(const ProjectScheduler& scheduler, const QString& projectPath, const QString& lastCheck,
        QWidget* parent = nullptr);

    QRadioButton* RBNone = nullptr;
    QRadioButton* RBDaily = nullptr;
    QRadioButton* RBWeekly = nullptr;
    QComboBox* CBDay = nullptr;
    QTimeEdit* TETime = nullptr;
    QLabel* LNext = nullptr;
    QLabel* LLast = nullptr;
    QLabel* LProblem = nullptr;
    QPlainTextEdit* ECrontab = nullptr;
    QDialogButtonBox* Buttons = nullptr;

    // The schedule the controls show.
    CheckSchedule chosen() const;

public slots:
    // Sets the chosen schedule; closes the dialog when it is in place.
    void apply();

private:
    void showSchedule(const CheckSchedule& schedule);
    void controlsChanged();
    void tell(const QString& problem, const QString& crontabLine = {});

    ProjectScheduler m_scheduler;
    QString m_projectPath;
};
