// The stream of received bytes cut into records, for the windows that show
// the line as it is (the terminal, the line monitor). A record ends where
// the frame path ended a frame (silence, or a whole reply) or where it
// reaches a bound, so that a stream that never pauses still becomes records,
// and consecutive records add up to every byte received. Decoding a record
// of a frame's bytes then decodes that frame. A record cut at the bound is
// no pause on the line: the one after it says it continues it, so that a
// window shows the two as one (a line of text is not broken in two).
//
// Bytes and frame ends come by position in the stream (counted from the
// first byte received), in any order: an end may be told before its bytes
// arrive, or after the bytes that follow it.
#pragma once

#include <cstdint>
#include <deque>
#include <span>
#include <vector>

namespace monitor {

class StreamCutter {
public:
    using Bytes = std::vector<std::uint8_t>;
    static constexpr std::size_t kDefaultBound = 4096;

    struct Record {
        Bytes bytes;
        // The record before it ended at the bound, not at a frame's end or
        // a gap.
        bool continues = false;
    };

    explicit StreamCutter(std::size_t bound = kDefaultBound) : bound_(bound > 0 ? bound : 1) {}

    // Bytes [at, at + size) of the stream; records completed by them are
    // appended to `records`. Bytes before the record in progress are old;
    // a gap (bytes that never came) ends the record in progress.
    void Feed(std::uint64_t at, std::span<const std::uint8_t> bytes, std::vector<Record>& records);
    // A frame ended at position `end` (one past its last byte).
    void EndAt(std::uint64_t end, std::vector<Record>& records);

    // The record in progress, where it starts, and whether it continues the
    // record before it.
    const Bytes& open() const { return open_; }
    std::uint64_t openAt() const { return start_; }
    bool openContinues() const { return continues_; }

private:
    void Settle(std::vector<Record>& records);

    std::size_t bound_;
    Bytes open_;
    std::uint64_t start_ = 0;
    bool continues_ = false;
    std::deque<std::uint64_t> ends_;  // ascending, past start_
};

}  // namespace monitor
