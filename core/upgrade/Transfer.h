// Firmware transfer: the image goes to the DTU in block frames of up to 1024
// bytes, strictly stop-and-wait; an APP image closes with an end frame that
// carries its size and CRC-32, and the DTU answers with its verdict.
//
//   block  head 80 cmd counter nH nL  data(n)  sum  tail
//   end    FA   80 EF FF      00 08  size(4) crc(4)  sum  0D
//
//   kind  head  cmd   tail   end of image
//   APP   FA    EF    0D     end frame, then "ECK" (accepted) or "DCK"
//   IAP   FB    F3    0A     the last "ACK" is the success
//
// The rules, all of them in Transfer::OnReply:
//   state            reply (cmd of the kind)  action                  next
//   Sending          ACK, more data           write next block        Sending
//   Sending (APP)    ACK, image exhausted     write end frame         AwaitingVerdict
//   Sending (IAP)    ACK, image exhausted     success                 Idle
//   AwaitingVerdict  ACK                      same end frame again    AwaitingVerdict
//   Sending/Awaiting (APP) DCK                failure                 Idle
//   Sending/Awaiting (APP) ECK                success                 Idle
//   any              other letters, other command byte, no transfer: ignored
// A reply that does not come within the reply time-out ends the transfer
// (Poll); nothing is ever retransmitted, since the DTU counts blocks.
//
// Time is a parameter: every call that writes a frame is given "now" in
// milliseconds from any fixed origin.
#pragma once

#include "core/upgrade/Crc32.h"

#include <cstdint>
#include <span>
#include <vector>

namespace upgrade {

using Bytes = std::vector<std::uint8_t>;

enum class Kind { App, Iap };

struct Framing {
    std::uint8_t head;
    std::uint8_t command;
    std::uint8_t tail;
};
Framing FramingOf(Kind kind);

inline constexpr std::size_t kBlockSize = 1024;
inline constexpr std::size_t kEndFrameSize = 16;

// One block frame; `data` holds 1 to 1024 image bytes.
Bytes BuildBlockFrame(Kind kind, std::uint8_t counter, std::span<const std::uint8_t> data);
Bytes BuildEndFrame(Kind kind, std::uint32_t imageSize, std::uint32_t crc);

// How long to wait for a reply: a whole block on the wire at `baudRate`
// (10 bits a byte), the silence that ends the reply, and time for the DTU to
// write its flash.
std::int64_t ReplyTimeoutMs(unsigned baudRate);

// The image, read from its start. Read returns the number of bytes read,
// 0 at the end, or -1 when the read failed.
class ImageSource {
public:
    virtual ~ImageSource() = default;
    virtual long Read(std::uint8_t* buffer, std::size_t max) = 0;
};

class FrameSink {
public:
    virtual ~FrameSink() = default;
    virtual void WriteFrame(std::span<const std::uint8_t> frame) = 0;
};

enum class State { Idle, Sending, AwaitingVerdict };

enum class Outcome {
    Ignored,          // nothing happened
    Empty,            // the image holds no byte: nothing sent
    BlockWritten,     // one more block frame went out
    EndFrameWritten,  // the end frame went out (again, after a repeated ACK)
    Failed,           // the DTU answered DCK
    Succeeded,        // ECK (APP) or the last block acknowledged (IAP)
    TimedOut,         // no reply within the reply time-out
    ReadFailed,       // the image could not be read
};

class Transfer {
public:
    explicit Transfer(FrameSink& sink) : sink_(sink) {}

    void SetReplyTimeout(std::int64_t ms) { replyTimeoutMs_ = ms; }

    // Starts over from the image's first byte: counter 0, CRC register reset.
    // `image` must stay valid until the transfer is Idle again.
    Outcome Start(Kind kind, ImageSource& image, std::int64_t nowMs);

    // A complete frame arrived: `command` is its byte 2 and `buffer` the whole
    // receive buffer, whose bytes 4 to 6 hold the verdict letters.
    Outcome OnReply(std::uint8_t command, std::span<const std::uint8_t> buffer, std::int64_t nowMs);

    // Ends a transfer whose reply is overdue; Ignored otherwise.
    Outcome Poll(std::int64_t nowMs);

    void Stop();

    State state() const { return state_; }
    Kind kind() const { return kind_; }
    std::uint8_t counter() const { return counter_; }
    std::size_t blocksWritten() const { return blocks_; }
    std::uint64_t bytesSent() const { return bytesSent_; }

private:
    // Reads the next block into `frame`: BlockWritten when there is one,
    // Empty at the end of the image, ReadFailed.
    Outcome ReadBlock(Bytes& frame);
    void WriteBlock(const Bytes& frame, std::int64_t nowMs);
    Outcome SendNext(std::int64_t nowMs);
    Outcome Finish(Outcome outcome);
    void Write(const Bytes& frame, std::int64_t nowMs);

    FrameSink& sink_;
    ImageSource* image_ = nullptr;
    State state_ = State::Idle;
    Kind kind_ = Kind::App;
    std::uint8_t counter_ = 0;
    std::size_t blocks_ = 0;
    std::uint64_t bytesSent_ = 0;
    Crc32 crc_;
    Bytes endFrame_;
    std::int64_t replyTimeoutMs_ = 5000;
    std::int64_t deadlineMs_ = 0;
};

}  // namespace upgrade
