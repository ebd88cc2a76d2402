#include "cli/Run.h"

#include "cli/Board.h"
#include "cli/Link.h"
#include "cli/ReadWrite.h"
#include "cli/Serve.h"
#include "profile/Profile.h"
#include "profile/Provision.h"
#include "profile/Settings.h"
#include "cli/Upgrade.h"
#include "common/Hex.h"
#include "net/PortUrl.h"
#include "monitor/FrameText.h"
#include "serial/LineSettings.h"
#include "serial/PortInfo.h"
#include "serial/PortList.h"
#include "serial/SetupCheck.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <ctime>
#include <functional>
#include <glob.h>
#include <map>
#include <sstream>
#include <thread>

#ifndef DTU_VERSION
#define DTU_VERSION "0"
#endif

namespace cli {

using namespace profile;

namespace {

// Ctrl-C ends the monitor; nothing else reads it.
std::atomic<bool> g_stopMonitor{false};
static_assert(std::atomic<bool>::is_always_lock_free);

extern "C" void OnInterrupt(int)
{
    g_stopMonitor.store(true);
}

std::string Dump(const nlohmann::json& j)
{
    return j.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

struct Line {
    unsigned baud = 115200;
    std::string parity = "none";
    int timeoutMs = 3000;
    int connectTimeoutMs = CXSerial::kConnectTimeoutMs;
    bool fast = false;
};

// What one port's work produced.
struct PortResult {
    bool ok = false;
    std::string summary;  // one line for the summary table
    std::string text;     // what goes to the output for this port
    bool textIsProfile = false;  // a port's header must then be a comment
    nlohmann::json json = nlohmann::json::object();
};

struct PortContext {
    Link& link;
    Board& board;
    std::size_t index;
    int timeoutMs;
};

using Job = std::function<PortResult(PortContext&)>;

unsigned ParityCode(const std::string& name)
{
    return name == "odd" ? serial::kParityOdd : name == "even" ? serial::kParityEven : serial::kParityNone;
}

// Runs `job` on every port at once, one thread each, and prints the
// results in port order. The exit code says whether every port succeeded.
int RunOnPorts(const std::vector<std::string>& ports, const Line& line, bool json, Console console, const Job& job)
{
    Board board(console.err, console.errIsTerminal, ports);
    std::vector<PortResult> results(ports.size());
    std::vector<std::thread> threads;
    threads.reserve(ports.size());
    for (std::size_t i = 0; i < ports.size(); ++i) {
        threads.emplace_back([&, i] {
            PortResult& result = results[i];
            try {
                Link link;
                board.Step(i, "opening");
                link.SetFastReplies(line.fast);
                link.SetConnectTimeout(line.connectTimeoutMs);
                link.OpenOrThrow(ports[i], line.baud, ParityCode(line.parity));
                PortContext context{link, board, i, line.timeoutMs};
                result = job(context);
            } catch (const std::exception& e) {
                result = PortResult{};
                result.summary = e.what();
                result.json["error"] = e.what();
            }
            board.Step(i, (result.ok ? "done: " : "FAILED: ") + result.summary);
        });
    }
    for (std::thread& t : threads)
        t.join();

    bool allOk = true;
    std::vector<std::vector<std::string>> summary{{"port", "result", "detail"}};
    for (std::size_t i = 0; i < ports.size(); ++i) {
        const PortResult& r = results[i];
        allOk = allOk && r.ok;
        if (json) {
            nlohmann::json j = r.json;
            j["port"] = ports[i];
            j["ok"] = r.ok;
            console.out << Dump(j) << "\n";
            continue;
        }
        // With many ports a result that is one line stands in the summary alone.
        if (!r.text.empty() && (ports.size() == 1 || r.text != r.summary + "\n")) {
            if (ports.size() > 1)
                console.out << (r.textIsProfile ? "# == " : "== ") << ports[i] << "\n";
            console.out << r.text;
        }
        if (!r.ok && ports.size() == 1)
            console.err << "dtuctl: " << ports[i] << ": " << r.summary << "\n";
        summary.push_back({ports[i], r.ok ? "ok" : "FAILED", r.summary});
    }
    if (!json && ports.size() > 1) {
        // After profiles the summary stays a comment, so the output still
        // splits into valid files at its "# ==" lines.
        const bool comment = std::any_of(results.begin(), results.end(), [](const PortResult& r) { return r.textIsProfile; });
        std::istringstream table(FormatTable(summary));
        console.out << "\n";
        for (std::string text; std::getline(table, text);)
            console.out << (comment ? "# " : "") << text << "\n";
    }
    console.out << std::flush;
    return allOk ? kExitOk : kExitFailed;
}

PortResult ReadJob(PortContext& c, bool profile)
{
    const DeviceSettings s = ReadSettings(c.link, kAllQueries, c.timeoutMs, [&](const std::string& what) { c.board.Step(c.index, what); });
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
        differs += row.verdict == Verdict::Differs;
        verified += row.verdict == Verdict::Ok;
    }
    r.text = FormatTable(rows);
    r.json["settings"] = list;
    r.summary = differs ? std::to_string(differs) + " setting(s) read back different"
                        : std::to_string(verified) + " setting(s) verified";
    return r;
}

std::optional<std::uint8_t> ParseCode(std::string text)
{
    if (text.rfind("0x", 0) == 0 || text.rfind("0X", 0) == 0)
        text = text.substr(2);
    if (text.empty() || text.size() > 2 || !std::all_of(text.begin(), text.end(), hex::IsHexDigit))
        return std::nullopt;
    return static_cast<std::uint8_t>(std::stoul(text, nullptr, 16));
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

std::string Clock()
{
    const auto now = std::chrono::system_clock::now();
    const std::time_t t = std::chrono::system_clock::to_time_t(now);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm tm{};
    localtime_r(&t, &tm);
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03d", tm.tm_hour, tm.tm_min, tm.tm_sec, static_cast<int>(ms));
    return text;
}

PortResult MonitorJob(PortContext& c, const std::string& port, bool prefix, bool json, std::mutex& outLock,
                      std::ostream& out)
{
    c.board.Step(c.index, "monitoring");
    std::size_t frames = 0;
    while (!g_stopMonitor.load()) {
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

// The settings checks of the port page: why a port is missing or will not
// open, each with the command that fixes it. Exit 1 when anything was found.
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
    if (findings.empty() && !json)
        console.out << "No problem found.\n";
    return findings.empty() ? kExitOk : kExitFailed;
}

}  // namespace

void StopMonitor()
{
    g_stopMonitor.store(true);
}

Expanded ExpandPorts(const std::vector<std::string>& patterns)
{
    Expanded out;
    const auto add = [&](const std::string& path) {
        if (std::find(out.ports.begin(), out.ports.end(), path) == out.ports.end())
            out.ports.push_back(path);
    };
    for (const std::string& pattern : patterns) {
        // A URL is never a glob, though an IPv6 host holds brackets.
        if (net::LooksLikeUrl(pattern) || pattern.find_first_of("*?[") == std::string::npos) {
            add(pattern);
            continue;
        }
        glob_t found{};
        const int rc = ::glob(pattern.c_str(), 0, nullptr, &found);
        std::vector<std::string> paths;
        for (std::size_t i = 0; rc == 0 && i < found.gl_pathc; ++i)
            paths.emplace_back(found.gl_pathv[i]);
        ::globfree(&found);
        if (paths.empty()) {
            out.unmatched = pattern;
            return out;
        }
        std::sort(paths.begin(), paths.end(), [](const std::string& a, const std::string& b) { return serial::NaturalLess(a, b); });
        for (const std::string& path : paths)
            add(path);
    }
    return out;
}

int Run(const std::vector<std::string>& args, Console console)
{
    CLI::App app{"Configures, checks and upgrades DTUs on one serial port or many at once.", "dtuctl"};
    app.set_version_flag("--version", std::string("dtuctl ") + DTU_VERSION);
    app.require_subcommand(1);
    app.fallthrough();

    std::vector<std::string> portPatterns;
    Line line;
    bool json = false;
    app.add_option("-p,--port", portPatterns, "Serial device, a glob such as '/dev/ttyUSB*', or a network port rfc2217://HOST:PORT or socket://HOST:PORT; may be given many times")
        ->type_name("PORT");
    app.add_option("-b,--baud", line.baud, "Baud rate of the PC side, as on the settings page: 1200 ... 115200")
        ->check(CLI::IsMember({1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200}).description(""))
        ->type_name("BAUD")
        ->capture_default_str();
    app.add_option("--parity", line.parity, "Parity: none, odd or even (NO, ODD, EVEN as on the settings page)")
        ->transform(CLI::CheckedTransformer(std::map<std::string, std::string>{{"none", "none"}, {"no", "none"},
                                                                               {"odd", "odd"}, {"even", "even"}},
                                            CLI::ignore_case)
                        .description(""))
        ->type_name("PARITY")
        ->capture_default_str();
    app.add_option("--timeout", line.timeoutMs, "Milliseconds to wait for each answer, 500 to 600000")
        ->check(CLI::Range(500, 600000).description(""))
        ->type_name("MS")
        ->capture_default_str();
    app.add_option("--connect-timeout", line.connectTimeoutMs,
                   "Milliseconds a network port may take to connect and set its line, 100 to 60000")
        ->check(CLI::Range(100, 60000).description(""))
        ->type_name("MS")
        ->capture_default_str();
    app.add_flag("--json", json, "One JSON line per port");
    app.add_flag("--fast", line.fast, "Complete each answer as soon as it is a whole frame, not after the silence");

    CLI::App* ports = app.add_subcommand("ports", "List the serial devices, each with the program that holds it");
    CLI::App* doctor = app.add_subcommand(
        "doctor", "Explain why a port is missing or cannot be opened, with the command that fixes it");

    CLI::App* read = app.add_subcommand("read", "Print every setting the DTU reports");
    bool asProfile = false;
    read->add_flag("--profile", asProfile, "Print a profile that `write` accepts unchanged");

    CLI::App* write = app.add_subcommand("write", "Write a profile, read every setting back and compare");
    std::string profilePath;
    bool checkOnly = false;
    write->add_option("PROFILE", profilePath, "TOML profile")->required();
    write->add_flag("--check", checkOnly, "Validate the profile only; no port is used");

    CLI::App* upgradeCmd = app.add_subcommand("upgrade", "Send a firmware image; the exit code is the verdict");
    std::string appImage, iapImage;
    auto* appOption = upgradeCmd->add_option("--app", appImage, "Application image");
    auto* iapOption = upgradeCmd->add_option("--iap", iapImage, "Boot-loader (IAP) image");
    appOption->excludes(iapOption);

    CLI::App* send = app.add_subcommand("send", "Send one request frame and print the decoded answer");
    std::string codeText;
    std::vector<std::string> payloadParts;
    send->add_option("CODE", codeText, "Command code in hex, e.g. E9")->required();
    send->add_option("PAYLOAD-HEX", payloadParts,
                     "Payload as hex digits, in one word or many (05 01 02); default: the request's zero payload");

    CLI::App* monitor = app.add_subcommand("monitor", "Print every frame on the line, decoded, until Ctrl-C");

    CLI::App* serve = app.add_subcommand(
        "serve", "Be the server a DTU connects to: print each connection, registration, heartbeat and packet; "
                 "send each input line to every connected DTU; Ctrl-C ends it");
    ServeOptions serveOptions;
    serve->add_option("--listen", serveOptions.listen, "[HOST:]PORT to listen on; HOST defaults to 0.0.0.0, port 0 takes a free one")
        ->required()
        ->type_name("[HOST:]PORT");
    auto* registrationText = serve->add_option("--registration", serveOptions.registration,
                                               "The registration packet the DTU should send first, as text")
                                 ->type_name("TEXT");
    serve->add_option("--registration-hex", serveOptions.registrationHex, "The same as hex digits, e.g. \"44 54 55\"")
        ->type_name("HEX")
        ->excludes(registrationText);
    auto* heartbeatText =
        serve->add_option("--heartbeat", serveOptions.heartbeat, "The heartbeat packet, as text")->type_name("TEXT");
    serve->add_option("--heartbeat-hex", serveOptions.heartbeatHex, "The same as hex digits")
        ->type_name("HEX")
        ->excludes(heartbeatText);
    serve->add_flag("--hex", serveOptions.hexInput, "Input lines are hex digits, not text");
    serve->add_flag("--utf8", serveOptions.utf8, "Text is UTF-8 (default: GBK, as the DTU page writes it)");
    serve->add_option("--gap", serveOptions.gapMs, "Milliseconds of quiet that end a packet, 1 to 5000")
        ->check(CLI::Range(1, 5000).description(""))
        ->type_name("MS")
        ->capture_default_str();

    std::vector<std::string> argv{"dtuctl"};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<const char*> raw;
    for (const std::string& a : argv)
        raw.push_back(a.c_str());
    try {
        app.parse(static_cast<int>(raw.size()), raw.data());
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e, console.out, console.err);
        return code == 0 ? kExitOk : kExitBadInput;
    }

    const auto bad = [&](const std::string& message) {
        console.err << "dtuctl: " << message << "\n";
        return kExitBadInput;
    };

    if (ports->parsed())
        return ListPorts(json, console);
    if (serve->parsed()) {
        serveOptions.json = json;
        return Serve(serveOptions, console);
    }

    // Everything that can be refused is refused before a port is opened.
    std::optional<Profile> profile;
    if (write->parsed()) {
        const ParsedProfile parsed = LoadProfile(profilePath);
        for (const std::string& error : parsed.errors)
            console.err << error << "\n";
        if (!parsed.ok())
            return bad(profilePath + ": not written, nothing was sent");
        if (checkOnly) {
            console.out << profilePath << ": ok\n";
            return kExitOk;
        }
        profile = parsed.profile;
    }
    std::optional<Image> image;
    if (upgradeCmd->parsed()) {
        if (appImage.empty() && iapImage.empty())
            return bad("upgrade needs --app IMAGE or --iap IMAGE");
        std::string error;
        image = LoadImage(appImage.empty() ? iapImage : appImage, appImage.empty() ? upgrade::Kind::Iap : upgrade::Kind::App,
                          error);
        if (!image)
            return bad(error);
    }
    dtu::Bytes request;
    if (send->parsed()) {
        const auto code = ParseCode(codeText);
        if (!code)
            return bad("CODE must be one byte in hex, e.g. E9 (got \"" + codeText + "\")");
        std::string digits;
        for (const std::string& part : payloadParts)
            digits += hex::RemoveSpaces(part);
        if (digits.size() % 2 != 0 || !std::all_of(digits.begin(), digits.end(), hex::IsHexDigit))
            return bad("PAYLOAD-HEX must be pairs of hex digits");
        const auto built = payloadParts.empty() && dtu::QueryPayloadSize(*code) > 0
                               ? dtu::BuildQuery(*code)
                               : dtu::BuildRequest(*code, hex::ParsePairs(digits, digits.size() / 2));
        if (!built)
            return bad("the payload is longer than the 255 bytes a frame can carry");
        request = *built;
    }

    const Expanded expanded = ExpandPorts(portPatterns);
    if (!expanded.unmatched.empty())
        return bad("no device matches " + expanded.unmatched);
    if (doctor->parsed())
        return Doctor(expanded.ports, json, console);
    if (expanded.ports.empty())
        return bad("no port given: use -p PORT (see dtuctl ports)");

    if (read->parsed())
        return RunOnPorts(expanded.ports, line, json, console, [&](PortContext& c) { return ReadJob(c, asProfile); });
    if (write->parsed())
        return RunOnPorts(expanded.ports, line, json, console, [&](PortContext& c) { return WriteJob(c, *profile); });
    if (upgradeCmd->parsed()) {
        return RunOnPorts(expanded.ports, line, json, console, [&](PortContext& c) {
            const UpgradeResult u = RunUpgradeOn(c.link, *image, line.baud, line.timeoutMs,
                                                 [&](const UpgradeProgress& p, bool milestone) {
                                                     if (milestone)
                                                         c.board.Step(c.index, FormatProgress(p));
                                                     else
                                                         c.board.Update(c.index, FormatProgress(p));
                                                 });
            PortResult r;
            r.ok = u.ok;
            r.summary = u.message;
            r.text = u.message + "\n";
            r.json["outcome"] = u.message;
            r.json["bytes"] = u.bytesSent;
            r.json["seconds"] = u.seconds;
            return r;
        });
    }
    if (send->parsed())
        return RunOnPorts(expanded.ports, line, json, console, [&](PortContext& c) { return SendJob(c, request); });
    if (monitor->parsed()) {
        g_stopMonitor.store(false);
        struct sigaction action {};
        struct sigaction previous {};
        action.sa_handler = OnInterrupt;
        sigemptyset(&action.sa_mask);
        sigaction(SIGINT, &action, &previous);
        std::mutex outLock;
        const bool prefix = expanded.ports.size() > 1;
        const int rc = RunOnPorts(expanded.ports, line, json, console, [&](PortContext& c) {
            return MonitorJob(c, expanded.ports[c.index], prefix, json, outLock, console.out);
        });
        sigaction(SIGINT, &previous, nullptr);
        return rc;
    }
    return bad("no command given");
}

}  // namespace cli
