// The simulated DTU's cellular link: while its working mode includes TCP it
// keeps a connection to its configured server, as a DTU in the field does.
//
//   no TCP in the mode, or no server    idle, no socket
//   a domain name                       resolved on a helper thread, then
//   connecting                          a non-blocking connect()
//   connected                           registration packet first (custom
//                                       packets on), then the heartbeat
//                                       every heartbeatMs; in transparent
//                                       TCP, data both ways
//   connect failed, or the server left  waits 1 s, 2 s, 4 s ... at most 30 s,
//                                       then connects again; the pause
//                                       starts over once connected
//   server, mode or registration        starts over at once
//   written
//
// The owner's thread drives it from its poll() loop: fd() and events() to
// wait on, Deadline() for the time-outs, Service() when either is due. Time
// is a parameter.
#pragma once

#include "dtu-sim/sim/Device.h"

#include <cstdint>
#include <future>
#include <ostream>
#include <string>

namespace sim {

class Uplink {
public:
    static constexpr std::int64_t kFirstPauseMs = 1000;
    static constexpr std::int64_t kLongestPauseMs = 30000;
    static constexpr std::size_t kMaxQueued = 64 * 1024;

    Uplink(std::int64_t heartbeatMs, std::ostream* log);
    ~Uplink();
    Uplink(const Uplink&) = delete;
    Uplink& operator=(const Uplink&) = delete;

    void Configure(const LinkSettings& settings, std::int64_t nowMs);

    int fd() const { return fd_; }
    short events() const;
    // When Service() must run even if the socket stays quiet; -1: never.
    std::int64_t Deadline() const;
    // The socket's readiness (0 for none) and the clock; what the server sent.
    Bytes Service(short revents, std::int64_t nowMs);

    bool connected() const { return state_ == State::Connected; }
    // Serial data goes to the server instead of being answered on the line.
    bool carriesData() const { return settings_.tcp && settings_.transparent; }
    // Queues serial data for the server; false when it cannot go (dropped).
    bool Send(const Bytes& bytes);

private:
    enum class State { Idle, Resolving, Waiting, Connecting, Connected };

    void StartOver(std::int64_t nowMs, bool freshPause);
    void Connect(const std::string& address, std::int64_t nowMs);
    void Fail(const std::string& why, std::int64_t nowMs);
    void CloseSocket();
    void Queue(const Bytes& bytes);
    void Flush(std::int64_t nowMs);
    void Log(const std::string& line);

    std::int64_t heartbeatMs_;
    std::ostream* log_;
    LinkSettings settings_;
    State state_ = State::Idle;
    int fd_ = -1;
    std::future<std::string> resolving_;  // the address, or empty
    std::int64_t resolveCheckMs_ = 0;
    std::int64_t retryAtMs_ = 0;
    std::int64_t pauseMs_ = kFirstPauseMs;
    std::int64_t nextBeatMs_ = 0;
    Bytes out_;
};

}  // namespace sim
