#include "core/monitor/LineLog.h"

#include "core/common/LocalTime.h"
#include "core/common/Tr.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <utility>

namespace monitor {

bool Filter::Matches(const Entry& e) const
{
    if (!(e.direction == Direction::Sent ? sent : received))
        return false;
    if (command < 0)
        return true;
    if (command == kDataFrames)
        return e.key.code < 0;
    return e.key.code == command;
}

LineLog::LineLog(std::size_t maxFrames, std::size_t maxBytes)
    : maxFrames_(std::max<std::size_t>(1, maxFrames)), maxBytes_(maxBytes)
{
}

void LineLog::SetReplyTimeouts(std::int64_t commandMs, std::int64_t firmwareMs)
{
    commandReplyMs_ = commandMs;
    firmwareReplyMs_ = firmwareMs;
}

const Entry& LineLog::Add(Direction direction, std::span<const std::uint8_t> bytes, std::int64_t wallMs,
                          std::int64_t steadyMs)
{
    Entry e;
    e.seq = nextSeq_++;
    e.wallMs = wallMs;
    e.steadyMs = steadyMs;
    e.direction = direction;
    e.key = Classify(direction, bytes);
    e.bytes.assign(bytes.begin(), bytes.end());

    if (direction == Direction::Sent && e.key.expectsReply) {
        const bool firmware = e.key.kind == FrameKind::FirmwareBlock || e.key.kind == FrameKind::FirmwareEnd;
        waiting_.push_back({e.seq, e.key.code, steadyMs + (firmware ? firmwareReplyMs_ : commandReplyMs_)});
    } else if (direction == Direction::Received && e.key.code >= 0) {
        const auto it = std::find_if(waiting_.begin(), waiting_.end(),
                                     [&](const Waiting& w) { return w.code == e.key.code; });
        if (it != waiting_.end())
            waiting_.erase(it);
    }

    bytes_ += e.bytes.size();
    entries_.push_back(std::move(e));
    Trim();
    return entries_.back();
}

void LineLog::Trim()
{
    // The newest entry always stays, however large.
    while (entries_.size() > 1 && (entries_.size() > maxFrames_ || bytes_ > maxBytes_)) {
        bytes_ -= entries_.front().bytes.size();
        entries_.pop_front();
    }
    const std::uint64_t first = firstSeq();
    while (!waiting_.empty() && waiting_.front().seq < first)
        waiting_.pop_front();
}

std::vector<std::uint64_t> LineLog::Expire(std::int64_t steadyNowMs)
{
    std::vector<std::uint64_t> marked;
    // Deadlines may be out of order when the time-outs differ: look at all.
    for (auto it = waiting_.begin(); it != waiting_.end();) {
        if (it->deadlineMs > steadyNowMs) {
            ++it;
            continue;
        }
        if (Entry* e = FindMutable(it->seq)) {
            e->unanswered = true;
            marked.push_back(it->seq);
        }
        it = waiting_.erase(it);
    }
    return marked;
}

std::optional<std::int64_t> LineLog::NextDeadline() const
{
    if (waiting_.empty())
        return std::nullopt;
    const auto it = std::min_element(waiting_.begin(), waiting_.end(),
                                     [](const Waiting& a, const Waiting& b) { return a.deadlineMs < b.deadlineMs; });
    return it->deadlineMs;
}

void LineLog::Clear()
{
    entries_.clear();
    waiting_.clear();
    bytes_ = 0;
}

const Entry* LineLog::Find(std::uint64_t seq) const
{
    if (seq < firstSeq() || seq >= nextSeq_)
        return nullptr;
    return &entries_[static_cast<std::size_t>(seq - firstSeq())];
}

Entry* LineLog::FindMutable(std::uint64_t seq) { return const_cast<Entry*>(std::as_const(*this).Find(seq)); }

std::string FormatTime(std::int64_t wallMs)
{
    const std::time_t seconds = static_cast<std::time_t>(wallMs / 1000);
    const int ms = static_cast<int>(wallMs % 1000);
    const std::optional<std::tm> tm = civil::LocalTime(seconds);
    if (!tm)
        return {};
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03d", tm->tm_hour, tm->tm_min, tm->tm_sec, ms < 0 ? 0 : ms);
    return text;
}

std::string Meaning(const Entry& e)
{
    std::string text = DescribeFrame(e.direction, e.bytes);
    if (e.unanswered)
        text += DTU_TR("monitor", " (no answer)");
    return text;
}

std::string TextLine(const Entry& e)
{
    char head[64];
    std::snprintf(head, sizeof head, "%s  %-8s  %4zu  ", FormatTime(e.wallMs).c_str(), DirectionName(e.direction),
                  e.bytes.size());
    return head + HexText(e.bytes) + "  " + Meaning(e);
}

std::string CsvHeader() { return "time,direction,length,bytes,meaning"; }

std::string CsvField(const std::string& field)
{
    if (field.find_first_of(",\"\r\n") == std::string::npos)
        return field;
    std::string out = "\"";
    for (const char c : field) {
        if (c == '"')
            out += '"';
        out += c;
    }
    return out + '"';
}

std::string CsvLine(const Entry& e)
{
    return CsvField(FormatTime(e.wallMs)) + ',' + DirectionName(e.direction) + ',' + std::to_string(e.bytes.size()) +
           ',' + CsvField(HexText(e.bytes)) + ',' + CsvField(Meaning(e));
}

std::vector<std::string> ParseCsvLine(const std::string& line)
{
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
                fields.back() += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                fields.back() += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

}  // namespace monitor
