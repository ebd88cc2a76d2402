#include "core/dtu/Responses.h"

#include "core/common/Codepage.h"
#include "core/common/Hex.h"
#include "core/common/Tr.h"
#include "core/dtu/Commands.h"
#include "core/dtu/Messages.h"

#include <algorithm>
#include <cstdio>

namespace dtu {

Bytes Response::Payload(std::size_t from, std::size_t n) const
{
    Bytes out(n);
    CopyPayload(from, out);
    return out;
}

void Response::CopyPayload(std::size_t from, std::span<std::uint8_t> out) const
{
    // Past the end of the buffer reads as 0, as in P.
    const std::size_t start = std::min(4 + from, buffer_.size());
    const auto received = buffer_.subspan(start, std::min(out.size(), buffer_.size() - start));
    std::fill(std::copy(received.begin(), received.end(), out.begin()), out.end(), std::uint8_t{0});
}

namespace {

// A fixed-size field on the stack: list answers hold dozens of them.
template <std::size_t N>
std::array<std::uint8_t, N> Record(const Response& r, std::size_t from)
{
    std::array<std::uint8_t, N> out;
    r.CopyPayload(from, out);
    return out;
}

}  // namespace

ResponsePlan PlanResponse(const Response& r)
{
    if (r.IsDataFrame())
        return {};
    if (!r.EnvelopeOk())
        return {Decoder::None, msg::kFail, nullptr};
    switch (r.Code()) {
    case cmd::kReadPhoneList:
        return {Decoder::PhoneList, msg::kSuccess, nullptr};
    case cmd::kReadIdList:
        return {Decoder::IdList, msg::kSuccess, nullptr};
    case cmd::kReadNetParams:
        return {Decoder::NetParams, msg::kSuccess, nullptr};
    case cmd::kReadUart:
        return {Decoder::Uart, msg::kSuccess, nullptr};
    case cmd::kReadOwnId:
        return {Decoder::OwnId, msg::kSuccess, nullptr};
    case cmd::kReadVersion:
        return {Decoder::Version, msg::kSuccess, nullptr};
    case cmd::kReadSignal:
        return {Decoder::Signal, msg::kSuccess, nullptr};
    case cmd::kWriteRf:
        return {Decoder::RfWritten, nullptr, msg::kRfWritten};
    case cmd::kReadRf:
        return {Decoder::RfRead, nullptr, msg::kRfRead};
    case cmd::kWritePackets:
        return {Decoder::None, msg::kSuccess, msg::kPacketsWritten};
    case cmd::kReadPackets:
        return {Decoder::Packets, msg::kSuccess, msg::kPacketsRead};
    case cmd::kReadClock:
        return {Decoder::Clock, msg::kSuccess, nullptr, true};
    default:
        // Write acknowledgements and codes the page does not decode.
        return {Decoder::None, msg::kSuccess, nullptr};
    }
}

std::vector<std::string> DecodePhoneList(const Response& r)
{
    std::vector<std::string> numbers;
    const std::size_t records = r.PayloadLength() / 12;
    numbers.reserve(records);
    for (std::size_t i = 0; i < records; ++i)
        numbers.push_back(text::FromAnsi(Record<11>(r, 12 * i)));
    return numbers;
}

std::vector<std::string> DecodeIdList(const Response& r)
{
    std::vector<std::string> ids;
    const std::size_t records = r.PayloadLength() / 7;
    ids.reserve(records);
    for (std::size_t i = 0; i < records; ++i)
        ids.push_back(hex::FormatPlain(Record<6>(r, 7 * i)));
    return ids;
}

std::string IpText(const std::array<std::uint8_t, 4>& ip)
{
    return std::to_string(ip[0]) + "." + std::to_string(ip[1]) + "." + std::to_string(ip[2]) + "." +
           std::to_string(ip[3]);
}

NetParams DecodeNetParams(const Response& r)
{
    NetParams p{};
    p.domain = text::FromAnsi(Record<32>(r, 0));
    p.ip = {r.P(32), r.P(33), r.P(34), r.P(35)};
    p.port = static_cast<std::uint16_t>(r.P(36) << 8 | r.P(37));
    p.transferKind = r.P(38);
    p.modeByte = r.P(39);
    p.addressKind = r.P(40);
    return p;
}

void ApplyNetParams(const NetParams& p, NetPageState& page)
{
    page.sms = page.smsHex = page.tcp = false;
    if (p.addressKind == 1) {
        page.domain = p.domain;
        page.ip.reset();
        page.addressKind = 1;
    } else if (p.addressKind == 0) {
        page.domain.clear();
        page.ip = p.ip;
        page.addressKind = 0;
    } else {
        page.domain = p.domain;
        page.ip = p.ip;
    }
    page.port = std::to_string(p.port);
    if (p.transferKind == 2) {
        page.transferKind = 0;
        page.sms = (p.modeByte & 1) != 0;
        page.smsHex = (p.modeByte & 2) != 0;
        page.tcp = (p.modeByte & 4) != 0;
        page.optionsEnabled = true;
        page.subModesEnabled = false;
    } else {
        page.transferKind = 1;
        page.subMode = p.modeByte;  // 3 or more: no button of the group checked
        page.optionsEnabled = false;
        page.subModesEnabled = true;
    }
}

UartIndexes DecodeUart(const Response& r)
{
    return {r.P(0), r.P(1), r.P(2) % 3};
}

OwnId DecodeOwnId(const Response& r)
{
    return {hex::FormatPlain(Record<6>(r, 0)), r.P(6) == 0xAA};
}

std::optional<int> SignalStrength(std::string_view report)
{
    if (const std::size_t at = report.find("CSQ:"); at != std::string_view::npos)
        report.remove_prefix(at + 4);
    while (!report.empty() && (report.front() == ' ' || report.front() == '\t'))
        report.remove_prefix(1);
    int value = 0;
    std::size_t digits = 0;
    for (; digits < report.size() && digits < 3 && report[digits] >= '0' && report[digits] <= '9'; ++digits)
        value = value * 10 + (report[digits] - '0');
    const bool ends = digits == report.size() || report[digits] == ',' || report[digits] == ' ' ||
                      report[digits] == '\r' || report[digits] == '\n';
    if (digits == 0 || !ends || value > 31)
        return std::nullopt;
    return value;
}

std::string DecodeText(const Response& r, std::size_t capacity)
{
    // Longer texts are cut to what the field can hold.
    const std::size_t n = std::min<std::size_t>(r.PayloadLength(), capacity - 1);
    std::array<std::uint8_t, 255> payload;  // the length is one byte
    const auto bytes = std::span(payload).first(n);
    r.CopyPayload(0, bytes);
    return text::FromAnsi(bytes);
}

Packets DecodePackets(const Response& r)
{
    const std::size_t n = r.P(1) % 11;
    const std::size_t m = r.P(12) % 33;
    return {r.P(0) == 0xAA, r.Payload(2, n), r.Payload(13, m)};
}

std::string PacketText(const Bytes& packet, bool hex)
{
    return hex ? hex::FormatSpaced(packet) : text::FromAnsi(packet);
}

Apn DecodeApn(const Response& r)
{
    return {text::FromAnsi(Record<32>(r, 0)), text::FromAnsi(Record<32>(r, 32)), text::FromAnsi(Record<32>(r, 64))};
}

std::string DecodeClock(const Response& r)
{
    char buffer[80];
    std::snprintf(buffer, sizeof buffer, DTU_TR("dtu", "%04d-%02d-%02d %02d:%02d:%02d weekday %d"), 2000 + r.P(0),
                  r.P(1), r.P(2), r.P(3), r.P(4), r.P(5), r.P(6));
    return buffer;
}

RfRecord DecodeRfAnswer(const Response& r)
{
    return DecodeRf(Record<7>(r, 0));
}

}  // namespace dtu
