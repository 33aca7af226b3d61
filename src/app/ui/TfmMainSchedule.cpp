// The main window and the schedules of saved projects; the tabs' tooltips.
#include "app/ui/TfmMain.h"

#include "app/frame/TfrRank.h"
#include "app/ui/ProjectTabBar.h"
#include "history/HistoryError.h"
#include "history/HistoryStore.h"
#include "platform/ui/Prompts.h"
#include "schedule/ScheduleStatus.h"
#include "schedule/ui/ScheduleDialog.h"

#include <QCoreApplication>

namespace {

ProjectScheduler scheduler(const HistoryStore& history)
{
    // The timers run the kestrova-check installed beside the program, into the program's history.
    ProjectScheduler made(UserUnitFolder(), UserServiceManager(),
        QCoreApplication::applicationDirPath() + QStringLiteral("/kestrova-check"));
    made.setHistory(HistoryLocation::namedForUnits(history.location()));
    return made;
}

} // namespace

void TfmMain::N17Click()
{
    TfrRank* frame = selectedFrame();
    if (!frame)
        return;
    const QString path = frame->fileName();
    if (path.isEmpty()) {
        Prompts::instance().message(
            this, QStringLiteral("Сначала сохраните проект: по расписанию проверяется его файл."));
        return;
    }
    QString lastCheck;
    try {
        lastCheck
            = ScheduleStatus::lastCheck(m_history->latestCheckOfEachProject(frame->project().site), path);
    } catch (const HistoryError& e) {
        lastCheck = QStringLiteral("История позиций не прочитана: ") + e.message();
    }
    auto* dialog = new ScheduleDialog(scheduler(*m_history), path, lastCheck, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::finished, this, &TfmMain::showTabTips);
    dialog->open();
}

// A tab's tooltip names the project's schedule (a saved project) and its region (when set).
void TfmMain::showTabTips()
{
    const QList<TfrRank*> frames = ProjectFrames();
    const UserUnitFolder folder;
    for (int i = 0; i < TabControl->count() && i < frames.size(); ++i) {
        const QString path = frames[i]->fileName();
        QStringList lines;
        if (!path.isEmpty())
            lines << ScheduleStatus::tabTip(folder.find(path));
        if (const SearchRegion& region = frames[i]->project().region; region.isSet())
            lines << QStringLiteral("Регион: ") + regionText(region);
        lines.removeAll(QString());
        TabControl->setTabToolTip(i, lines.join(u'\n'));
    }
}
