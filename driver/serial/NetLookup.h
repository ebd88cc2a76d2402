// Waiting on a socket within a deadline, and the look-up of a host's
// addresses on a thread of its own: both give way to a cancel at once.
#pragma once

#include "driver/serial/NetPort.h"

#include <chrono>
#include <string>
#include <vector>

namespace serial {

using NetClock = std::chrono::steady_clock;

// What is left of `deadline`, never below 0.
int MsLeft(NetClock::time_point deadline);

// Waits for `events` on `fd` or a cancel; the events seen, 0 on time-out,
// -1 when cancelled.
int Await(int fd, short events, int cancelFd, NetClock::time_point deadline);

// The addresses of a host, or why there are none.
struct Resolved {
    std::vector<NetAddress> addresses;
    SerialError error = SerialError::None;
    int err = 0;
};

Resolved Resolve(const std::string& host, const std::string& service, int cancelFd, NetClock::time_point deadline);

}  // namespace serial
