// Splits the byte stream from the tool into the frames a DTU acts on.
//
//   FA 80 code L ...             configuration request, L + 6 bytes
//   FA 80 EF cnt nH nL ...       application image block or end frame, n + 8
//   FB 80 F3 cnt nH nL ...       boot-loader image block, n + 8
//   anything else                a data frame (7E ... 7F) or transparent
//                                data: it carries no length, so it ends
//                                when the line has been quiet for a moment
//
// Time is a parameter. A structured frame that stays incomplete for a second
// is dropped, as a DTU's receive time-out would.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace sim {

using Bytes = std::vector<std::uint8_t>;

class RequestParser {
public:
    static constexpr std::int64_t kDataGapMs = 50;
    static constexpr std::int64_t kStaleMs = 1000;

    void Feed(std::span<const std::uint8_t> bytes, std::int64_t nowMs);

    // The next complete frame, if there is one by now.
    std::optional<Bytes> Next(std::int64_t nowMs);

    // When Next may yield a frame by silence alone; -1 when nothing waits.
    std::int64_t Deadline() const;

    // Bytes dropped as incomplete or malformed since construction.
    std::size_t dropped() const { return dropped_; }

private:
    // Length of the structured frame at the front, 0 if still unknown,
    // -1 if the front is not a structured frame.
    long StructuredLength() const;
    Bytes Take(std::size_t n);

    Bytes buffer_;
    std::int64_t lastByteMs_ = 0;
    std::size_t dropped_ = 0;
};

}  // namespace sim
