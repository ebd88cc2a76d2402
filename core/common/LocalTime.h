// A moment as the local calendar and clock show it, through each system's
// thread-safe call, one file per platform (LocalTimePosix.cpp,
// LocalTimeWindows.cpp): times are formatted on more than one thread.
#pragma once

#include <ctime>
#include <optional>

namespace civil {

// Nothing when the system cannot place `seconds` (since 1970, UTC).
std::optional<std::tm> LocalTime(std::time_t seconds);

}  // namespace civil
