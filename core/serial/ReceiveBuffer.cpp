#include "core/serial/ReceiveBuffer.h"

#include "core/dtu/Frame.h"

void ReceiveBuffer::OnRxByte(std::uint8_t b)
{
    std::lock_guard lock(mutex_);
    Take(b);
}

void ReceiveBuffer::OnRxBytes(std::span<const std::uint8_t> bytes)
{
    std::lock_guard lock(mutex_);
    for (const std::uint8_t b : bytes)
        Take(b);
}

void ReceiveBuffer::Take(std::uint8_t b)
{
    // More than a buffer without a pause wraps: the frame then reports only
    // the bytes since the wrap, the rest of the buffer holding older ones.
    if (length_ >= kCapacity)
        length_ = 0;
    collecting_[static_cast<std::size_t>(length_)] = b;
    ++length_;
    ++received_;
    idleTicks_ = 0;
    if (!fast_ || wholeCount_ == kWholeQueue ||
        !dtu::IsWholeResponse(std::span(collecting_.data(), static_cast<std::size_t>(length_))))
        return;
    // Cut here: the next byte starts the next frame.
    whole_[(wholeHead_ + wholeCount_) % kWholeQueue] = {collecting_, length_, received_};
    ++wholeCount_;
    length_ = 0;
    idleTicks_ = -1;
    if (wholeSignal_)
        wholeSignal_();
}

bool ReceiveBuffer::TakeWhole(std::int32_t& length, std::uint64_t& end)
{
    std::lock_guard lock(mutex_);
    if (wholeCount_ == 0)
        return false;
    const Whole& w = whole_[wholeHead_];
    frame_ = w.bytes;
    length = w.length;
    end = w.end;
    wholeHead_ = (wholeHead_ + 1) % kWholeQueue;
    --wholeCount_;
    return true;
}

void ReceiveBuffer::SetFastReplies(bool on)
{
    std::lock_guard lock(mutex_);
    fast_ = on;
}

bool ReceiveBuffer::FastReplies() const
{
    std::lock_guard lock(mutex_);
    return fast_;
}

void ReceiveBuffer::SetWholeFrameSignal(std::function<void()> signal)
{
    std::lock_guard lock(mutex_);
    wholeSignal_ = std::move(signal);
}

bool ReceiveBuffer::AdvanceAndTake(std::int32_t& length, std::uint64_t& end)
{
    std::lock_guard lock(mutex_);
    if (idleTicks_ < 0)
        return false;
    const std::int32_t old = idleTicks_++;
    if (old < kSilenceTicks - 1)
        return false;
    idleTicks_ = -1;
    frame_ = collecting_;
    length = length_;
    end = received_;
    length_ = 0;
    return true;
}

std::int32_t ReceiveBuffer::RxLength() const
{
    std::lock_guard lock(mutex_);
    return length_;
}

std::uint64_t ReceiveBuffer::Received() const
{
    std::lock_guard lock(mutex_);
    return received_;
}

std::int32_t ReceiveBuffer::RxIdleTicks() const
{
    std::lock_guard lock(mutex_);
    return idleTicks_;
}
