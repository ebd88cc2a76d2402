#include "serial/ReceiveBuffer.h"

void ReceiveBuffer::OnRxByte(std::uint8_t b)
{
    std::lock_guard lock(mutex_);
    // More than a buffer without a pause wraps: the frame then reports only
    // the bytes since the wrap, the rest of the buffer holding older ones.
    if (length_ >= kCapacity)
        length_ = 0;
    collecting_[static_cast<std::size_t>(length_)] = b;
    ++length_;
    idleTicks_ = 0;
}

bool ReceiveBuffer::AdvanceAndTake(std::int32_t& length)
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
    length_ = 0;
    return true;
}

std::int32_t ReceiveBuffer::RxLength() const
{
    std::lock_guard lock(mutex_);
    return length_;
}

std::int32_t ReceiveBuffer::RxIdleTicks() const
{
    std::lock_guard lock(mutex_);
    return idleTicks_;
}
