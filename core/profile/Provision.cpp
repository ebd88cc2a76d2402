#include "core/profile/Provision.h"

#include "core/common/Hex.h"
#include "core/common/Tr.h"
#include "core/dtu/Commands.h"
#include "core/dtu/Rf.h"
#include "core/monitor/FrameText.h"

#include <algorithm>
#include <map>

namespace profile {

namespace {

const PlannedWrite* Find(const std::vector<PlannedWrite>& writes, std::uint8_t code)
{
    for (const PlannedWrite& w : writes)
        if (w.frame.size() > 2 && w.frame[2] == code)
            return &w;
    return nullptr;
}

std::string Upper(const std::string& text)
{
    return hex::UpperAscii(hex::RemoveSpaces(text));
}

}  // namespace

PacketPair PacketsOfWrite(const dtu::Bytes& frame)
{
    const auto field = [&](std::size_t lengthAt, std::size_t width) {
        const std::size_t at = 4 + lengthAt;
        const std::size_t n = std::min<std::size_t>(at < frame.size() ? frame[at] : 0, width);
        if (at + 1 + n > frame.size())
            return dtu::Bytes{};
        return dtu::Bytes(frame.begin() + static_cast<long>(at + 1), frame.begin() + static_cast<long>(at + 1 + n));
    };
    return {field(1, dtu::kHeartbeatField), field(12, dtu::kRegistrationField)};
}

unsigned QueriesToComplete(const Profile& p)
{
    unsigned queries = 0;
    if (p.ownId && (!p.ownId->id || !p.ownId->custom))
        queries |= kOwnId;
    if (p.serial && (!p.serial->baud || !p.serial->parity || !p.serial->interface))
        queries |= kUart;
    if (p.packets && (!p.packets->custom || !p.packets->heartbeat || !p.packets->registration))
        queries |= kPackets;
    if (p.rf && (!p.rf->frequencyMhz || !p.rf->sleep || !p.rf->breathing || !p.rf->address || !p.rf->power))
        queries |= kRf;
    return queries;
}

Profile Complete(const Profile& given, const DeviceSettings& current)
{
    Profile p = given;
    if (p.ownId && current.ownId) {
        p.ownId->id = p.ownId->id.value_or(current.ownId->id);
        p.ownId->custom = p.ownId->custom.value_or(current.ownId->custom);
    }
    if (p.serial && current.uart) {
        p.serial->baud = p.serial->baud.value_or(current.uart->baud);
        p.serial->parity = p.serial->parity.value_or(current.uart->parity);
        p.serial->interface = p.serial->interface.value_or(current.uart->interface);
    }
    if (p.packets && current.packets && (!p.packets->heartbeat || !p.packets->registration)) {
        // One field kept from the DTU: both go out as hex digits, the given
        // one converted by the builder exactly as it would have sent it.
        Profile::Packets& k = *p.packets;
        const PacketPair typed = PacketsOfWrite(dtu::BuildWritePackets(k.heartbeat.value_or(""),
                                                                   k.registration.value_or(""), false, k.hex));
        k.heartbeat = hex::FormatPlain(k.heartbeat ? typed.heartbeat : current.packets->heartbeat);
        k.registration = hex::FormatPlain(k.registration ? typed.registration : current.packets->registration);
        k.hex = true;
    }
    if (p.packets && current.packets)
        p.packets->custom = p.packets->custom.value_or(current.packets->custom);
    if (p.rf && current.rf) {
        Profile::Rf& rf = *p.rf;
        if (!rf.frequencyMhz) {
            const int whole = dtu::LeadingInteger(current.rf->frequency);
            if (current.rf->frequency != std::to_string(whole) + ".00")
                throw Failure(text::Fill(DTU_TR("profile", "the DTU runs at %1 MHz, which cannot be written back in "
                                                           "whole MHz: give rf.frequency_mhz"),
                                         {current.rf->frequency}));
            rf.frequencyMhz = whole;
        }
        rf.sleep = rf.sleep.value_or(current.rf->sleepIndex);
        rf.breathing = rf.breathing.value_or(current.rf->breathIndex);
        rf.address = rf.address.value_or(dtu::LeadingInteger(current.rf->address));
        rf.power = rf.power.value_or(current.rf->powerIndex);
    }
    return p;
}

std::vector<PlannedWrite> PlanWrites(const Profile& p, const dtu::LocalTime& now)
{
    namespace cmd = dtu::cmd;
    std::vector<PlannedWrite> out;
    const auto add = [&](std::uint8_t code, dtu::Bytes frame) { out.push_back({monitor::CommandName(code), std::move(frame)}); };
    const auto built = [&](std::uint8_t code, const dtu::Built& b) {
        // Checked when the profile was read; a refusal here is a bug.
        if (!b.ok())
            throw Failure(std::string(monitor::CommandName(code)) + ": " + b.message);
        add(code, b.frame);
    };
    if (p.phones)
        built(cmd::kWritePhoneList, dtu::BuildWritePhoneList(*p.phones));
    if (p.ids)
        built(cmd::kWriteIdList, dtu::BuildWriteIdList(*p.ids));
    if (p.ownId && p.ownId->id)
        add(cmd::kSetOwnId, dtu::BuildSetOwnId(*p.ownId->id, p.ownId->custom.value_or(false)));
    if (p.server) {
        if (p.server->ip)
            add(cmd::kSetServerIp, dtu::BuildSetServerIp(*p.server->ip));
        if (p.server->domain)
            built(cmd::kSetDomain, dtu::BuildSetDomain(*p.server->domain));
        if (p.server->port)
            built(cmd::kSetPort, dtu::BuildSetPort(std::to_string(*p.server->port)));
    }
    if (p.mode) {
        const Profile::Mode& m = *p.mode;
        add(cmd::kSetWorkMode, dtu::BuildSetWorkMode({m.protocol ? 0 : 1, m.sms, m.smsHex, m.tcp, m.subMode}));
    }
    if (p.apn)
        add(cmd::kSetApn, dtu::BuildSetApn(p.apn->apn, p.apn->user, p.apn->password));
    if (p.packets)
        add(cmd::kWritePackets, dtu::BuildWritePackets(p.packets->heartbeat.value_or(""),
                                                       p.packets->registration.value_or(""),
                                                       p.packets->custom.value_or(false), p.packets->hex));
    if (p.rf) {
        const Profile::Rf& rf = *p.rf;
        add(cmd::kWriteRf, dtu::BuildWriteRf({std::to_string(rf.frequencyMhz.value_or(0)), rf.sleep.value_or(-1),
                                              rf.breathing.value_or(-1), std::to_string(rf.address.value_or(0)),
                                              rf.power.value_or(-1)}));
    }
    if (p.setClock)
        add(cmd::kSetClock, dtu::BuildSetClock(now));
    // Last: a DTU that changes its own line at once still took everything
    // else, and the read-back that fails then names what it did not answer.
    if (p.serial)
        add(cmd::kWriteUart,
            dtu::BuildWriteUart(p.serial->baud.value_or(-1), p.serial->parity.value_or(-1), p.serial->interface.value_or(-1)));
    return out;
}

unsigned QueriesToVerify(const Profile& p)
{
    unsigned queries = 0;
    if (p.phones)
        queries |= kPhones;
    if (p.ids)
        queries |= kIds;
    if (p.ownId)
        queries |= kOwnId;
    if (p.server || p.mode)
        queries |= kNet;
    if (p.serial)
        queries |= kUart;
    if (p.packets)
        queries |= kPackets;
    if (p.rf)
        queries |= kRf;
    return queries;
}

std::vector<Checked> Compare(const Profile& p, const std::vector<PlannedWrite>& writes, const DeviceSettings& readBack)
{
    std::map<std::string, std::string> read;
    for (const Row& row : SettingRows(readBack))
        read[row.key] = row.value;
    std::vector<Checked> rows;
    const auto check = [&](const std::string& key, const std::string& wanted) {
        const auto it = read.find(key);
        const std::string got = it == read.end() ? DTU_TR("profile", "(not read)") : it->second;
        rows.push_back({key, wanted, got, got == wanted ? Verdict::Ok : Verdict::Differs});
    };
    const auto written = [&](const std::string& key, const std::string& wanted) {
        rows.push_back({key, wanted, "-", Verdict::Written});
    };
    const auto boolean = [](bool b) { return std::string(b ? "true" : "false"); };

    if (p.phones)
        check("phones", Join(*p.phones));
    if (p.ids) {
        std::vector<std::string> ids;
        for (const std::string& id : *p.ids)
            ids.push_back(Upper(id));
        check("ids", Join(ids));
    }
    if (p.ownId) {
        if (p.ownId->id)
            check("own_id.id", Upper(*p.ownId->id));
        if (p.ownId->custom)
            check("own_id.custom", boolean(*p.ownId->custom));
    }
    if (p.server) {
        if (p.server->ip) {
            check("server.ip", dtu::IpText(*p.server->ip));
            check("server.uses", "ip");
        }
        if (p.server->domain) {
            check("server.domain", *p.server->domain);
            check("server.uses", "domain");
        }
        if (p.server->port)
            check("server.port", std::to_string(*p.server->port));
    }
    if (p.mode) {
        const Profile::Mode& m = *p.mode;
        check("mode.transfer", m.protocol ? "protocol" : "transparent");
        if (m.protocol) {
            std::vector<std::string> options;
            const bool on[] = {m.sms, m.smsHex, m.tcp};
            for (std::size_t i = 0; i < 3; ++i)
                if (on[i])
                    options.push_back(kSubModeNames[i]);
            check("mode.options", Join(options));
        } else {
            check("mode.sub_mode", NameAt(kSubModeNames, m.subMode));
        }
    }
    if (p.serial) {
        if (p.serial->baud)
            check("serial.baud", NameAt(kBaudNames, *p.serial->baud));
        if (p.serial->parity)
            check("serial.parity", NameAt(kParityNames, *p.serial->parity));
        if (p.serial->interface)
            check("serial.interface", NameAt(kInterfaceNames, *p.serial->interface));
    }
    if (p.apn) {
        written("apn.apn", p.apn->apn);
        written("apn.user", p.apn->user);
        written("apn.password", DTU_TR("profile", "(not shown)"));
    }
    if (p.packets) {
        if (p.packets->custom)
            check("packets.custom", boolean(*p.packets->custom));
        if (const PlannedWrite* w = Find(writes, dtu::cmd::kWritePackets)) {
            const PacketPair sent = PacketsOfWrite(w->frame);
            if (p.packets->heartbeat)
                check("packets.heartbeat", PacketValue(sent.heartbeat));
            if (p.packets->registration)
                check("packets.registration", PacketValue(sent.registration));
        }
    }
    if (p.rf) {
        const Profile::Rf& rf = *p.rf;
        if (rf.frequencyMhz)
            check("rf.frequency_mhz", std::to_string(*rf.frequencyMhz) + ".00");
        if (rf.sleep)
            check("rf.sleep", NameAt(kSleepNames, *rf.sleep));
        if (rf.breathing)
            check("rf.breathing", NameAt(kBreathingNames, *rf.breathing));
        if (rf.address)
            check("rf.address", std::to_string(*rf.address));
        if (rf.power)
            check("rf.power", NameAt(kPowerNames, *rf.power));
    }
    if (p.setClock)
        written("clock.set", "now");
    return rows;
}

const char* VerdictText(Verdict v)
{
    switch (v) {
    case Verdict::Ok:
        return DTU_TR("profile", "ok");
    case Verdict::Differs:
        return DTU_TR("profile", "DIFFERS");
    case Verdict::Written:
        return DTU_TR("profile", "written, cannot be read back");
    }
    return "";
}

bool WriteReport::ok() const
{
    return std::none_of(rows.begin(), rows.end(), [](const Checked& c) { return c.verdict == Verdict::Differs; });
}

}  // namespace profile
