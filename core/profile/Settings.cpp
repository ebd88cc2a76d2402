#include "core/profile/Settings.h"

#include "core/common/Codepage.h"
#include "core/common/Hex.h"
#include "core/dtu/Commands.h"
#include "core/monitor/FrameText.h"
#include "core/profile/Profile.h"

#include <nlohmann/json.hpp>

#include <sstream>

namespace profile {

namespace {

// Text with the column count of what a terminal shows: a Chinese
// character takes two columns.
std::size_t Columns(const std::string& text)
{
    std::size_t columns = 0;
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        const std::size_t n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        columns += n >= 3 ? 2 : 1;
        i += n;
    }
    return columns;
}

std::string ModeOptions(const dtu::NetParams& p)
{
    std::vector<std::string> names;
    for (int bit = 0; bit < 3; ++bit)
        if (p.modeByte & (1 << bit))
            names.push_back(kSubModeNames[static_cast<std::size_t>(bit)]);
    return Join(names);
}

// A JSON string is a valid TOML basic string: the same escapes.
std::string Quote(const std::string& text)
{
    return nlohmann::json(text).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

std::string QuoteAll(const std::vector<std::string>& items)
{
    std::string out;
    for (const std::string& item : items)
        out += (out.empty() ? "" : ", ") + Quote(item);
    return "[" + out + "]";
}

// `key = "name"` when the index names a list entry, else a comment saying
// why the key is left out (the DTU keeps its value when a profile says
// nothing).
std::string ChoiceLine(const char* key, const std::vector<std::string>& names, int index, bool quoted = true)
{
    if (index < 0 || static_cast<std::size_t>(index) >= names.size())
        return std::string("# ") + key + ": the DTU reports index " + std::to_string(index) +
               ", which no profile value names\n";
    const std::string& name = names[static_cast<std::size_t>(index)];
    return std::string(key) + " = " + (quoted ? Quote(name) : name) + "\n";
}

}  // namespace

std::string Join(const std::vector<std::string>& items)
{
    std::string out;
    for (const std::string& item : items)
        out += (out.empty() ? "" : ", ") + item;
    return items.empty() ? "(none)" : out;
}

std::vector<QueryStep> QuerySteps(unsigned queries)
{
    namespace cmd = dtu::cmd;
    static const std::pair<Query, std::uint8_t> kOrder[] = {
        {kPhones, cmd::kReadPhoneList}, {kIds, cmd::kReadIdList},   {kOwnId, cmd::kReadOwnId},
        {kNet, cmd::kReadNetParams},    {kUart, cmd::kReadUart},    {kPackets, cmd::kReadPackets},
        {kRf, cmd::kReadRf},            {kVersion, cmd::kReadVersion}, {kSignal, cmd::kReadSignal},
        {kClock, cmd::kReadClock},
    };
    std::vector<QueryStep> steps;
    for (const auto& [query, code] : kOrder)
        if (queries & query)
            steps.push_back({query, code, monitor::CommandName(code)});
    return steps;
}

void TakeAnswer(DeviceSettings& s, std::uint8_t code, const dtu::Response& r)
{
    namespace cmd = dtu::cmd;
    switch (code) {
    case cmd::kReadPhoneList:
        s.phones = dtu::DecodePhoneList(r);
        break;
    case cmd::kReadIdList:
        s.ids = dtu::DecodeIdList(r);
        break;
    case cmd::kReadOwnId:
        s.ownId = dtu::DecodeOwnId(r);
        break;
    case cmd::kReadNetParams:
        s.net = dtu::DecodeNetParams(r);
        break;
    case cmd::kReadUart:
        s.uart = dtu::DecodeUart(r);
        break;
    case cmd::kReadPackets:
        s.packets = dtu::DecodePackets(r);
        break;
    case cmd::kReadRf:
        s.rf = dtu::DecodeRfAnswer(r);
        break;
    case cmd::kReadVersion:
        s.version = dtu::DecodeText(r, dtu::kVersionCapacity);
        break;
    case cmd::kReadSignal:
        s.signal = dtu::DecodeText(r, dtu::kSignalCapacity);
        break;
    case cmd::kReadClock:
        s.clock = dtu::DecodeClock(r);
        break;
    default:
        break;
    }
}

bool PacketIsText(const dtu::Bytes& packet)
{
    for (std::uint8_t b : packet)
        if (b <= 0x20 || b == 0x7F)
            return false;
    // The write side removes spaces and converts text to GBK: the packet is
    // text only when that gives back these very bytes.
    return text::ToAnsi(hex::RemoveSpaces(text::FromAnsi(packet))) == packet;
}

std::string PacketValue(const dtu::Bytes& packet)
{
    if (PacketIsText(packet))
        return text::FromAnsi(packet);
    return "hex " + hex::FormatJoined(packet);
}

std::vector<Row> SettingRows(const DeviceSettings& s)
{
    std::vector<Row> rows;
    const auto add = [&](std::string key, std::string value) { rows.push_back({std::move(key), std::move(value)}); };
    const auto boolean = [](bool b) { return std::string(b ? "true" : "false"); };
    if (s.phones)
        add("phones", Join(*s.phones));
    if (s.ids)
        add("ids", Join(*s.ids));
    if (s.ownId) {
        add("own_id.id", s.ownId->id);
        add("own_id.custom", boolean(s.ownId->custom));
    }
    if (s.net) {
        const dtu::NetParams& n = *s.net;
        add("server.ip", dtu::IpText(n.ip));
        add("server.domain", n.domain);
        add("server.uses", n.addressKind == 0 ? "ip" : n.addressKind == 1 ? "domain" : "both");
        add("server.port", std::to_string(n.port));
        add("mode.transfer", n.transferKind == 2 ? "protocol" : "transparent");
        if (n.transferKind == 2)
            add("mode.options", ModeOptions(n));
        else
            add("mode.sub_mode", n.modeByte < 3 ? kSubModeNames[n.modeByte] : "none");
    }
    if (s.uart) {
        add("serial.baud", NameAt(kBaudNames, s.uart->baud));
        add("serial.parity", NameAt(kParityNames, s.uart->parity));
        add("serial.interface", NameAt(kInterfaceNames, s.uart->interface));
    }
    if (s.packets) {
        add("packets.custom", boolean(s.packets->custom));
        add("packets.heartbeat", PacketValue(s.packets->heartbeat));
        add("packets.registration", PacketValue(s.packets->registration));
    }
    if (s.rf) {
        add("rf.frequency_mhz", s.rf->frequency);
        add("rf.sleep", NameAt(kSleepNames, s.rf->sleepIndex));
        add("rf.breathing", NameAt(kBreathingNames, s.rf->breathIndex));
        add("rf.address", std::to_string(dtu::LeadingInteger(s.rf->address)));
        add("rf.power", NameAt(kPowerNames, s.rf->powerIndex));
    }
    if (s.version)
        add("version", *s.version);
    if (s.signal)
        add("signal", *s.signal);
    if (s.clock)
        add("clock", *s.clock);
    return rows;
}

std::string FormatTable(const std::vector<std::vector<std::string>>& rows)
{
    std::vector<std::size_t> widths;
    for (const auto& row : rows)
        for (std::size_t i = 0; i < row.size(); ++i) {
            widths.resize(std::max(widths.size(), row.size()));
            widths[i] = std::max(widths[i], Columns(row[i]));
        }
    std::string out;
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t i = 0; i < row.size(); ++i) {
            line += row[i];
            if (i + 1 < row.size())
                line += std::string(widths[i] - Columns(row[i]) + 2, ' ');
        }
        out += line + "\n";
    }
    return out;
}

