#include "core/upgrade/Transfer.h"

#include "core/dtu/Frame.h"
#include "core/upgrade/Crc32.h"

#include <array>

namespace upgrade {

namespace {

bool Letters(std::span<const std::uint8_t> buffer, const char (&word)[4])
{
    for (std::size_t i = 0; i < 3; ++i) {
        const std::uint8_t b = 4 + i < buffer.size() ? buffer[4 + i] : 0;
        if (b != static_cast<std::uint8_t>(word[i]))
            return false;
    }
    return true;
}

}  // namespace

Framing FramingOf(Kind kind)
{
    return kind == Kind::App ? Framing{0xFA, 0xEF, 0x0D} : Framing{0xFB, 0xF3, 0x0A};
}

Bytes BuildBlockFrame(Kind kind, std::uint8_t counter, std::span<const std::uint8_t> data)
{
    const Framing f = FramingOf(kind);
    Bytes frame;
    frame.reserve(data.size() + 8);
    for (std::uint8_t b : {f.head, std::uint8_t{0x80}, f.command, counter,
                           static_cast<std::uint8_t>(data.size() >> 8), static_cast<std::uint8_t>(data.size() & 0xFF)})
        frame.push_back(b);
    frame.insert(frame.end(), data.begin(), data.end());
    frame.push_back(dtu::Checksum(frame));
    frame.push_back(f.tail);
    return frame;
}

Bytes BuildEndFrame(Kind kind, std::uint32_t imageSize, std::uint32_t crc)
{
    const Framing f = FramingOf(kind);
    Bytes frame{f.head, 0x80, 0xEF, 0xFF, 0x00, 0x08};
    for (std::uint32_t v : {imageSize, crc})
        for (int shift = 24; shift >= 0; shift -= 8)
            frame.push_back(static_cast<std::uint8_t>(v >> shift));
    frame.push_back(dtu::Checksum(frame));
    frame.push_back(f.tail);
    return frame;
}

std::int64_t ReplyTimeoutMs(unsigned baudRate)
{
    const std::int64_t wireMs = baudRate == 0 ? 0 : (kBlockSize + 8) * 10 * 1000 / baudRate;
    return wireMs + 500 + 3000;
}

Outcome Transfer::Start(Kind kind, ImageSource& image, std::int64_t nowMs)
{
    Stop();
    kind_ = kind;
    image_ = &image;
    state_ = State::Sending;
    Bytes frame;
    const Outcome first = ReadBlock(frame);
    if (first != Outcome::BlockWritten) {
        // An empty image sends nothing at all, not even an end frame.
        Stop();
        return first == Outcome::Empty ? Outcome::Empty : Outcome::ReadFailed;
    }
    WriteBlock(frame, nowMs);
    return Outcome::BlockWritten;
}

Outcome Transfer::OnReply(std::uint8_t command, std::span<const std::uint8_t> buffer, std::int64_t nowMs)
{
    // A reply for the other kind of transfer is no answer to our frame.
    if (state_ == State::Idle || command != FramingOf(kind_).command)
        return Outcome::Ignored;
    const bool ack = Letters(buffer, "ACK");
    if (kind_ == Kind::Iap)
        return ack ? SendNext(nowMs) : Outcome::Ignored;
    if (ack) {
        if (state_ == State::AwaitingVerdict) {
            // The same end frame: size and CRC do not change by asking again.
            Write(endFrame_, nowMs);
            return Outcome::EndFrameWritten;
        }
        return SendNext(nowMs);
    }
    if (Letters(buffer, "DCK"))
        return Finish(Outcome::Failed);
    if (Letters(buffer, "ECK"))
        return Finish(Outcome::Succeeded);
    return Outcome::Ignored;
}

Outcome Transfer::Poll(std::int64_t nowMs)
{
    if (state_ == State::Idle || nowMs < deadlineMs_)
        return Outcome::Ignored;
    return Finish(Outcome::TimedOut);
}

void Transfer::Stop()
{
    image_ = nullptr;
    state_ = State::Idle;
    counter_ = 0;
    blocks_ = 0;
    bytesSent_ = 0;
    crc_.Reset();
    endFrame_.clear();
}

Outcome Transfer::ReadBlock(Bytes& frame)
{
    std::array<std::uint8_t, kBlockSize> block;
    const long n = image_->Read(block.data(), block.size());
    if (n < 0 || static_cast<std::size_t>(n) > block.size())
        return Outcome::ReadFailed;
    if (n == 0)
        return Outcome::Empty;
    const std::span<const std::uint8_t> data(block.data(), static_cast<std::size_t>(n));
    crc_.Update(data);
    bytesSent_ += static_cast<std::uint64_t>(n);
    frame = BuildBlockFrame(kind_, counter_, data);
    return Outcome::BlockWritten;
}

void Transfer::WriteBlock(const Bytes& frame, std::int64_t nowMs)
{
    Write(frame, nowMs);
    ++counter_;
    ++blocks_;
}

Outcome Transfer::SendNext(std::int64_t nowMs)
{
    Bytes frame;
    const Outcome read = ReadBlock(frame);
    if (read == Outcome::ReadFailed)
        return Finish(Outcome::ReadFailed);
    if (read == Outcome::BlockWritten) {
        WriteBlock(frame, nowMs);
        return Outcome::BlockWritten;
    }
    if (kind_ == Kind::Iap)
        return Finish(Outcome::Succeeded);
    // Size and CRC of what was sent, so the two always agree.
    endFrame_ = BuildEndFrame(kind_, static_cast<std::uint32_t>(bytesSent_), crc_.Value());
    state_ = State::AwaitingVerdict;
    Write(endFrame_, nowMs);
    return Outcome::EndFrameWritten;
}

Outcome Transfer::Finish(Outcome outcome)
{
    // The counter stays as it is until the next start or stop.
    image_ = nullptr;
    state_ = State::Idle;
    return outcome;
}

void Transfer::Write(const Bytes& frame, std::int64_t nowMs)
{
    sink_.WriteFrame(frame);
    deadlineMs_ = nowMs + replyTimeoutMs_;
}

}  // namespace upgrade
