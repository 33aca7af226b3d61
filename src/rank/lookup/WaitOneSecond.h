#pragma once

// Pumps the event loop until the millisecond tick count has advanced by the request interval
// (one second unless the endpoints set another pacing). The difference is taken as an unsigned
// 32-bit value, so a wrap of the tick counter does not hang it.
void WaitOneSecond();
