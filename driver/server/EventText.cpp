#include "driver/server/EventText.h"

#include "core/common/Codepage.h"
#include "core/common/Hex.h"
#include "core/pages/DataFrame.h"

#include <cstdio>
#include <ctime>

namespace server {

namespace {

bool IsControl(std::uint8_t b)
{
    return b < 0x20 || b == 0x7F;
}

// The bytes of valid UTF-8 sequences as they are, anything else as U+FFFD.
std::string CleanUtf8(const std::uint8_t* p, std::size_t n)
{
    std::string out;
    for (std::size_t i = 0; i < n;) {
        const std::uint8_t b = p[i];
        const std::size_t len = b < 0x80 ? 1 : (b >> 5) == 0x6 ? 2 : (b >> 4) == 0xE ? 3 : (b >> 3) == 0x1E ? 4 : 0;
        bool ok = len > 0 && i + len <= n;
        for (std::size_t k = 1; ok && k < len; ++k)
            ok = (p[i + k] & 0xC0) == 0x80;
        if (ok) {
            out.append(reinterpret_cast<const char*>(p + i), len);
            i += len;
        } else {
            out += "\xEF\xBF\xBD";
            ++i;
        }
    }
    return out;
}

std::string Escape(std::uint8_t b)
{
    switch (b) {
    case '\r':
        return "\\r";
    case '\n':
        return "\\n";
    case '\t':
        return "\\t";
    default: {
        char text[8];
        std::snprintf(text, sizeof text, "\\x%02X", b);
        return text;
    }
    }
}

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

std::string PacketText(const Bytes& bytes, Encoding encoding)
{
    // Control bytes are never part of a GBK or UTF-8 character, so the
    // runs between them decode on their own.
    std::string out;
    for (std::size_t i = 0; i < bytes.size();) {
        if (IsControl(bytes[i])) {
            out += Escape(bytes[i++]);
            continue;
        }
        std::size_t end = i;
        while (end < bytes.size() && !IsControl(bytes[end]))
            ++end;
        out += encoding == Encoding::Gbk ? text::FromAnsi(std::span(bytes).subspan(i, end - i))
                                         : CleanUtf8(bytes.data() + i, end - i);
        i = end;
    }
    return out;
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

std::string FormatEvent(const Event& e, Encoding encoding)
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

std::variant<Bytes, std::string> ParseSendText(std::string_view typed, bool hex, Encoding encoding)
{
    if (!hex) {
        if (encoding == Encoding::Utf8)
            return Bytes(typed.begin(), typed.end());
        // Sent or compared, a '?' in its place would be a byte nobody typed.
        if (const auto culprit = text::FindNotInAnsi(typed))
            return text::Fill(DTU_TR("server", "Character %1, “%2”, has no GBK code and cannot be sent as GBK!"),
                              {std::to_string(culprit->position), culprit->character});
        return text::ToAnsi(typed);
    }
    if (auto refusal = pages::CheckHexText(typed, pages::kDataField, true))
        return *refusal;
    std::string digits;
    for (const char c : typed)
        if (hex::IsHexDigit(c))
            digits += c;
    if (digits.size() % 2 != 0)
        return text::Fill(DTU_TR("server", "%1 holds an odd number of hex digits (%2); each byte takes two digits!"),
                          {text::Translate("pages", pages::kDataField), std::to_string(digits.size())});
    return hex::ParsePairs(digits, digits.size() / 2);
}

}  // namespace server
