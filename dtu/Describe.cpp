#include "dtu/Describe.h"

#include "common/Hex.h"
#include "dtu/Commands.h"
#include "dtu/Responses.h"

#include <array>
#include <cstdio>

namespace dtu {

namespace {

std::string Caption(int index, std::span<const char* const> items)
{
    if (index >= 0 && static_cast<std::size_t>(index) < items.size())
        return items[static_cast<std::size_t>(index)];
    return "index " + std::to_string(index);
}

std::string Code(std::uint8_t code)
{
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", code);
    return text;
}

std::string Named(std::uint8_t code)
{
    const char* name = CommandName(code);
    return (name ? std::string(name) + " " : std::string()) + "(" + Code(code) + ")";
}

std::string Join(const std::vector<std::string>& items)
{
    if (items.empty())
        return "(empty)";
    std::string out;
    for (const std::string& item : items)
        out += (out.empty() ? "" : ", ") + item;
    return out;
}

std::string Ip(const std::array<std::uint8_t, 4>& ip)
{
    return std::to_string(ip[0]) + "." + std::to_string(ip[1]) + "." + std::to_string(ip[2]) + "." +
           std::to_string(ip[3]);
}

std::string Mode(const NetParams& p)
{
    if (p.transferKind == 2) {
        std::string options;
        const char* names[] = {"sms_ucs2", "sms_hex", "tcp"};
        for (int bit = 0; bit < 3; ++bit)
            if (p.modeByte & (1 << bit))
                options += (options.empty() ? "" : "+") + std::string(names[bit]);
        return "protocol transfer, options " + (options.empty() ? std::string("none") : options);
    }
    const char* subModes[] = {"sms_ucs2", "sms_hex", "tcp"};
    return std::string("transparent transfer, ") + (p.modeByte < 3 ? subModes[p.modeByte] : "no sub-mode");
}

std::string DescribeAnswer(const Response& r)
{
    const std::string head = "answer " + Named(r.Code());
    switch (PlanResponse(r).decoder) {
    case Decoder::PhoneList:
        return head + ": " + Join(DecodePhoneList(r));
    case Decoder::IdList:
        return head + ": " + Join(DecodeIdList(r));
    case Decoder::NetParams: {
        const NetParams p = DecodeNetParams(r);
        const char* kinds[] = {"IP", "domain"};
        return head + ": domain \"" + p.domain + "\", IP " + Ip(p.ip) + ", port " + std::to_string(p.port) + ", " +
               Mode(p) + ", uses " + (p.addressKind < 2 ? kinds[p.addressKind] : "both");
    }
    case Decoder::Uart: {
        const UartIndexes u = DecodeUart(r);
        return head + ": " + BaudCaption(u.baud) + " baud, parity " + ParityCaption(u.parity) + ", " +
               InterfaceCaption(u.interface);
    }
    case Decoder::OwnId: {
        const OwnId id = DecodeOwnId(r);
        return head + ": " + id.id + (id.custom ? " (custom)" : "");
    }
    case Decoder::Version:
        return head + ": " + DecodeText(r, kVersionCapacity);
    case Decoder::Signal:
        return head + ": " + DecodeText(r, kSignalCapacity);
    case Decoder::Packets: {
        const Packets p = DecodePackets(r);
        return head + ": heartbeat " + hex::FormatPlain(p.heartbeat) + ", registration " +
               hex::FormatPlain(p.registration) + (p.custom ? " (custom)" : "");
    }
    case Decoder::Clock:
        return head + ": " + DecodeClock(r);
    case Decoder::RfRead: {
        const RfRecord rf = DecodeRfAnswer(r);
        return head + ": " + rf.frequency + " MHz, sleep index " + std::to_string(rf.sleepIndex) +
               ", breathing index " + std::to_string(rf.breathIndex) + ", address " + rf.address +
               ", power index " + std::to_string(rf.powerIndex);
    }
    default:
        break;
    }
    // Upgrade replies carry three letters where an acknowledgement has one byte.
    if (r.Code() == cmd::kAppImage || r.Code() == cmd::kIapImage) {
        const std::string letters{static_cast<char>(r.P(0)), static_cast<char>(r.P(1)), static_cast<char>(r.P(2))};
        if (letters == "ACK" || letters == "ECK" || letters == "DCK")
            return head + ": " + letters;
    }
    return head + ": acknowledged";
}

}  // namespace

const char* CommandName(std::uint8_t code)
{
    switch (code) {
    case cmd::kWritePhoneList: return "write phone list";
    case cmd::kReadPhoneList: return "read phone list";
    case cmd::kWriteIdList: return "write ID list";
    case cmd::kReadIdList: return "read ID list";
    case cmd::kSetDomain: return "set server domain";
    case cmd::kSetServerIp: return "set server IP";
    case cmd::kSetPort: return "set server port";
    case cmd::kSetWorkMode: return "set working mode";
    case cmd::kReadNetParams: return "read network parameters";
    case cmd::kClearPhoneList: return "clear phone list";
    case cmd::kClearIdList: return "clear ID list";
    case cmd::kWriteUart: return "write serial settings";
    case cmd::kReadUart: return "read serial settings";
    case cmd::kReadOwnId: return "read own ID";
    case cmd::kAppImage: return "APP image";
    case cmd::kReadVersion: return "read version";
    case cmd::kRestart: return "restart";
    case cmd::kWriteRf: return "write wireless parameters";
    case cmd::kReadRf: return "read wireless parameters";
    case cmd::kSetApn: return "set APN";
    case cmd::kWritePackets: return "write packets";
    case cmd::kReadPackets: return "read packets";
    case cmd::kSetOwnId: return "set own ID";
    case cmd::kSetClock: return "set clock";
    case cmd::kReadClock: return "read clock";
    case cmd::kReadSignal: return "read signal";
    default: return nullptr;
    }
}

std::string BaudCaption(int index)
{
    static constexpr std::array<const char*, 8> kItems{"1200", "2400", "4800", "9600", "19200", "38400", "57600", "115200"};
    return Caption(index, kItems);
}

std::string ParityCaption(int index)
{
    static constexpr std::array<const char*, 3> kItems{"NO", "ODD", "EVEN"};
    return Caption(index, kItems);
}

std::string InterfaceCaption(int index)
{
    static constexpr std::array<const char*, 3> kItems{"TTL", "RS232", "RS485"};
    return Caption(index, kItems);
}

std::string DescribeFrame(std::span<const std::uint8_t> frame)
{
    const auto at = [&](std::size_t i) -> std::uint8_t { return i < frame.size() ? frame[i] : 0; };
    const std::string bytes = hex::FormatSpaced(frame);
    if (frame.size() < 4)
        return "fragment: " + bytes;
    const bool blockHead = (at(0) == 0xFA && at(2) == cmd::kAppImage) || (at(0) == 0xFB && at(2) == cmd::kIapImage);
    if (at(1) == 0x80 && blockHead) {
        const char* kind = at(0) == 0xFA ? "APP" : "IAP";
        const unsigned n = static_cast<unsigned>(at(4)) << 8 | at(5);
        if (at(0) == 0xFA && at(3) == 0xFF && n == 8) {
            const auto word = [&](std::size_t i) {
                return static_cast<unsigned>(at(i)) << 24 | static_cast<unsigned>(at(i + 1)) << 16 |
                       static_cast<unsigned>(at(i + 2)) << 8 | at(i + 3);
            };
            char text[96];
            std::snprintf(text, sizeof text, "end of APP image: %u bytes, CRC-32 %08X", word(6), word(10));
            return text;
        }
        return std::string(kind) + " image block " + std::to_string(at(3)) + ", " + std::to_string(n) + " bytes";
    }
    if (at(0) == kFrameStart && at(1) == kRequestDirection)
        return "request " + Named(at(2)) + ": " + bytes;
    if (at(0) == kFrameStart && at(1) == kResponseDirection) {
        const Response r(frame, static_cast<std::int32_t>(frame.size()));
        if (!r.EnvelopeOk())
            return "malformed answer " + Named(at(2)) + ": " + bytes;
        return DescribeAnswer(r);
    }
    return "data: " + bytes;
}

}  // namespace dtu
