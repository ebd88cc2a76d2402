// A simulated DTU on a pseudo-terminal: the tool opens TerminalPath() as it
// would a serial port, and a thread of ours answers on the other side.
//
// We keep the terminal side open ourselves as well: with no terminal open,
// the master side reports a hang-up for ever and could not be waited on.
#pragma once

#include "dtu-sim/sim/Device.h"
#include "dtu-sim/sim/Uplink.h"

#include <algorithm>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <ostream>
#include <string>
#include <thread>

namespace sim {

class SimulatedDtu {
public:
    struct Options {
        unsigned baudRate = 115200;  // what the DTU expects of the line
        unsigned parity = 0;         // 0 none, 1 odd, 2 even
        std::ostream* log = nullptr; // every byte in and out, as hex
        Faults faults;
        // Bytes take the time a real line needs, 10 bits each at baudRate,
        // both ways: a request is understood only once its last byte would
        // have arrived, and an answer trickles out at the line's rate.
        bool paceLine = false;
        // A cellular link: while the mode includes TCP the DTU connects to
        // its server, registers and beats every heartbeatMs (see Uplink).
        bool online = false;
        std::int64_t heartbeatMs = 30000;
        // What the unit says of itself; empty: the device's own.
        std::string version, signal;
        // Online: registers and beats, but the data it should carry both
        // ways is lost, as on a unit whose modem drops its payload.
        bool loseData = false;
    };

    explicit SimulatedDtu(Options options);
    ~SimulatedDtu();
    SimulatedDtu(const SimulatedDtu&) = delete;
    SimulatedDtu& operator=(const SimulatedDtu&) = delete;

    // Creates the pseudo-terminal and starts answering. False (with a
    // reason in error()) when no pseudo-terminal can be had.
    bool Start();
    void Stop();

    const std::string& TerminalPath() const { return path_; }
    const std::string& error() const { return error_; }
    // The line was closed by the hang-up fault.
    bool hungUp() const { return hungUp_.load(); }

    void SetFaults(const Faults& faults);
    // Runs `f` on the device under the lock the DTU's thread uses.
    void WithDevice(const std::function<void(Device&)>& f);

private:
    struct Pending {
        std::int64_t atMs;
        Bytes bytes;
    };

    void Run();
    void Answer(const Bytes& frame, std::int64_t nowMs);
    bool LineMatches();
    void Log(const char* direction, const Bytes& bytes);
    void Flush(std::int64_t nowMs);
    // Queues bytes to go out from `atMs`, paced when the line is.
    void Schedule(Bytes bytes, std::int64_t atMs);
    double ByteUs() const { return 10e6 / std::max(1u, options_.baudRate); }
    void HangUp();
    // Serial data in transparent TCP goes to the server instead.
    bool Uplinked(const Bytes& frame);

    Options options_;
    std::string path_;
    std::string error_;
    int master_ = -1;
    int keeper_ = -1;  // our own descriptor of the terminal side
    int wake_ = -1;
    std::thread thread_;
    std::atomic<bool> hungUp_{false};

    std::mutex mutex_;  // the device and its faults; the log is the thread's alone
    Device device_;
    std::vector<Pending> pending_;  // thread only
    double inFreeUs_ = 0;           // thread only: when the last request byte is in
    double outFreeUs_ = 0;          // thread only: when the line out is free again
    std::string lastMismatch_;      // thread only
    std::unique_ptr<Uplink> uplink_;  // thread only; online only
};

}  // namespace sim
