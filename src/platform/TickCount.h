#pragma once

#include <cstdint>

// The system's millisecond tick count: 32 bits, wrapping about every 49.7 days.
// Differences are always taken as unsigned 32-bit values.
namespace TickCount {

std::uint32_t now();
inline std::uint32_t since(std::uint32_t start)
{
    return now() - start;
}

// Shifts the clock so that tests can cross the wrap without waiting 49 days.
void setOffsetForTesting(std::uint32_t offset);

} // namespace TickCount
