#include "dtuctl/cli/Commands.h"

#include "core/common/Hex.h"
#include "core/dtu/Requests.h"
#include "core/monitor/FrameText.h"
#include "core/monitor/LineLog.h"
#include "core/net/PortUrl.h"
#include "core/profile/Provision.h"
#include "core/profile/Settings.h"
#include "driver/serial/PortInfo.h"
#include "driver/serial/PortList.h"
#include "driver/serial/SetupCheck.h"
#include "dtuctl/cli/Interrupt.h"
#include "jobs/port/ReadWrite.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <mutex>

namespace cli {

using namespace profile;

namespace {

std::optional<std::uint8_t> ParseCode(std::string text)
{
    if (text.rfind("0x", 0) == 0 || text.rfind("0X", 0) == 0)
        text = text.substr(2);
    if (text.empty() || text.size() > 2 || !std::all_of(text.begin(), text.end(), hex::IsHexDigit))
        return std::nullopt;
    return static_cast<std::uint8_t>(std::stoul(text, nullptr, 16));
}

const char* ProblemName(serial::Problem p)
{
    switch (p) {
    case serial::Problem::NotInGroup:
        return "not_in_group";
    case serial::Problem::NeedsNewLogin:
        return "needs_new_login";
    case serial::Problem::HeldByProgram:
        return "held_by_program";
    case serial::Problem::ModemManager:
        return "modem_manager";
    case serial::Problem::BrlttyClaimed:
        return "brltty";
    }
    return "unknown";
}

}  // namespace

PortResult ReadJob(PortContext& c, bool profile)
{
    // What the unit said of itself for its record is not asked again.
    const unsigned known = c.identity ? kOwnId | kVersion : 0u;
    DeviceSettings s = ReadSettings(c.link, kAllQueries & ~known, c.timeoutMs, [&](const std::string& what) { c.board.Step(c.index, what); });
    if (c.identity) {
        s.ownId = c.identity->ownId;
        s.version = c.identity->version;
    }
    PortResult r;
    r.ok = true;
    r.summary = s.version ? *s.version : "read";
    r.json["settings"] = SettingsJson(s);
    if (profile) {
        r.text = SettingsProfile(s);
        r.textIsProfile = true;
    } else {
        std::vector<std::vector<std::string>> rows{{"setting", "value"}};
        for (const Row& row : SettingRows(s))
            rows.push_back({row.key, row.value});
        r.text = FormatTable(rows);
    }
    return r;
}

PortResult WriteJob(PortContext& c, const Profile& profile)
{
    const WriteReport w = WriteProfile(c.link, profile, c.timeoutMs, [&](const std::string& what) { c.board.Step(c.index, what); });
    PortResult r;
    r.ok = w.ok();
    std::vector<std::vector<std::string>> rows{{"setting", "wanted", "read back", "ok"}};
    nlohmann::json list = nlohmann::json::array();
    std::size_t differs = 0, verified = 0;
    for (const Checked& row : w.rows) {
        rows.push_back({row.setting, row.wanted, row.readBack, VerdictText(row.verdict)});
        list.push_back({{"setting", row.setting}, {"wanted", row.wanted}, {"read_back", row.readBack},
                        {"verdict", VerdictText(row.verdict)}});
        if (row.verdict == Verdict::Differs) {
            ++differs;
            r.recordDetail.append(r.recordDetail.empty() ? "" : ", ").append(row.setting);
        }
        verified += row.verdict == Verdict::Ok;
    }
    r.text = FormatTable(rows);
    r.json["settings"] = list;
    r.summary = differs ? std::to_string(differs) + " setting(s) read back different"
                        : std::to_string(verified) + " setting(s) verified";
    return r;
}

PortResult SendJob(PortContext& c, const dtu::Bytes& request)
{
    const std::string what = monitor::CommandName(request[2]);
    c.board.Step(c.index, what);
    const Reply reply = c.link.Exchange(request, c.timeoutMs, what);
    PortResult r;
    r.ok = true;
    r.summary = monitor::DescribeFrame(monitor::Direction::Received, reply.frame());
    r.text = "sent:   " + monitor::HexText(request) + "\n        " + monitor::DescribeFrame(monitor::Direction::Sent, request) +
             "\nanswer: " + monitor::HexText(reply.frame()) + "\n        " + r.summary + "\n";
    r.json["request"] = hex::FormatPlain(request);
    r.json["answer"] = hex::FormatPlain(reply.frame());
    r.json["decoded"] = r.summary;
    return r;
}

namespace {

// The wall clock as the line monitor shows it.
std::string Clock()
{
    const auto now = std::chrono::system_clock::now();
    return monitor::FormatTime(std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count());
}

PortResult MonitorJob(PortContext& c, const std::string& port, bool prefix, bool json, std::mutex& outLock,
                      std::ostream& out, const InterruptScope& interrupt)
{
    c.board.Step(c.index, "monitoring");
    std::size_t frames = 0;
    while (!interrupt.interrupted()) {
        if (c.link.PortLost())
            throw Failure(c.link.Gone() + " after " + std::to_string(frames) + " frame(s)");
        const std::optional<Reply> reply = c.link.NextFrame();
        if (!reply)
            continue;
        ++frames;
        const std::string text = monitor::DescribeFrame(monitor::Direction::Received, reply->frame());
        std::lock_guard lock(outLock);
        if (json)
            out << Dump({{"port", port}, {"time", Clock()}, {"frame", hex::FormatPlain(reply->frame())}, {"decoded", text}})
                << "\n" << std::flush;
        else
            out << Clock() << "  " << (prefix ? port + "  " : "") << monitor::HexText(reply->frame()) << "  " << text
                << "\n" << std::flush;
    }
    PortResult r;
    r.ok = true;
    r.summary = std::to_string(frames) + " frame(s)";
    return r;
}

}  // namespace

std::optional<dtu::Bytes> SendRequest(const std::string& codeText, const std::vector<std::string>& payload,
                                      std::string& error)
{
    const auto code = ParseCode(codeText);
    if (!code) {
        error = "CODE must be one byte in hex, e.g. E9 (got \"" + codeText + "\")";
        return std::nullopt;
    }
    std::string digits;
    for (const std::string& part : payload)
        digits += hex::RemoveSpaces(part);
    if (digits.size() % 2 != 0 || !std::all_of(digits.begin(), digits.end(), hex::IsHexDigit)) {
        error = "PAYLOAD-HEX must be pairs of hex digits";
        return std::nullopt;
    }
    auto built = payload.empty() && dtu::QueryPayloadSize(*code) > 0
                     ? dtu::BuildQuery(*code)
                     : dtu::BuildRequest(*code, hex::ParsePairs(digits, digits.size() / 2));
    if (!built)
        error = "the payload is longer than the 255 bytes a frame can carry";
    return built;
}

int Monitor(const std::vector<std::string>& ports, const Line& line, bool json, Console console)
{
    const InterruptScope interrupt;
    std::mutex outLock;
    const bool prefix = ports.size() > 1;
    return RunOnPorts(ports, line, json, console, [&](PortContext& c) {
        return MonitorJob(c, ports[c.index], prefix, json, outLock, console.out, interrupt);
    });
}

int ListPorts(bool json, Console console)
{
    const std::vector<std::string> ports = serial::ListPorts();
    const std::vector<std::optional<serial::Holder>> holders = serial::FindHolders(ports);
    // Said on standard error, so that a script reading the list sees none.
    if (ports.empty() && !json)
        console.err << "No serial port found; `dtuctl doctor` tells why one is missing.\n";
    for (std::size_t i = 0; i < ports.size(); ++i) {
        const serial::PortInfo info = serial::DescribePort(ports[i]);
        const std::optional<serial::Holder>& holder = holders[i];
        if (json) {
            console.out << Dump({{"port", ports[i]},
                                 {"label", serial::PortLabel(info)},
                                 {"by_id", info.byId},
                                 {"driver", info.driver},
                                 {"manufacturer", info.manufacturer},
                                 {"product", info.product},
                                 {"serial", info.serialNumber},
                                 {"vendor_id", info.vendorId},
                                 {"product_id", info.productId},
                                 {"held", holder.has_value()},
                                 {"holder_program", holder ? holder->program : ""},
                                 {"holder_pid", holder ? holder->pid : 0}})
                        << "\n";
            continue;
        }
        console.out << serial::PortEntry(info, holder) << "\n";
        if (!info.byId.empty())
            console.out << "    " << info.byId << "\n";
    }
    return kExitOk;
}

int Doctor(const std::vector<std::string>& ports, bool json, Console console)
{
    const serial::SetupEnv env = serial::SetupEnv::Current();
    std::vector<serial::Finding> findings;
    // A port that is not there has no setup to check: say so, not "no problem".
    bool missing = false;
    std::vector<std::string> local;
    for (const std::string& port : ports) {
        std::error_code ec;
        if (net::LooksLikeUrl(port)) {
            console.err << "dtuctl: " << port << " is a network port; these checks are for local devices. `dtuctl -p "
                        << port << " send E9` shows whether it connects and the DTU answers.\n";
            continue;
        }
        local.push_back(port);
        if (!std::filesystem::exists(port, ec)) {
            console.err << "dtuctl: " << port << " does not exist; `dtuctl ports` lists the ports there are.\n";
            missing = true;
        }
    }
    if (missing)
        return kExitFailed;
    if (!ports.empty() && local.empty())
        return kExitOk;
    if (ports.empty()) {
        findings = serial::CheckSetup(env);
    } else {
        for (const std::string& port : local) {
            const std::vector<serial::Finding> found = serial::CheckPort(env, port);
            findings.insert(findings.end(), found.begin(), found.end());
        }
    }
    for (const serial::Finding& f : findings) {
        if (json)
            console.out << Dump({{"problem", ProblemName(f.problem)}, {"device", f.device}, {"text", f.text}, {"fix", f.fix}})
                        << "\n";
        else
            console.out << f.text << "\n" << (f.fix.empty() ? "" : "    " + f.fix + "\n");
    }
    // No device at all is a problem too, and "no problem" would send the
    // user looking elsewhere: say where we looked and what makes one appear.
    const bool noPort = ports.empty() && findings.empty() && serial::ListPorts(env.roots).empty();
    if (noPort) {
        const std::string text = "No serial device found. Looked in /sys/class/tty for USB serial adapters (ttyUSB, "
                                 "ttyACM) and serial ports with a UART (ttyS). Plug in the DTU's USB serial adapter "
                                 "(`sudo dmesg -w` shows it arrive), or load the driver of its chip:";
        const std::string fix = "sudo modprobe -a ftdi_sio cp210x ch341 pl2303 cdc_acm";
        if (json)
            console.out << Dump({{"problem", "no_port"}, {"device", ""}, {"text", text}, {"fix", fix}}) << "\n";
        else
            console.out << text << "\n    " << fix << "\n";
    }
    if (findings.empty() && !noPort && !json)
        console.out << "No problem found.\n";
    return findings.empty() && !noPort ? kExitOk : kExitFailed;
}

}  // namespace cli
