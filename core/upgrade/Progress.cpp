#include "core/upgrade/Progress.h"

#include "core/upgrade/Transfer.h"

#include <algorithm>
#include <cstdio>

namespace upgrade {

std::uint64_t BlocksFor(std::uint64_t bytes)
{
    return bytes / kBlockSize + (bytes % kBlockSize != 0 ? 1 : 0);
}

std::string SizeText(std::uint64_t bytes)
{
    char text[48];
    std::snprintf(text, sizeof text, "%.3f kb", static_cast<double>(bytes) / 1000.0);
    return text;
}

std::optional<std::int64_t> RemainingMs(const Pace& pace, std::int64_t nowMs)
{
    // Every frame but the last has been answered; the pace is the time from
    // the first write to the last over the answers in between.
    if (pace.framesWritten == 0)
        return std::nullopt;
    const std::uint64_t answered = pace.framesWritten - 1;
    if (answered < kAnsweredBeforeEstimate || pace.lastWriteMs < pace.startMs)
        return std::nullopt;
    const double perFrame = static_cast<double>(pace.lastWriteMs - pace.startMs) / static_cast<double>(answered);
    const std::uint64_t waiting = pace.framesTotal > answered ? pace.framesTotal - answered : 0;
    const double left = perFrame * static_cast<double>(waiting) - static_cast<double>(nowMs - pace.lastWriteMs);
    return static_cast<std::int64_t>(std::max(0.0, left));
}

std::string DurationText(std::int64_t ms)
{
    const std::int64_t seconds = std::max<std::int64_t>(0, ms) / 1000;
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld", static_cast<long long>(seconds / 60),
                  static_cast<long long>(seconds % 60));
    return text;
}

}  // namespace upgrade
