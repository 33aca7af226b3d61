// The frame's link to the position history.
#include "app/frame/TfrRank.h"

#include "history/HistoryRecorder.h"
#include "rank/run/CheckRun.h"

void TfrRank::attachHistory(HistoryStore& store)
{
    m_history = std::make_unique<HistoryRecorder>(store, [this] { return FFileName; });
    m_history->setChangeHandler([this](Engine engine, int n, const PositionChange& change) {
        m_results.rank(engine, n).change = changeNote(change);
        showCell(engine, n);
    });
    m_checkRun->setObserver(m_history.get());
}
