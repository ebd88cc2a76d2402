// Frame completion driven as the main window drives it: a tick every 100 ms
// of real time. Used by the end-to-end tests and the upgrade benchmark.
#pragma once

#include "core/serial/ReceiveBuffer.h"
#include "core/upgrade/Transfer.h"
#include "driver/serial/SerialPort.h"

#include <cstdint>
#include <vector>

// One completed frame with the whole buffer it was read from.
struct Received {
    std::vector<std::uint8_t> buffer;
    std::int32_t length = 0;
    std::vector<std::uint8_t> Frame() const { return {buffer.begin(), buffer.begin() + length}; }
};

std::int64_t SteadyMs();

// Ticks every 100 ms until `count` frames completed or `maxTicks` passed.
std::vector<Received> CollectFrames(ReceiveBuffer& rx, std::size_t count, int maxTicks);

// A firmware transfer through `port`, replies taken from `rx` on each tick,
// or, with `fast`, as soon as a whole reply is there (fast replies).
struct UpgradeRun {
    upgrade::Outcome outcome = upgrade::Outcome::Ignored;
    std::vector<double> blockMs;  // from writing each frame to its reply
    std::size_t wholeReplies = 0; // replies taken as whole frames, before any tick
};
UpgradeRun RunUpgrade(SerialPort& port, ReceiveBuffer& rx, upgrade::Kind kind, const std::vector<std::uint8_t>& image,
                      std::int64_t replyTimeoutMs, int maxTicks, bool fast = false);
