// The monitor's record of the line: every frame sent and received, newest
// last, bounded in frames and in bytes so that a long upgrade cannot eat the
// memory. Entries keep their bytes and a cheap classification; the decoded
// text is made only when a row is shown or saved.
//
// A request the DTU answers waits for a received frame with its code; one
// that none answers within the reply time-out is marked unanswered.
// Answers are matched oldest request first, by code alone, as the DTU gives
// nothing else to match them by.
//
// Not thread-safe: one thread owns a log.
#pragma once

#include "core/dtu/Frame.h"
#include "core/monitor/FrameText.h"

#include <cstdint>
#include <deque>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace monitor {

struct Entry {
    std::uint64_t seq = 0;       // 0, 1, 2, ... for the life of the log
    std::int64_t wallMs = 0;     // milliseconds since the epoch, for display
    std::int64_t steadyMs = 0;   // monotonic milliseconds, for time-outs
    Direction direction = Direction::Sent;
    FrameKey key;
    bool unanswered = false;
    std::vector<std::uint8_t> bytes;
};

// Which entries a view shows.
struct Filter {
    bool sent = true;
    bool received = true;
    // -1 any; 0 to 255 a command code (firmware frames by their command
    // byte); kDataFrames the SMS/TCP data frames and bare data.
    int command = -1;
    static constexpr int kDataFrames = 0x100;

    bool Matches(const Entry& e) const;
};

class LineLog {
public:
    static constexpr std::size_t kDefaultFrames = 100000;
    static constexpr std::size_t kDefaultBytes = std::size_t{64} << 20;
    static constexpr std::int64_t kCommandReplyMs = dtu::kReplyTimeoutMs;

    explicit LineLog(std::size_t maxFrames = kDefaultFrames, std::size_t maxBytes = kDefaultBytes);

    // Records a frame and, for a received one, settles the request it
    // answers. Oldest entries go once either bound is passed.
    const Entry& Add(Direction direction, std::span<const std::uint8_t> bytes, std::int64_t wallMs,
                     std::int64_t steadyMs);

    // Marks the requests whose reply is overdue at `steadyNowMs`; returns
    // their sequence numbers.
    std::vector<std::uint64_t> Expire(std::int64_t steadyNowMs);
    // When the next request falls overdue, if one is waiting.
    std::optional<std::int64_t> NextDeadline() const;

    void SetReplyTimeouts(std::int64_t commandMs, std::int64_t firmwareMs);
    void Clear();

    std::size_t size() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }
    std::size_t bytes() const { return bytes_; }
    // Sequence number of the oldest entry kept (== nextSeq() when empty).
    std::uint64_t firstSeq() const { return nextSeq_ - entries_.size(); }
    std::uint64_t nextSeq() const { return nextSeq_; }
    const Entry& operator[](std::size_t i) const { return entries_[i]; }
    // The entry with this sequence number, or nullptr once it is gone.
    const Entry* Find(std::uint64_t seq) const;

private:
    struct Waiting {
        std::uint64_t seq;
        int code;
        std::int64_t deadlineMs;
    };
    void Trim();
    Entry* FindMutable(std::uint64_t seq);

    std::size_t maxFrames_;
    std::size_t maxBytes_;
    std::int64_t commandReplyMs_ = kCommandReplyMs;
    std::int64_t firmwareReplyMs_ = kCommandReplyMs;
    std::deque<Entry> entries_;
    std::deque<Waiting> waiting_;  // in order of sending
    std::size_t bytes_ = 0;
    std::uint64_t nextSeq_ = 0;
};

// One entry as a line of text or of CSV (time, direction, length, hex,
// meaning). Time is local, to the millisecond: "14:07:09.123".
std::string FormatTime(std::int64_t wallMs);
std::string Meaning(const Entry& e);  // the decoded text plus the no-answer mark
std::string TextLine(const Entry& e);
std::string CsvHeader();
std::string CsvLine(const Entry& e);
// One CSV field, quoted when it holds a comma, quote or line break.
std::string CsvField(const std::string& field);
// The fields of one CSV line written by CsvLine; quoted fields unquoted.
std::vector<std::string> ParseCsvLine(const std::string& line);

}  // namespace monitor
