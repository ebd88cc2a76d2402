#include "core/profile/Profile.h"

#include "core/profile/TomlChecker.h"

#include "core/common/Codepage.h"
#include "core/common/Hex.h"
#include "core/common/Tr.h"
#include "core/dtu/Lists.h"
#include "core/dtu/Requests.h"

#include <toml++/toml.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <sstream>
#include <tuple>

namespace profile {

using text::Fill;
using text::Translate;

const std::vector<std::string> kBaudNames(dtu::kBaudCaptions.begin(), dtu::kBaudCaptions.end());
const std::vector<std::string> kParityNames{"none", "odd", "even"};
const std::vector<std::string> kInterfaceNames{"ttl", "rs232", "rs485"};
const std::vector<std::string> kSubModeNames{"sms_ucs2", "sms_hex", "tcp"};
const std::vector<std::string> kSleepNames(dtu::kSleepCaptions.begin(), dtu::kSleepCaptions.end());
const std::vector<std::string> kBreathingNames(dtu::kBreathCaptions.begin(), dtu::kBreathCaptions.end());
const std::vector<std::string> kPowerNames(dtu::kPowerCaptions.begin(), dtu::kPowerCaptions.end());

std::string NameAt(const std::vector<std::string>& names, int index)
{
    if (index >= 0 && static_cast<std::size_t>(index) < names.size())
        return names[static_cast<std::size_t>(index)];
    return "index " + std::to_string(index);
}

namespace {

std::optional<std::array<std::uint8_t, 4>> ParseIp(const std::string& text)
{
    std::array<std::uint8_t, 4> ip{};
    std::size_t at = 0;
    for (std::size_t field = 0; field < 4; ++field) {
        std::size_t digits = 0;
        unsigned value = 0;
        while (at < text.size() && hex::IsDigit(text[at]) && digits < 3) {
            value = value * 10 + static_cast<unsigned>(text[at++] - '0');
            ++digits;
        }
        if (digits == 0 || value > 255)
            return std::nullopt;
        ip[field] = static_cast<std::uint8_t>(value);
        if (field < 3 && (at >= text.size() || text[at++] != '.'))
            return std::nullopt;
    }
    if (at != text.size())
        return std::nullopt;
    return ip;
}

std::string NumberText(double value)
{
    std::ostringstream out;
    out << value;
    return out.str();
}

void CheckPacket(TomlChecker& c, const toml::node& node, const std::string& name, const std::string& text, bool hexMode,
                 std::size_t width)
{
    const std::string compact = hex::RemoveSpaces(text);
    if (hexMode) {
        if (!std::all_of(compact.begin(), compact.end(), hex::IsHexDigit) || compact.size() % 2 != 0) {
            c.Error(node.source(), Fill(DTU_TR("profile", "%1 must be pairs of hex digits when hex = true"), {name}));
            return;
        }
        if (compact.size() / 2 > width)
            c.Error(node.source(), Fill(DTU_TR("profile", "%1 holds %2 bytes; at most %3 fit"),
                                        {name, std::to_string(compact.size() / 2), std::to_string(width)}));
        return;
    }
    const std::size_t bytes = text::ToAnsi(compact).size();
    if (bytes > width)
        c.Error(node.source(), Fill(DTU_TR("profile", "%1 is %2 bytes long; at most %3 fit"),
                                    {name, std::to_string(bytes), std::to_string(width)}));
}

void ReadLists(TomlChecker& c, const toml::table& root, Profile& p)
{
    if (const toml::node* node = root.get("phones")) {
        p.phones = c.Strings(*node, "phones");
        if (p.phones) {
            const toml::array& items = *node->as_array();
            for (std::size_t i = 0; i < p.phones->size(); ++i)
                if (const auto refusal = dtu::CheckPhoneEntry((*p.phones)[i], static_cast<int>(i)))
                    c.Error(items[i].source(),
                            "phones: \"" + (*p.phones)[i] + "\": " + Translate("dtu::msg", refusal->c_str()));
        }
    }
    if (const toml::node* node = root.get("ids")) {
        p.ids = c.Strings(*node, "ids");
        if (p.ids) {
            const toml::array& items = *node->as_array();
            for (std::size_t i = 0; i < p.ids->size(); ++i)
                if (const auto refusal = dtu::CheckIdEntry((*p.ids)[i], static_cast<int>(i)))
                    c.Error(items[i].source(),
                            "ids: \"" + (*p.ids)[i] + "\": " + Translate("dtu::msg", refusal->c_str()));
        }
    }
}

void ReadOwnId(TomlChecker& c, const toml::table& t, Profile& p)
{
    c.OnlyKeys(t, "own_id", {"id", "custom"});
    Profile::OwnId own;
    if (const toml::node* node = t.get("id")) {
        own.id = c.String(*node, "own_id.id");
        if (own.id) {
            const std::string compact = hex::RemoveSpaces(*own.id);
            if (compact.size() != 12 || !std::all_of(compact.begin(), compact.end(), hex::IsHexDigit))
                c.Error(node->source(), Fill(DTU_TR("profile", "own_id.id = \"%1\" must be 12 hex digits"), {*own.id}));
        }
    }
    if (const toml::node* node = t.get("custom"))
        own.custom = c.Bool(*node, "own_id.custom");
    p.ownId = own;
}

void ReadServer(TomlChecker& c, const toml::table& t, Profile& p)
{
    c.OnlyKeys(t, "server", {"ip", "domain", "port"});
    Profile::Server server;
    const toml::node* ip = t.get("ip");
    const toml::node* domain = t.get("domain");
    if (ip && domain)
        c.Error(domain->source(), DTU_TR("profile", "[server] takes ip or domain, not both"));
    if (ip) {
        if (const auto text = c.String(*ip, "server.ip")) {
            server.ip = ParseIp(*text);
            if (!server.ip)
                c.Error(
                    ip->source(),
                    Fill(DTU_TR("profile", "server.ip = \"%1\" is no IPv4 address (four numbers 0 to 255)"), {*text}));
        }
    }
    if (domain) {
        server.domain = c.String(*domain, "server.domain");
        if (server.domain) {
            const dtu::Built built = dtu::BuildSetDomain(*server.domain);
            if (!built.ok())
                c.Error(domain->source(),
                        "server.domain: " + std::string(Translate("dtu::msg", built.message.c_str())));
        }
    }
    if (const toml::node* port = t.get("port"))
        server.port = c.Integer(*port, "server.port", 0, 65535);
    p.server = server;
}

void ReadMode(TomlChecker& c, const toml::table& t, const toml::node& section, Profile& p)
{
    c.OnlyKeys(t, "mode", {"transfer", "sub_mode", "options"});
    const toml::node* transfer = t.get("transfer");
    if (!transfer) {
        c.Error(section.source(), DTU_TR("profile", "[mode] needs transfer = \"protocol\" or \"transparent\""));
        return;
    }
    const auto kind = c.Choice(*transfer, "mode.transfer", {"protocol", "transparent"});
    if (!kind)
        return;
    Profile::Mode mode;
    mode.protocol = *kind == 0;
    const toml::node* subMode = t.get("sub_mode");
    const toml::node* options = t.get("options");
    if (mode.protocol) {
        if (subMode)
            c.Error(subMode->source(),
                    DTU_TR("profile", "sub_mode belongs to transparent transfer; protocol transfer takes options"));
        if (options) {
            const auto names = c.Strings(*options, "mode.options");
            for (const std::string& name : names.value_or(std::vector<std::string>{})) {
                if (name == kSubModeNames[0])
                    mode.sms = true;
                else if (name == kSubModeNames[1])
                    mode.smsHex = true;
                else if (name == kSubModeNames[2])
                    mode.tcp = true;
                else
                    c.Error(options->source(), Fill(DTU_TR("profile", "mode.options: \"%1\" is none of %2"),
                                                    {name, QuotedList(kSubModeNames)}));
            }
        }
    } else {
        if (options)
            c.Error(options->source(),
                    DTU_TR("profile", "options belong to protocol transfer; transparent transfer takes sub_mode"));
        if (!subMode)
            c.Error(transfer->source(),
                    Fill(DTU_TR("profile", "transparent transfer needs sub_mode = %1"), {QuotedList(kSubModeNames)}));
        else if (const auto index = c.Choice(*subMode, "mode.sub_mode", kSubModeNames))
            mode.subMode = *index;
    }
    p.mode = mode;
}

void ReadSerial(TomlChecker& c, const toml::table& t, Profile& p)
{
    c.OnlyKeys(t, "serial", {"baud", "parity", "interface"});
    Profile::Serial serial;
    if (const toml::node* node = t.get("baud")) {
        const auto baud = node->value_exact<std::int64_t>();
        const auto it = baud ? std::find(kBaudNames.begin(), kBaudNames.end(), std::to_string(*baud)) : kBaudNames.end();
        if (it == kBaudNames.end())
            c.Error(
                node->source(),
                DTU_TR("profile", "serial.baud must be one of 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200"));
        else
            serial.baud = static_cast<int>(it - kBaudNames.begin());
    }
    if (const toml::node* node = t.get("parity"))
        serial.parity = c.Choice(*node, "serial.parity", kParityNames);
    if (const toml::node* node = t.get("interface"))
        serial.interface = c.Choice(*node, "serial.interface", kInterfaceNames);
    p.serial = serial;
}

void ReadApn(TomlChecker& c, const toml::table& t, const toml::node& section, Profile& p)
{
    c.OnlyKeys(t, "apn", {"apn", "user", "password"});
    Profile::Apn apn;
    if (!t.get("apn"))
        c.Error(section.source(), DTU_TR("profile", "[apn] needs apn (user and password default to empty)"));
    const std::pair<const char*, std::string*> fields[] = {{"apn", &apn.apn}, {"user", &apn.user}, {"password", &apn.password}};
    for (const auto& [key, target] : fields) {
        const toml::node* node = t.get(key);
        if (!node)
            continue;
        const std::string name = std::string("apn.") + key;
        if (const auto text = c.String(*node, name)) {
            *target = *text;
            // The window cuts a longer field silently; a profile says so instead.
            if (text::ToAnsi(*text).size() > 32)
                c.Error(node->source(),
                        Fill(DTU_TR("profile", "%1 is longer than the 32 bytes the DTU keeps"), {name}));
        }
    }
    p.apn = apn;
}

void ReadPackets(TomlChecker& c, const toml::table& t, Profile& p)
{
    c.OnlyKeys(t, "packets", {"custom", "hex", "heartbeat", "registration"});
    Profile::Packets packets;
    if (const toml::node* node = t.get("custom"))
        packets.custom = c.Bool(*node, "packets.custom");
    if (const toml::node* node = t.get("hex"))
        packets.hex = c.Bool(*node, "packets.hex").value_or(false);
    if (const toml::node* node = t.get("heartbeat")) {
        packets.heartbeat = c.String(*node, "packets.heartbeat");
        if (packets.heartbeat)
            CheckPacket(c, *node, "packets.heartbeat", *packets.heartbeat, packets.hex, dtu::kHeartbeatField);
    }
    if (const toml::node* node = t.get("registration")) {
        packets.registration = c.String(*node, "packets.registration");
        if (packets.registration)
            CheckPacket(c, *node, "packets.registration", *packets.registration, packets.hex, dtu::kRegistrationField);
    }
    p.packets = packets;
}

void ReadRf(TomlChecker& c, const toml::table& t, Profile& p)
{
    c.OnlyKeys(t, "rf", {"frequency_mhz", "sleep", "breathing", "address", "power"});
    Profile::Rf rf;
    if (const toml::node* node = t.get("frequency_mhz")) {
        // The DTU is set in whole MHz (the frequency word is built from the
        // integer query): a fraction would be dropped without a word.
        const auto value = node->value<double>();
        if (!value || !(node->is_integer() || node->is_floating_point()))
            c.Error(node->source(), DTU_TR("profile", "rf.frequency_mhz must be a number"));
        else if (*value != std::floor(*value))
            c.Error(node->source(), Fill(DTU_TR("profile",
                                                "rf.frequency_mhz = %1: the DTU is set in whole MHz (only "
                                                "the integer query would be sent)"),
                                         {NumberText(*value)}));
        else if (*value < 1 || *value > 1023)
            c.Error(node->source(), DTU_TR("profile", "rf.frequency_mhz is out of range (1 to 1023)"));
        else
            rf.frequencyMhz = static_cast<int>(*value);
    }
    if (const toml::node* node = t.get("sleep"))
        rf.sleep = c.Choice(*node, "rf.sleep", kSleepNames);
    if (const toml::node* node = t.get("breathing"))
        rf.breathing = c.Choice(*node, "rf.breathing", kBreathingNames);
    if (const toml::node* node = t.get("address"))
        rf.address = c.Integer(*node, "rf.address", 0, 255);
    if (const toml::node* node = t.get("power"))
        rf.power = c.Choice(*node, "rf.power", kPowerNames);
    p.rf = rf;
}

void ReadClock(TomlChecker& c, const toml::table& t, Profile& p)
{
    c.OnlyKeys(t, "clock", {"set"});
    if (const toml::node* node = t.get("set")) {
        const auto text = c.String(*node, "clock.set");
        if (text && *text != "now")
            c.Error(node->source(), DTU_TR("profile", "clock.set takes \"now\" only (this computer's time)"));
        p.setClock = text && *text == "now";
    }
}

}  // namespace

ParsedProfile ParseProfile(std::string_view text, const std::string& fileName)
{
    ParsedProfile out;
    const std::optional<toml::table> parsed = ParseToml(text, fileName, out.errors);
    if (!parsed)
        return out;
    const toml::table& root = *parsed;
    TomlChecker c(fileName);
    c.OnlyKeys(root, "", {"phones", "ids", "own_id", "server", "mode", "serial", "apn", "packets", "rf", "clock"});
    Profile& p = out.profile;
    ReadLists(c, root, p);
    const auto section = [&](const char* name, auto read) {
        if (const toml::node* node = root.get(name))
            if (const toml::table* table = c.Section(*node, name))
                read(*table, *node);
    };
    section("own_id", [&](const toml::table& t, const toml::node&) { ReadOwnId(c, t, p); });
    section("server", [&](const toml::table& t, const toml::node&) { ReadServer(c, t, p); });
    section("mode", [&](const toml::table& t, const toml::node& n) { ReadMode(c, t, n, p); });
    section("serial", [&](const toml::table& t, const toml::node&) { ReadSerial(c, t, p); });
    section("apn", [&](const toml::table& t, const toml::node& n) { ReadApn(c, t, n, p); });
    section("packets", [&](const toml::table& t, const toml::node&) { ReadPackets(c, t, p); });
    section("rf", [&](const toml::table& t, const toml::node&) { ReadRf(c, t, p); });
    section("clock", [&](const toml::table& t, const toml::node&) { ReadClock(c, t, p); });
    out.errors = c.Sorted();
    return out;
}

}  // namespace profile
