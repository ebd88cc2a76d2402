#include "dtu-sim/sim/RequestParser.h"

namespace sim {

void RequestParser::Feed(std::span<const std::uint8_t> bytes, std::int64_t nowMs)
{
    if (bytes.empty())
        return;
    buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
    lastByteMs_ = nowMs;
}

long RequestParser::StructuredLength() const
{
    const std::uint8_t head = buffer_[0];
    if ((head != 0xFA && head != 0xFB) || (buffer_.size() >= 2 && buffer_[1] != 0x80))
        return -1;
    if (buffer_.size() < 4)
        return 0;
    const bool block = head == 0xFB || buffer_[2] == 0xEF;
    if (!block)
        return buffer_[3] + 6;
    if (buffer_.size() < 6)
        return 0;
    const long n = buffer_[4] << 8 | buffer_[5];
    // No block is longer than 1024 bytes: this is not a block header.
    return n > 1024 ? -1 : n + 8;
}

Bytes RequestParser::Take(std::size_t n)
{
    Bytes frame(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(n));
    buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(n));
    return frame;
}

std::optional<Bytes> RequestParser::Next(std::int64_t nowMs)
{
    if (buffer_.empty())
        return std::nullopt;
    const long length = StructuredLength();
    const std::int64_t quiet = nowMs - lastByteMs_;
    if (length > 0 && buffer_.size() >= static_cast<std::size_t>(length))
        return Take(static_cast<std::size_t>(length));
    if (length >= 0) {
        if (quiet >= kStaleMs) {
            dropped_ += buffer_.size();
            buffer_.clear();
        }
        return std::nullopt;
    }
    if (quiet >= kDataGapMs)
        return Take(buffer_.size());
    return std::nullopt;
}

std::int64_t RequestParser::Deadline() const
{
    if (buffer_.empty())
        return -1;
    return lastByteMs_ + (StructuredLength() >= 0 ? kStaleMs : kDataGapMs);
}

}  // namespace sim
