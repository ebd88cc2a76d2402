// The simulated DTU's behaviour: what it keeps and what it answers to each
// frame. No I/O and no clock of its own: frames and the time come in as
// values, replies go out as values.
#pragma once

#include "dtu-sim/sim/RequestParser.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace sim {

// Misbehaviour on request, for tests and demonstrations.
struct Faults {
    bool noReply = false;           // answer nothing at all
    int delayMs = 0;                // answer this much later
    int splitPauseMs = -1;          // >= 0: answer in two pieces with this pause
    bool corruptEnvelope = false;   // answers end in 0x00 instead of 0x0D
    bool failUpgrade = false;       // "DCK" at the end of every APP upgrade
    int dropAckEvery = 0;           // > 0: every Nth block goes unanswered
    int hangupAfterBlocks = 0;      // > 0: the line closes after N blocks
};

// What the settings say about the DTU's link to its server.
struct LinkSettings {
    std::string host;  // "a.b.c.d" or a domain name; empty: none
    std::uint16_t port = 0;
    bool tcp = false;          // the working mode includes TCP
    bool transparent = false;  // transparent TCP: serial data travels
    bool custom = false;       // custom packets on
    Bytes heartbeat, registration;
    bool operator==(const LinkSettings&) const = default;
};

// The device's clock: year - 2000, month, day, hour, minute, second, weekday.
using ClockBytes = std::array<std::uint8_t, 7>;

// The version a unit runs after it took `image`: the text after
// "DTU-VERSION:" in it, else one naming the image's CRC-32.
std::string VersionOf(const Bytes& image);

class Device {
public:
    // `clock` is the device clock at `nowMs`.
    Device(const ClockBytes& clock, std::int64_t nowMs);

    // The replies to one frame, in order (usually one, none for a frame the
    // DTU ignores).
    std::vector<Bytes> Handle(const Bytes& frame, std::int64_t nowMs);

    LinkSettings Link() const;

    // The line is to be closed (the hang-up fault fired).
    bool hangup() const { return hangup_; }

    Faults faults;

    // What a test may want to look at.
    const Bytes& upgradeImage() const { return image_; }
    std::size_t blocksReceived() const { return blocks_; }
    int restarts() const { return restarts_; }
    // Frames the line brought, of any kind.
    std::size_t handled() const { return handled_; }
    std::string version = "KV-331 V2.3.1 (simulated)";
    std::string signal = "+CSQ: 24,99";

private:
    std::vector<Bytes> HandleConfig(std::uint8_t code, const Bytes& payload, std::int64_t nowMs);
    std::vector<Bytes> HandleBlock(const Bytes& frame);
    std::vector<Bytes> HandleData(const Bytes& frame);
    ClockBytes ClockAt(std::int64_t nowMs) const;

    std::vector<Bytes> phones_;  // 11 bytes each
    std::vector<Bytes> ids_;     // 6 bytes each
    Bytes domain_ = Bytes(32, 0x00);
    std::array<std::uint8_t, 4> ip_{192, 168, 1, 100};
    std::uint16_t port_ = 8080;
    std::uint8_t transferKind_ = 2;
    std::uint8_t modeByte_ = 3;
    std::uint8_t addressKind_ = 0;
    std::array<std::uint8_t, 3> uart_{7, 0, 0};
    Bytes ownId_{0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00};
    Bytes apn_ = Bytes(96, 0x00);
    Bytes packets_ = Bytes(45, 0x00);
    Bytes rf_{0x6C, 0x80, 0x00, 0x00, 0x04, 0x00, 0x06};
    std::int64_t clockBase_;  // seconds, broken-down time read as UTC
    std::int64_t clockSetAtMs_;
    int restarts_ = 0;

    // Firmware upgrade in progress.
    Bytes image_;
    std::uint8_t expectedCounter_ = 0;
    std::size_t blocks_ = 0;
    std::size_t handled_ = 0;
    bool hangup_ = false;
};

// The host's local time as device clock bytes.
ClockBytes LocalClock();

}  // namespace sim
