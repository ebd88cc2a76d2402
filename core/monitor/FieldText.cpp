#include "core/monitor/FieldText.h"

#include "core/common/Codepage.h"
#include "core/common/Hex.h"
#include "core/common/Tr.h"
#include "core/dtu/Commands.h"
#include "core/dtu/Frame.h"
#include "core/dtu/Lists.h"
#include "core/dtu/Responses.h"
#include "core/dtu/Rf.h"
#include "core/monitor/TextParts.h"

namespace monitor {

using namespace parts;
namespace cmd = dtu::cmd;

namespace {

// The DTU's serial settings travel as list indexes; name them as the DTU
// page's lists do ("115200 baud, parity NO, TTL"), the index where it is
// off the list.
std::string SerialSettings(std::span<const std::uint8_t> p)
{
    const auto& bauds = dtu::kBaudCaptions;
    const auto& parities = dtu::kParityCaptions;
    const auto& interfaces = dtu::kInterfaceCaptions;
    const auto index = [](const char* what, std::uint8_t i) {
        return std::string(what) + DTU_TR("monitor", " index ") + std::to_string(i);
    };
    return (p[0] < std::size(bauds) ? std::string(bauds[p[0]]) + DTU_TR("monitor", " baud")
                                    : index(DTU_TR("monitor", "baud"), p[0])) +
           ", " +
           (p[1] < std::size(parities) ? DTU_TR("monitor", "parity ") + std::string(parities[p[1]])
                                       : index(DTU_TR("monitor", "parity"), p[1])) +
           ", " +
           (p[2] < std::size(interfaces) ? std::string(interfaces[p[2]]) : index(DTU_TR("monitor", "interface"), p[2]));
}

std::string ProtocolOptions(std::uint8_t bits)
{
    // The list separator is the language's: "短信、短信HEX" in Chinese.
    return Join({bits & 1 ? DTU_TR("monitor", "SMS") : "", bits & 2 ? DTU_TR("monitor", "SMS hex") : "",
                 bits & 4 ? "TCP" : ""},
                DTU_TR("monitor", ", "));
}

std::string WorkMode(std::uint8_t kind, std::uint8_t modeByte)
{
    if (kind == 2) {
        const std::string options = ProtocolOptions(modeByte);
        return options.empty() ? DTU_TR("monitor", "protocol mode")
                               : Format(DTU_TR("monitor", "protocol mode (%s)"), options.c_str());
    }
    return modeByte == 0xFF ? DTU_TR("monitor", "transparent mode, no sub-mode")
                            : Format(DTU_TR("monitor", "transparent mode, sub-mode %u"), modeByte);
}

std::string Records(std::size_t count, const char* what, const std::vector<std::string>& items)
{
    return Join({Format(DTU_TR("monitor", "%zu %s"), count, what), Join(items)}, ": ");
}

// The records of a frame, read by the core's decoders as the DTU page reads
// them: requests carry the same records as the answers.
std::string Ids(const dtu::Response& r)
{
    const std::vector<std::string> ids = dtu::DecodeIdList(r);
    return Records(ids.size(), ids.size() == 1 ? DTU_TR("monitor", "ID") : DTU_TR("monitor", "IDs"), ids);
}

std::string Phones(const dtu::Response& r)
{
    const std::vector<std::string> numbers = dtu::DecodePhoneList(r);
    return Records(numbers.size(), numbers.size() == 1 ? DTU_TR("monitor", "number") : DTU_TR("monitor", "numbers"),
                   numbers);
}

std::string OwnId(const dtu::Response& r)
{
    const dtu::OwnId id = dtu::DecodeOwnId(r);
    return id.id + (id.custom ? DTU_TR("monitor", ", custom") : DTU_TR("monitor", ", not custom"));
}

std::string Clock(Span p)
{
    return Format(DTU_TR("monitor", "%u-%02u-%02u %02u:%02u:%02u, weekday %u"), 2000 + p[0], p[1], p[2], p[3], p[4],
                  p[5], p[6]);
}

std::string Rf(Span p)
{
    const dtu::RfRecord r = dtu::DecodeRf(p.first<7>());
    return Format(DTU_TR("monitor", "%s MHz, sleep index %d, breathing index %d, address %s, power index %d"),
                  r.frequency.c_str(), r.sleepIndex, r.breathIndex, r.address.c_str(), r.powerIndex);
}

std::string Packets(const dtu::Response& r)
{
    const dtu::Packets p = dtu::DecodePackets(r);
    return Join({p.custom ? DTU_TR("monitor", "custom") : DTU_TR("monitor", "not custom"),
                 DTU_TR("monitor", "heartbeat ") + Quoted(hex::FormatPlain(p.heartbeat)),
                 DTU_TR("monitor", "registration ") + Quoted(hex::FormatPlain(p.registration))});
}

bool AllZero(Span p)
{
    return std::all_of(p.begin(), p.end(), [](std::uint8_t b) { return b == 0; });
}

}  // namespace

// The fields of a well-formed request's payload; `frame` is the whole frame.
std::string RequestFields(std::uint8_t code, Span frame, Span p)
{
    const dtu::Response r(frame, static_cast<std::int32_t>(frame.size()));
    const std::size_t query = dtu::QueryPayloadSize(code);
    if (query != 0) {
        if (p.size() == query && AllZero(p))
            return {};
        return Format(DTU_TR("monitor", "%zu-byte payload, %zu zero bytes expected"), p.size(), query);
    }
    switch (code) {
    case cmd::kWritePhoneList:
        return Phones(r);
    case cmd::kWriteIdList:
        return Ids(r);
    case cmd::kSetDomain:
        return Quoted(LowByteText(p));
    case cmd::kSetServerIp:
        return p.size() >= 4 ? dtu::IpText({p[0], p[1], p[2], p[3]}) : std::string{};
    case cmd::kSetPort:
        return p.size() >= 2 ? Format(DTU_TR("monitor", "port %u"), p[0] << 8 | p[1]) : std::string{};
    case cmd::kSetWorkMode:
        return p.size() >= 2 ? WorkMode(p[0] == 1 ? 1 : 2, p[1]) : std::string{};
    case cmd::kWriteUart:
        return p.size() >= 3 ? SerialSettings(p) : std::string{};
    case cmd::kWriteRf:
        return p.size() >= 7 ? Rf(p) : std::string{};
    case cmd::kSetApn: {
        if (p.size() < 96)
            return {};
        const dtu::Apn apn = dtu::DecodeApn(r);
        return Join({"APN " + Quoted(apn.apn), DTU_TR("monitor", "user ") + Quoted(apn.user),
                     DTU_TR("monitor", "password ") + Quoted(apn.password)});
    }
    case cmd::kWritePackets:
        return p.size() >= 45 ? Packets(r) : std::string{};
    case cmd::kSetOwnId:
        return p.size() >= 7 ? OwnId(r) : std::string{};
    case cmd::kSetClock:
        return p.size() >= 7 ? Clock(p) : std::string{};
    default:
        return {};
    }
}

// The fields of a well-formed response; `frame` is the whole frame.
std::string ResponseFields(std::uint8_t code, Span frame, Span p)
{
    const dtu::Response r(frame, static_cast<std::int32_t>(frame.size()));
    switch (code) {
    case cmd::kReadPhoneList:
        return Phones(r);
    case cmd::kReadIdList:
        return Ids(r);
    case cmd::kReadNetParams: {
        if (p.size() < 41)
            break;
        const dtu::NetParams n = dtu::DecodeNetParams(r);
        const char* address = n.addressKind == 0   ? DTU_TR("monitor", "address by IP")
                              : n.addressKind == 1 ? DTU_TR("monitor", "address by domain")
                                                   : DTU_TR("monitor", "IP and domain");
        return Join({Format(DTU_TR("monitor", "%u.%u.%u.%u port %u"), n.ip[0], n.ip[1], n.ip[2], n.ip[3], n.port),
                     WorkMode(n.transferKind, n.modeByte), address,
                     n.domain.empty() ? std::string{} : DTU_TR("monitor", "domain ") + Quoted(n.domain)});
    }
    case cmd::kReadUart:
        if (p.size() < 3)
            break;
        return SerialSettings(p);
    case cmd::kReadOwnId:
        if (p.size() < 7)
            break;
        return OwnId(r);
    case cmd::kReadVersion:
        return Quoted(dtu::DecodeText(r, dtu::kVersionCapacity));
    case cmd::kReadSignal:
        return Quoted(dtu::DecodeText(r, dtu::kSignalCapacity));
    case cmd::kReadPackets:
        if (p.size() < 45)
            break;
        return Packets(r);
    case cmd::kReadClock:
        if (p.size() < 7)
            break;
        return Clock(p);
    case cmd::kReadRf:
        if (p.size() < 7)
            break;
        return Rf(p);
    default:
        return p.size() == 1 && p[0] == 0x01 ? DTU_TR("monitor", "acknowledged")
                                             : Format(DTU_TR("monitor", "%zu payload bytes"), p.size());
    }
    return Format(DTU_TR("monitor", "short answer, %zu payload bytes"), p.size());
}

}  // namespace monitor
