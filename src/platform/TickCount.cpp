#include "platform/TickCount.h"

#include <atomic>
#include <chrono>

namespace {
std::atomic<std::uint32_t> g_offset { 0 };
}

namespace TickCount {

std::uint32_t now()
{
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now().time_since_epoch())
                  .count();
    return static_cast<std::uint32_t>(ms) + g_offset.load();
}

void setOffsetForTesting(std::uint32_t offset)
{
    g_offset = offset;
}

} // namespace TickCount