nlohmann::json SettingsJson(const DeviceSettings& s)
{
    nlohmann::json j = nlohmann::json::object();
    if (s.phones)
        j["phones"] = *s.phones;
    if (s.ids)
        j["ids"] = *s.ids;
    if (s.ownId)
        j["own_id"] = {{"id", s.ownId->id}, {"custom", s.ownId->custom}};
    if (s.net) {
        const dtu::NetParams& n = *s.net;
        j["server"] = {{"ip", dtu::IpText(n.ip)},
                       {"domain", n.domain},
                       {"uses", n.addressKind == 0 ? "ip" : n.addressKind == 1 ? "domain" : "both"},
                       {"port", n.port}};
        if (n.transferKind == 2) {
            std::vector<std::string> options;
            for (int bit = 0; bit < 3; ++bit)
                if (n.modeByte & (1 << bit))
                    options.push_back(kSubModeNames[static_cast<std::size_t>(bit)]);
            j["mode"] = {{"transfer", "protocol"}, {"options", options}};
        } else {
            j["mode"] = {{"transfer", "transparent"}, {"sub_mode", n.modeByte < 3 ? kSubModeNames[n.modeByte] : "none"}};
        }
    }
    if (s.uart)
        j["serial"] = {{"baud", NameAt(kBaudNames, s.uart->baud)},
                       {"parity", NameAt(kParityNames, s.uart->parity)},
                       {"interface", NameAt(kInterfaceNames, s.uart->interface)}};
    if (s.packets) {
        const auto packet = [](const dtu::Bytes& bytes) {
            return nlohmann::json{{"text", PacketIsText(bytes) ? text::FromAnsi(bytes) : ""}, {"hex", hex::FormatPlain(bytes)}};
        };
        j["packets"] = {{"custom", s.packets->custom},
                        {"heartbeat", packet(s.packets->heartbeat)},
                        {"registration", packet(s.packets->registration)}};
    }
    if (s.rf)
        j["rf"] = {{"frequency_mhz", s.rf->frequency},
                   {"sleep", NameAt(kSleepNames, s.rf->sleepIndex)},
                   {"breathing", NameAt(kBreathingNames, s.rf->breathIndex)},
                   {"address", dtu::LeadingInteger(s.rf->address)},
                   {"power", NameAt(kPowerNames, s.rf->powerIndex)}};
    if (s.version)
        j["version"] = *s.version;
    if (s.signal)
        j["signal"] = *s.signal;
    if (s.clock)
        j["clock"] = *s.clock;
    return j;
}

