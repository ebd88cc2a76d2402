// One DTU on one port: its own driver, receive buffer and frame completion;
// the work of dtuctl and of the window's bench is done through it.
//
// Every port of a run has a Link of its own, driven by one thread of its own
// (the thread that calls Exchange/NextFrame ticks the buffer, as the main
// window's timer does for the window's one port). Links share nothing, so
// sixteen of them run side by side exactly as one does.
#pragma once

#include "core/dtu/Frame.h"
#include "core/profile/Profile.h"
#include "core/serial/ReceiveBuffer.h"
#include "driver/serial/SerialPort.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace jobs {

using profile::Failure;

// What went wrong, for a caller that words it in its own language; the
// exception's text is dtuctl's words.
enum class Cause { Other, OpenFailed, NoAnswer, PortGone, ServerClosed, Refused };

class LinkFailure : public Failure {
public:
    LinkFailure(Cause cause, std::string request, const std::string& text)
        : Failure(text), cause(cause), request(std::move(request))
    {
    }
    Cause cause;
    std::string request;  // what was sent or waited for
};

// A job asked to stop, at its next safe point: before a request, while an
// answer is awaited, between image blocks. Never in the middle of a frame.
class Stopped : public Failure {
public:
    Stopped() : Failure("stopped") {}
};

// How a port is opened and how long a DTU is waited for.
struct Line {
    unsigned baud = 115200;
    unsigned parity = 0;  // the driver's parity code
    int timeoutMs = dtu::kReplyTimeoutMs;
    int connectTimeoutMs = SerialPort::kConnectTimeoutMs;
    bool fast = false;
};


// A completed frame: the whole receive buffer, as the decoders expect, and
// the number of bytes received for it.
struct Reply {
    std::vector<std::uint8_t> buffer;
    std::int32_t length = 0;
    std::span<const std::uint8_t> frame() const { return {buffer.data(), static_cast<std::size_t>(length)}; }
};

class Link : public SerialPort {
public:
    static constexpr auto kTick = std::chrono::milliseconds(100);

    Link();
    // The reader is stopped before the wake-up it signals goes away.
    ~Link() override;

    void OnRxByte(std::uint8_t b) override { rx_.OnRxByte(b); }
    void OnRxBytes(const std::uint8_t* data, std::size_t length) override { rx_.OnRxBytes({data, length}); }

    // Opens the port; throws Failure with the settings page's words.
    void OpenOrThrow(const std::string& path, unsigned baud, unsigned parity);
    // The same with the line's time-outs and fast replies.
    void OpenOrThrow(const std::string& path, const Line& line);

    // Set from any thread; the link's own thread stops at its next safe point.
    void SetStop(std::shared_ptr<const std::atomic<bool>> stop) { stop_ = std::move(stop); }
    bool StopRequested() const { return stop_ && stop_->load(); }
    void ThrowIfStopped() const
    {
        if (StopRequested())
            throw Stopped();
    }

    // How the loss of this port is told: a network server closes the
    // connection, a device goes away.
    std::string Gone() const;
    Cause GoneCause() const { return IsNetwork() ? Cause::ServerClosed : Cause::PortGone; }

    // Writes `frame`; throws Failure when the line does not take it.
    void Send(std::span<const std::uint8_t> frame, const std::string& what);

    // Writes a request and waits up to `timeoutMs` for the frame that
    // answers it (same command code, response direction). Frames with other
    // codes are stray answers to earlier requests and are skipped. Throws
    // Failure naming `what` when nothing answers or the answer is malformed.
    Reply Exchange(std::span<const std::uint8_t> request, int timeoutMs, const std::string& what);

    // Fast replies: an answer that is a whole frame completes the moment
    // its last byte arrives instead of after the silence.
    void SetFastReplies(bool on) { rx_.SetFastReplies(on); }

    // Waits for the next tick, or with fast replies for a whole frame; the
    // frame that completed, if any.
    std::optional<Reply> NextFrame();

private:
    // A socket:// server still busy with the last connection may take this
    // one and only then turn it away. Until the DTU has answered anything,
    // within the connect time-out from the first open, that is one more try
    // to connect; true when the port is open again.
    bool Reconnected();

    std::shared_ptr<const std::atomic<bool>> stop_;
    ReceiveBuffer rx_;
    std::string path_;
    unsigned baud_ = 0, parity_ = 0;
    std::chrono::steady_clock::time_point openedAt_{};
    bool answered_ = false;
    std::chrono::steady_clock::time_point next_ = std::chrono::steady_clock::now();
    std::deque<Reply> completed_;  // frames delivered together, handed out one by one

    std::mutex wakeMutex_;
    std::condition_variable wake_;
    bool whole_ = false;  // a whole frame is waiting in rx_
};

}  // namespace jobs
