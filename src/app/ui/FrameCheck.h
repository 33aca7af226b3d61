#pragma once

#include <QObject>
#include <functional>

class TfrRank;

// The main window's view of a project's check: whether one executes, how to stop it, and when it
// has ended.
namespace FrameCheck {

// True from the start of a check until its start handler has run its end steps.
bool active(const TfrRank& frame);
// Asks the check to stop, as the stop button does; nothing when no check runs.
void requestStop(TfrRank& frame);
// Calls ended after every check of the frame, once its start handler has returned, so that ended
// may destroy the frame.
void whenEnded(TfrRank& frame, QObject* context, std::function<void()> ended);

} // namespace FrameCheck