std::string SettingsProfile(const DeviceSettings& s)
{
    std::ostringstream out;
    const auto boolean = [](bool b) { return b ? "true" : "false"; };
    if (s.phones)
        out << "phones = " << QuoteAll(*s.phones) << "\n";
    if (s.ids)
        out << "ids = " << QuoteAll(*s.ids) << "\n";
    if (s.ownId)
        out << "\n[own_id]\nid = " << Quote(s.ownId->id) << "\ncustom = " << boolean(s.ownId->custom) << "\n";
    if (s.net) {
        const dtu::NetParams& n = *s.net;
        out << "\n[server]\n";
        if (n.addressKind == 1)
            out << "domain = " << Quote(n.domain) << "\n";
        else
            out << "ip = " << Quote(dtu::IpText(n.ip)) << "\n";
        if (n.addressKind > 1)
            out << "# the DTU reports both an IP address and a domain in use; domain = " << Quote(n.domain) << "\n";
        out << "port = " << n.port << "\n";
        out << "\n[mode]\n";
        if (n.transferKind == 2) {
            std::vector<std::string> options;
            for (int bit = 0; bit < 3; ++bit)
                if (n.modeByte & (1 << bit))
                    options.push_back(kSubModeNames[static_cast<std::size_t>(bit)]);
            out << "transfer = \"protocol\"\noptions = " << QuoteAll(options) << "\n";
        } else if (n.modeByte < 3) {
            out << "transfer = \"transparent\"\nsub_mode = " << Quote(kSubModeNames[n.modeByte]) << "\n";
        } else {
            out << "# transparent transfer with no sub-mode chosen: no profile value names it\n";
        }
    }
    if (s.uart) {
        out << "\n[serial]\n" << ChoiceLine("baud", kBaudNames, s.uart->baud, false)
            << ChoiceLine("parity", kParityNames, s.uart->parity)
            << ChoiceLine("interface", kInterfaceNames, s.uart->interface);
    }
    if (s.packets) {
        const dtu::Packets& p = *s.packets;
        const bool text = PacketIsText(p.heartbeat) && PacketIsText(p.registration);
        const auto value = [&](const dtu::Bytes& bytes) {
            if (text)
                return Quote(text::FromAnsi(bytes));
            return Quote(hex::FormatJoined(bytes));
        };
        out << "\n[packets]\ncustom = " << boolean(p.custom) << "\nhex = " << boolean(!text)
            << "\nheartbeat = " << value(p.heartbeat) << "\nregistration = " << value(p.registration) << "\n";
    }
    if (s.rf) {
        const dtu::RfRecord& rf = *s.rf;
        out << "\n[rf]\n";
        const std::string whole = std::to_string(dtu::LeadingInteger(rf.frequency));
        if (rf.frequency == whole + ".00")
            out << "frequency_mhz = " << whole << "\n";
        else
            out << "# frequency_mhz: the DTU runs at " << rf.frequency << " MHz, which is not set in whole MHz\n";
        out << ChoiceLine("sleep", kSleepNames, rf.sleepIndex) << ChoiceLine("breathing", kBreathingNames, rf.breathIndex)
            << "address = " << dtu::LeadingInteger(rf.address) << "\n"
            << ChoiceLine("power", kPowerNames, rf.powerIndex);
    }
    return out.str();
}

}  // namespace profile
