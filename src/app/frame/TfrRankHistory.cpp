// The frame's link to the position history.
#include "app/frame/TfrRank.h"

#include "app/frame/ResultCell.h"
#include "history/HistoryRecorder.h"
#include "rank/run/CheckRun.h"

void TfrRank::attachHistory(HistoryStore& store)
{
    m_history = std::make_unique<HistoryRecorder>(store, [this] { return FFileName; });
    m_history->setChangeHandler([this](Engine engine, int n, const PositionChange& change) {
        const QString note = changeNote(change);
        if (note.isEmpty())
            return;
        ResultCell* target = rankCell(engine, n);
        target->setToolTip(target->toolTip().isEmpty() ? note : target->toolTip() + u'\n' + note);
    });
    m_checkRun->setObserver(m_history.get());
}
