#include "app/ui/FrameCheck.h"

#include "rank/frame/TfrRank.h"
#include "rank/run/CheckRun.h"

namespace FrameCheck {

bool active(const TfrRank& frame)
{
    return frame.checkRun().isRunning();
}

void requestStop(TfrRank& frame)
{
    frame.checkRun().requestStop();
}

void whenEnded(TfrRank& frame, QObject* context, std::function<void()> ended)
{
    // Queued: the signal comes from inside the start handler, which must return before the frame
    // may go.
    QObject::connect(&frame.checkRun(), &CheckRun::finished, context, std::move(ended), Qt::QueuedConnection);
}

} // namespace FrameCheck
