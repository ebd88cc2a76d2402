#include "core/dtu/Requests.h"

#include "core/common/Codepage.h"
#include "core/common/Hex.h"
#include "core/dtu/Commands.h"
#include "core/dtu/Messages.h"

#include <algorithm>
#include <climits>

namespace dtu {

namespace {

Built Accept(std::optional<Bytes> frame, const char* tooLong)
{
    if (!frame)
        return {{}, tooLong};
    return {std::move(*frame), {}};
}

Bytes Request(std::uint8_t code, const Bytes& payload)
{
    // Fixed-size payloads: always within the length byte.
    return *BuildRequest(code, payload);
}

bool AllOf(std::string_view s, bool (*pred)(char))
{
    return std::all_of(s.begin(), s.end(), pred);
}

void AppendField(Bytes& payload, const text::Bytes& bytes, std::size_t width)
{
    const std::size_t n = std::min(bytes.size(), width);
    payload.insert(payload.end(), bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n));
    payload.insert(payload.end(), width - n, 0x00);
}

}  // namespace

std::string ListLabel(int count)
{
    return "A00" + std::to_string(count);
}

std::optional<std::string> CheckPhoneEntry(std::string_view text, int count)
{
    if (count >= kMaxListRows)
        return msg::kPhoneListFull;
    const std::size_t length = text::Utf16Length(text);
    if (length == 0)
        return msg::kPhoneEmpty;
    if (length < 11)
        return msg::kPhoneTooShort;
    if (length > 11)
        return msg::kPhoneTooLong;
    // Eleven code units, but a pasted non-ASCII character makes the text
    // longer than eleven bytes; it is no digit either way.
    if (text.size() != 11 || !AllOf(text, hex::IsDigit))
        return msg::kPhoneNotDigits;
    return std::nullopt;
}

std::optional<std::string> CheckIdEntry(std::string_view text, int count)
{
    if (count >= kMaxListRows)
        return msg::kIdListFull;
    const std::size_t length = text::Utf16Length(text);
    if (length == 0)
        return msg::kIdEmpty;
    if (length < 12)
        return msg::kIdTooShort;
    if (length > 12)
        return msg::kIdTooLong;
    if (text.size() != 12 || !AllOf(text, hex::IsHexDigit))
        return msg::kIdNotHex;
    return std::nullopt;
}

Built BuildWritePhoneList(const std::vector<std::string>& numbers)
{
    Bytes payload;
    payload.reserve(12 * numbers.size());
    for (const std::string& number : numbers) {
        Bytes digits = text::LowBytes(number);
        digits.resize(11, 0x00);
        payload.insert(payload.end(), digits.begin(), digits.end());
        payload.push_back(',');
    }
    return Accept(BuildRequest(cmd::kWritePhoneList, payload), msg::kPhoneListFull);
}

Built BuildWriteIdList(const std::vector<std::string>& ids)
{
    Bytes payload;
    payload.reserve(7 * ids.size());
    for (const std::string& id : ids) {
        const Bytes bytes = hex::ParsePairs(id, 6);
        payload.insert(payload.end(), bytes.begin(), bytes.end());
        payload.push_back(',');
    }
    return Accept(BuildRequest(cmd::kWriteIdList, payload), msg::kIdListFull);
}

Bytes BuildSetOwnId(std::string_view text, bool custom)
{
    const text::Bytes ansi = text::ToAnsi(hex::RemoveSpaces(text));
    Bytes payload = hex::ParsePairs(std::string_view(reinterpret_cast<const char*>(ansi.data()), ansi.size()), 6);
    payload.push_back(custom ? kCustomFlag : 0x00);
    return Request(cmd::kSetOwnId, payload);
}

Bytes BuildSetServerIp(const std::array<std::uint8_t, 4>& ip)
{
    return Request(cmd::kSetServerIp, Bytes(ip.begin(), ip.end()));
}

Built BuildSetDomain(std::string_view domain)
{
    const std::size_t length = text::Utf16Length(domain);
    if (length == 0)
        return {{}, msg::kDomainEmpty};
    if (length > 32)
        return {{}, msg::kDomainTooLong};
    Bytes payload;
    payload.reserve(32);
    AppendField(payload, text::LowBytes(domain), 32);
    return {Request(cmd::kSetDomain, payload), {}};
}

Built BuildSetPort(std::string_view port)
{
    if (port.empty())
        return {{}, msg::kPortEmpty};
    if (!AllOf(port, hex::IsDigit))
        return {{}, msg::kPortNotDigits};
    // Too large for a 32-bit signed number counts as that maximum.
    long long value = 0;
    for (char c : port)
        value = std::min<long long>(value * 10 + (c - '0'), INT_MAX);
    if (value > 65535)
        return {{}, msg::kPortTooLarge};
    return {Request(cmd::kSetPort, {static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value & 0xFF)}),
            {}};
}

Bytes BuildSetWorkMode(const WorkMode& mode)
{
    if (mode.transferKind == 0) {
        const std::uint8_t bits = static_cast<std::uint8_t>((mode.sms ? 1 : 0) | (mode.smsHex ? 2 : 0) |
                                                            (mode.tcp ? 4 : 0));
        return Request(cmd::kSetWorkMode, {0x02, bits});
    }
    return Request(cmd::kSetWorkMode, {0x01, static_cast<std::uint8_t>(mode.subMode & 0xFF)});
}

std::uint8_t IndexByte(int index)
{
    return static_cast<std::uint8_t>(index < 0 ? 0xFF : index & 0xFF);
}

Bytes BuildWriteUart(int baudIndex, int parityIndex, int interfaceIndex)
{
    return Request(cmd::kWriteUart, {IndexByte(baudIndex), IndexByte(parityIndex), IndexByte(interfaceIndex)});
}

Bytes BuildSetApn(std::string_view apn, std::string_view user, std::string_view password)
{
    Bytes payload;
    payload.reserve(3 * 32);
    for (std::string_view field : {apn, user, password})
        AppendField(payload, text::CutAnsi(text::ToAnsi(field), 32), 32);
    return Request(cmd::kSetApn, payload);
}

Bytes BuildSetClock(const LocalTime& t)
{
    const auto b = [](int v) { return static_cast<std::uint8_t>(v & 0xFF); };
    // Year - 2000 modulo 256, in unsigned arithmetic so no year can overflow.
    const auto year = static_cast<std::uint8_t>(static_cast<unsigned>(t.year) + 48u);
    return Request(cmd::kSetClock,
                   {year, b(t.month), b(t.day), b(t.hour), b(t.minute), b(t.second), b(t.weekday)});
}

Bytes BuildWritePackets(std::string_view heartbeat, std::string_view registration, bool custom, bool hexMode)
{
    Bytes payload;
    payload.reserve(3 + kHeartbeatField + kRegistrationField);
    payload.push_back(custom ? kCustomFlag : std::uint8_t{0x55});
    const auto field = [&](std::string_view typed, std::size_t width) {
        const std::string compact = hex::RemoveSpaces(typed);
        text::Bytes bytes = hexMode ? hex::HexToBytes(text::ToAnsi(hex::UpperAscii(compact)))
                                    : text::CutAnsi(text::ToAnsi(compact), width);
        bytes.resize(std::min(bytes.size(), width));
        payload.push_back(static_cast<std::uint8_t>(bytes.size()));
        AppendField(payload, bytes, width);
    };
    field(heartbeat, kHeartbeatField);
    field(registration, kRegistrationField);
    return Request(cmd::kWritePackets, payload);
}

}  // namespace dtu
