// The main window and the position history.
#include "app/ui/TfmMain.h"

#include "app/frame/TfrRank.h"
#include "history/HistorySetting.h"
#include "history/HistoryStore.h"
#include "history/ui/HistorySettingDialog.h"
#include "history/ui/TfmHistory.h"
#include "platform/ui/Prompts.h"

#include <QPointer>
#include <QTimer>

void TfmMain::buildHistory()
{
    m_history = std::make_unique<HistoryStore>(HistorySetting::load().location());
    QPointer<TfmMain> window(this);
    // Said after the check has ended, so that the message never holds a check up.
    m_history->setProblemHandler([window](const QString& text) {
        if (window)
            QTimer::singleShot(0, window, [window, text] { Prompts::instance().message(window, text); });
    });
    m_history->setRecordedHandler([window](const RecordedCheck& check) {
        if (!window)
            return;
        QTimer::singleShot(0, window, [window, site = check.site] {
            for (TfmHistory* open : window->findChildren<TfmHistory*>())
                if (open->showsSite(site))
                    open->reload();
        });
    });
}

void TfmMain::N16Click()
{
    if (TfrRank* frame = selectedFrame())
        TfmHistory::showFor(*m_history, frame->project().site, this);
}

void TfmMain::N19Click()
{
    HistorySettingDialog dialog(HistorySetting::load(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_history->setLocation(dialog.setting().location());
    for (TfmHistory* open : findChildren<TfmHistory*>())
        open->close();
}
