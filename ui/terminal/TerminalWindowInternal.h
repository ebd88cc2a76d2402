// What the terminal window's own source files share; nobody else includes it.
#pragma once

#include <QDateTime>

#include <chrono>
#include <cstdint>

namespace ui::terminal_internal {

// The log button's caption while no log is written.
extern const char kLogCaption[];

inline std::int64_t NowMs()
{
    return QDateTime::currentMSecsSinceEpoch();
}

// For pacing: the wall clock may jump.
inline std::int64_t SteadyMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace ui::terminal_internal
