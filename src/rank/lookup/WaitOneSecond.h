#pragma once

#include <functional>

// Pumps the event loop until the millisecond tick count has advanced by the request interval
// (one second unless the endpoints set another pacing). The difference is taken as an unsigned
// 32-bit value, so a wrap of the tick counter does not hang it.
void WaitOneSecond();

// Waits for the given time on the event loop; ends early, returning false, once stopped() holds
// (asked at least ten times a second).
bool WaitMilliseconds(int ms, const std::function<bool()>& stopped);
