#include "core/monitor/StreamCutter.h"

#include <algorithm>

namespace monitor {

void StreamCutter::Feed(std::uint64_t at, std::span<const std::uint8_t> bytes, std::vector<Record>& records)
{
    const std::uint64_t next = start_ + open_.size();
    if (at > next) {
        // Bytes went missing: what came before them is a record of its own.
        if (!open_.empty())
            records.push_back({std::move(open_), continues_});
        open_.clear();
        start_ = at;
        continues_ = false;
    } else if (at < next) {
        const std::uint64_t old = std::min<std::uint64_t>(next - at, bytes.size());
        bytes = bytes.subspan(static_cast<std::size_t>(old));
    }
    open_.insert(open_.end(), bytes.begin(), bytes.end());
    Settle(records);
}

void StreamCutter::EndAt(std::uint64_t end, std::vector<Record>& records)
{
    // A frame that ended where the bound cut: what follows is after a pause.
    if (end == start_)
        continues_ = false;
    // A cut already made there by the bound, or a frame of bytes dropped.
    if (end <= start_ || (!ends_.empty() && end <= ends_.back()))
        return;
    ends_.push_back(end);
    Settle(records);
}

void StreamCutter::Settle(std::vector<Record>& records)
{
    // Cut from the front, then drop what was cut once: a flood arrives in
    // large pieces, each of many records.
    std::size_t taken = 0;
    for (;;) {
        while (!ends_.empty() && ends_.front() <= start_)
            ends_.pop_front();
        const std::size_t left = open_.size() - taken;
        std::size_t count = bound_;
        bool ended = false;
        if (!ends_.empty() && ends_.front() - start_ <= std::min(left, bound_)) {
            count = static_cast<std::size_t>(ends_.front() - start_);
            ended = true;
        } else if (left < bound_) {
            break;
        }
        const auto from = open_.begin() + static_cast<std::ptrdiff_t>(taken);
        records.push_back({Bytes(from, from + static_cast<std::ptrdiff_t>(count)), continues_});
        continues_ = !ended;
        taken += count;
        start_ += count;
    }
    open_.erase(open_.begin(), open_.begin() + static_cast<std::ptrdiff_t>(taken));
}

}  // namespace monitor
