#include "core/monitor/StreamCutter.h"

#include <algorithm>

namespace monitor {

void StreamCutter::Feed(std::uint64_t at, std::span<const std::uint8_t> bytes, std::vector<Bytes>& records)
{
    const std::uint64_t next = start_ + open_.size();
    if (at > next) {
        // Bytes went missing: what came before them is a record of its own.
        if (!open_.empty())
            records.push_back(std::move(open_));
        open_.clear();
        start_ = at;
    } else if (at < next) {
        const std::uint64_t old = std::min<std::uint64_t>(next - at, bytes.size());
        bytes = bytes.subspan(static_cast<std::size_t>(old));
    }
    open_.insert(open_.end(), bytes.begin(), bytes.end());
    Settle(records);
}

void StreamCutter::EndAt(std::uint64_t end, std::vector<Bytes>& records)
{
    // A cut already made there by the bound, or a frame of bytes dropped.
    if (end <= start_ || (!ends_.empty() && end <= ends_.back()))
        return;
    ends_.push_back(end);
    Settle(records);
}

void StreamCutter::Settle(std::vector<Bytes>& records)
{
    // Cut from the front, then drop what was cut once: a flood arrives in
    // large pieces, each of many records.
    std::size_t taken = 0;
    for (;;) {
        while (!ends_.empty() && ends_.front() <= start_)
            ends_.pop_front();
        const std::size_t left = open_.size() - taken;
        std::size_t count = 0;
        if (!ends_.empty() && ends_.front() - start_ <= left)
            count = static_cast<std::size_t>(ends_.front() - start_);
        else if (left >= bound_)
            count = bound_;
        else
            break;
        const auto from = open_.begin() + static_cast<std::ptrdiff_t>(taken);
        records.emplace_back(from, from + static_cast<std::ptrdiff_t>(count));
        taken += count;
        start_ += count;
    }
    open_.erase(open_.begin(), open_.begin() + static_cast<std::ptrdiff_t>(taken));
}

}  // namespace monitor
