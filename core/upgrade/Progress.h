// What the upgrade page shows of a running transfer: how many blocks an image
// takes, and how long the rest should take at the pace the DTU has kept so
// far. Time is a parameter, as in the transfer machine.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace upgrade {

// Block frames an image of `bytes` takes; the last one may be short.
std::uint64_t BlocksFor(std::uint64_t bytes);

// "12.345 kb": the size in thousands of bytes, the unit the DTU's image
// sizes are quoted in.
std::string SizeText(std::uint64_t bytes);

// No estimate before this many frames have been answered: the first replies
// also carry the DTU's start-up and say little about its pace.
inline constexpr std::uint64_t kAnsweredBeforeEstimate = 3;

struct Pace {
    std::uint64_t framesWritten = 0;  // block and end frames so far; the last is unanswered
    std::uint64_t framesTotal = 0;    // every frame the transfer will write
    std::int64_t startMs = 0;         // the first frame went out
    std::int64_t lastWriteMs = 0;     // the last frame went out
};

// Milliseconds until the last reply, or nothing while too few frames have
// been answered to tell.
std::optional<std::int64_t> RemainingMs(const Pace& pace, std::int64_t nowMs);

// "1:05", minutes and seconds, rounded down.
std::string DurationText(std::int64_t ms);

}  // namespace upgrade
