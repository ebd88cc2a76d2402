#include "driver/server/EventText.h"

#include "core/common/ByteText.h"
#include "core/common/Hex.h"
#include "core/common/Tr.h"
#include "core/pages/DataFrame.h"
#include "core/pages/TypedBytes.h"

#include <cstdio>
#include <ctime>

namespace server {

namespace {

std::string Seconds(std::int64_t ms)
{
    char text[32];
    std::snprintf(text, sizeof text, "%lld.%03lld s", static_cast<long long>(ms / 1000), static_cast<long long>(ms % 1000));
    return text;
}

}  // namespace

std::string FormatTime(std::int64_t wallMs)
{
    const std::time_t t = static_cast<std::time_t>(wallMs / 1000);
    std::tm tm{};
    localtime_r(&t, &tm);
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03d", tm.tm_hour, tm.tm_min, tm.tm_sec,
                  static_cast<int>(wallMs % 1000));
    return text;
}

std::string PacketText(const Bytes& bytes, text::Encoding encoding)
{
    return text::EscapedLine(bytes, encoding);
}

const char* KindName(EventKind kind)
{
    switch (kind) {
    case EventKind::Listening:
        return "listening";
    case EventKind::Connected:
        return "connect";
    case EventKind::Refused:
        return "refused";
    case EventKind::Registration:
        return "registration";
    case EventKind::Heartbeat:
        return "heartbeat";
    case EventKind::Data:
        return "data";
    case EventKind::Sent:
        return "sent";
    case EventKind::Closed:
        return "close";
    case EventKind::Stopped:
        return "stopped";
    }
    return "?";
}

const char* MatchName(Match match)
{
    return match == Match::Equal ? "equal" : match == Match::Different ? "different" : "";
}

std::string FormatEvent(const Event& e, text::Encoding encoding)
{
    std::string line = FormatTime(e.wallMs) + "  ";
    // Appended piece by piece: "#" + std::to_string(...) makes GCC 12 see an
    // overlapping copy that is none (-Wrestrict, Release builds).
    if (e.id != 0)
        line.append("#").append(std::to_string(e.id)).append(" ");
    switch (e.kind) {
    case EventKind::Listening:
        return line + "listening on " + e.peer;
    case EventKind::Stopped:
        return line + "stopped";
    case EventKind::Refused:
        return line + e.peer + "  refused: " + e.reason;
    case EventKind::Connected:
        return line + e.peer + "  connect";
    case EventKind::Closed:
        return line + e.peer + "  close: " + e.reason + "; " + std::to_string(e.bytesIn) + " bytes in, " +
               std::to_string(e.bytesOut) + " out";
    default:
        break;
    }
    line += e.peer + "  " + KindName(e.kind);
    if (e.kind == EventKind::Heartbeat) {
        line.append(" ").append(std::to_string(e.heartbeats));
        if (e.intervalMs >= 0)
            line += " after " + Seconds(e.intervalMs);
    }
    const std::string spaced = hex::FormatSpaced(e.bytes);  // "50 49 4E 47 "
    line += "  " + std::to_string(e.bytes.size()) + " bytes  " + spaced.substr(0, spaced.empty() ? 0 : spaced.size() - 1);
    line += "  \"" + PacketText(e.bytes, encoding) + "\"";
    if (e.kind == EventKind::Registration && e.match != Match::NotExpected)
        line += std::string("  ") + (e.match == Match::Equal ? "as expected" : "NOT as expected");
    return line;
}

std::variant<Bytes, std::string> ParseSendText(std::string_view typed, bool hex, text::Encoding encoding)
{
    pages::TypedBytes read = pages::ReadTyped(typed, hex, encoding);
    switch (read.fault) {
    case pages::TypedBytes::Fault::None:
        return std::move(read.bytes);
    case pages::TypedBytes::Fault::NotInGbk:
        return text::Fill(DTU_TR("server", "Character %1, “%2”, has no GBK code and cannot be sent as GBK!"),
                          {std::to_string(read.count), read.text});
    case pages::TypedBytes::Fault::NotHex:
        return std::move(read.text);
    case pages::TypedBytes::Fault::OddDigits:
        break;
    }
    return text::Fill(DTU_TR("server", "%1 holds an odd number of hex digits (%2); each byte takes two digits!"),
                      {text::Translate("pages", pages::kDataField), std::to_string(read.count)});
}

}  // namespace server
