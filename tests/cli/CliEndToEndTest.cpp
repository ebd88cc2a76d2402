// dtuctl whole, as a user runs it, against simulated DTUs on real
// pseudo-terminals. Slow by nature: every answer waits for the line to
// fall silent, so each test keeps to the exchanges it needs.
#include "driver/serial/PortHolder.h"
#include "dtu-sim/sim/SimulatedDtu.h"
#include "jobs/port/Link.h"
#include "dtuctl/cli/Run.h"
#include "tests/cli/Profiles.h"
#include "tests/cli/SimulatedDtus.h"
#include "tests/support/Bytes.h"
#include "tests/support/Listener.h"
#include "tests/support/Pty.h"
#include "tests/support/RunCtl.h"
#include "tests/support/Ser2net.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace {

namespace fs = std::filesystem;

std::vector<nlohmann::json> JsonLines(const std::string& text)
{
    std::vector<nlohmann::json> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(nlohmann::json::parse(line));
    return lines;
}


// What `read --json` reports, less the clock, which runs on.
nlohmann::json Settings(const std::string& port, std::vector<std::string> options = {})
{
    options.insert(options.end(), {"-p", port, "--json", "read"});
    const auto lines = JsonLines(RunCtl(options).out);
    if (lines.size() != 1)
        return nullptr;
    nlohmann::json settings = lines[0]["settings"];
    settings.erase("clock");
    return settings;
}

using Dtuctl = SimulatedDtus;

TEST_F(Dtuctl, ReadPrintsEverySettingAsTableAndJson)
{
    const std::string port = Start().TerminalPath();
    const CtlRun table = RunCtl({"-p", port, "read"});
    ASSERT_EQ(table.code, cli::kExitOk) << table.err;
    for (const char* line : {"server.ip             192.168.1.100", "serial.baud           115200",
                             "mode.options          sms_ucs2, sms_hex", "version               KV-331 V2.3.1 (simulated)",
                             "signal                +CSQ: 24,99", "rf.frequency_mhz      434.00", "phones                (none)"})
        EXPECT_NE(table.out.find(line), std::string::npos) << line << "\n" << table.out;

    const CtlRun json = RunCtl({"-p", port, "read", "--json"});
    ASSERT_EQ(json.code, cli::kExitOk) << json.err;
    const auto lines = JsonLines(json.out);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0]["port"], port);
    EXPECT_EQ(lines[0]["ok"], true);
    EXPECT_EQ(lines[0]["settings"]["server"]["port"], 8080);
    EXPECT_EQ(lines[0]["settings"]["rf"]["power"], "Level7");
}

TEST_F(Dtuctl, WriteReadsEverySettingBack)
{
    const std::string port = Start().TerminalPath();
    const CtlRun r = RunCtl({"-p", port, "write", File("full.toml", kFullProfile)});
    ASSERT_EQ(r.code, cli::kExitOk) << r.err << r.out;
    EXPECT_EQ(r.out.find("DIFFERS"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("secret"), std::string::npos) << "the password is never printed";
    for (const char* line : {"server.domain         dtu.example.net             dtu.example.net             ok",
                             "mode.options          sms_ucs2, tcp               sms_ucs2, tcp               ok",
                             "rf.address            12                          12                          ok",
                             "apn.password          (not shown)                 -                           written"})
        EXPECT_NE(r.out.find(line), std::string::npos) << line << "\n" << r.out;

    // Another read sees the profile.
    const auto read = JsonLines(RunCtl({"-p", port, "--json", "read"}).out);
    ASSERT_EQ(read.size(), 1u);
    const nlohmann::json& s = read[0]["settings"];
    EXPECT_EQ(s["phones"], nlohmann::json::array({"13700001111", "15800002222"}));
    EXPECT_EQ(s["server"]["uses"], "domain");
    EXPECT_EQ(s["packets"]["registration"]["text"], "DTU-0042");
}

// Fast replies change when an answer completes, never what it says.
TEST_F(Dtuctl, FastRepliesGiveTheSameResults)
{
    const std::string port = Start().TerminalPath();
    const CtlRun written = RunCtl({"-p", port, "--fast", "write", File("full.toml", kFullProfile)});
    ASSERT_EQ(written.code, cli::kExitOk) << written.err << written.out;
    EXPECT_EQ(written.out.find("DIFFERS"), std::string::npos) << written.out;
    const nlohmann::json fast = Settings(port, {"--fast"});
    ASSERT_TRUE(fast.is_object());
    EXPECT_EQ(fast, Settings(port));
    EXPECT_EQ(fast["rf"]["frequency_mhz"], "433.00");
}

// With fast replies: the silence-paced path is covered by the tests above.
TEST_F(Dtuctl, APrintedProfileWritesBackWithoutChangingAnything)
{
    const std::string port = Start().TerminalPath();
    ASSERT_EQ(RunCtl({"-p", port, "--fast", "write", File("full.toml", kFullProfile)}).code, cli::kExitOk);
    const CtlRun printed = RunCtl({"-p", port, "--fast", "read", "--profile"});
    ASSERT_EQ(printed.code, cli::kExitOk) << printed.err;
    const std::string path = File("read.toml", printed.out);
    EXPECT_EQ(RunCtl({"write", "--check", path}).code, cli::kExitOk);

    const nlohmann::json before = Settings(port, {"--fast"});
    ASSERT_TRUE(before.is_object());
    const CtlRun again = RunCtl({"-p", port, "--fast", "write", path});
    EXPECT_EQ(again.code, cli::kExitOk) << again.out << again.err;
    EXPECT_EQ(Settings(port, {"--fast"}), before);
}

TEST_F(Dtuctl, BadInputSendsNothing)
{
    std::ostringstream log;
    sim::SimulatedDtu& dtu = Start({}, &log);
    const std::string port = dtu.TerminalPath();
    const std::string bad = File("bad.toml", "[serial]\nbaud = 38400\nstop_bits = 2\n");
    const CtlRun r = RunCtl({"-p", port, "write", bad});
    EXPECT_EQ(r.code, cli::kExitBadInput);
    EXPECT_NE(r.err.find(bad + ":3:1: unknown key 'stop_bits' in [serial]"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("nothing was sent"), std::string::npos);

    const CtlRun checked = RunCtl({"write", "--check", bad});
    EXPECT_EQ(checked.code, cli::kExitBadInput);

    const CtlRun missing = RunCtl({"-p", port, "upgrade", "--app", (dir_ / "none.bin").string()});
    EXPECT_EQ(missing.code, cli::kExitBadInput);
    EXPECT_NE(missing.err.find("not an image file (no such file)"), std::string::npos) << missing.err;
    // A folder or an endless device is refused, never read (they used to
    // abort the program or eat the memory).
    for (const std::string& path : {dir_.string(), std::string("/dev/zero")}) {
        EXPECT_EQ(RunCtl({"-p", port, "upgrade", "--app", path}).code, cli::kExitBadInput) << path;
        EXPECT_EQ(RunCtl({"write", "--check", path}).code, cli::kExitBadInput) << path;
    }
    EXPECT_EQ(RunCtl({"-p", port, "upgrade", "--iap", File("empty.bin", "")}).code, cli::kExitBadInput);
    EXPECT_EQ(RunCtl({"-p", port, "send", "E9", "0"}).code, cli::kExitBadInput);
    EXPECT_EQ(RunCtl({"-p", port, "send", "XYZ"}).code, cli::kExitBadInput);
    EXPECT_EQ(RunCtl({"-p", port, "--baud", "14400", "read"}).code, cli::kExitBadInput);
    EXPECT_EQ(RunCtl({"-p", (dir_ / "tty*").string(), "read"}).code, cli::kExitBadInput);

    dtu.Stop();
    EXPECT_EQ(log.str(), "") << "bytes reached the DTU";
}

TEST_F(Dtuctl, BusyPortIsRefusedInTheSettingsPagesWords)
{
    const std::string port = Start().TerminalPath();
    jobs::Link holder;
    holder.OpenOrThrow(port, 115200, 0);
    const CtlRun r = RunCtl({"-p", port, "read"});
    EXPECT_EQ(r.code, cli::kExitFailed);
    EXPECT_NE(r.err.find(port + " is in use by another program; close that program first. (dtuctl doctor -p " + port +
                         " says why)"),
              std::string::npos)
        << r.err;
}

// Another program holding the port is named, with its process id.
TEST_F(Dtuctl, DoctorNamesTheProgramThatHoldsAPort)
{
    const std::string port = Start().TerminalPath();
    const CtlRun clear = RunCtl({"-p", port, "doctor"});
    EXPECT_EQ(clear.code, cli::kExitOk) << clear.out;
    EXPECT_EQ(clear.out, "No problem found.\n");

    int opened[2];
    ASSERT_EQ(::pipe(opened), 0);
    const pid_t holder = ::fork();
    ASSERT_GE(holder, 0);
    if (holder == 0) {
        // Only async-signal-safe calls between fork and exit.
        const char done = ::open(port.c_str(), O_RDWR | O_NOCTTY) >= 0 ? 1 : 0;
        (void)!::write(opened[1], &done, 1);
        ::pause();
        ::_exit(0);
    }
    char done = 0;
    EXPECT_EQ(::read(opened[0], &done, 1), 1);
    EXPECT_EQ(done, 1);
    ::close(opened[0]);
    ::close(opened[1]);
    const CtlRun held = RunCtl({"-p", port, "--json", "doctor"});
    ::kill(holder, SIGKILL);
    ::waitpid(holder, nullptr, 0);
    EXPECT_EQ(held.code, cli::kExitFailed) << held.out;
    const auto lines = JsonLines(held.out);
    ASSERT_EQ(lines.size(), 1u) << held.out;
    EXPECT_EQ(lines[0]["problem"], "held_by_program");
    EXPECT_NE(lines[0]["text"].get<std::string>().find(std::to_string(holder)), std::string::npos) << held.out;
}

TEST_F(Dtuctl, ADtuThatStopsAnsweringIsNamedWithItsRequest)
{
    sim::Faults silent;
    silent.noReply = true;
    sim::Faults garbled;
    garbled.corruptEnvelope = true;
    const struct {
        sim::Faults faults;
        std::string message;
    } cases[] = {
        {silent, "no answer to write serial settings within 700 ms (sent FA 80 EC 03 03 00 00 6C 0D)"},
        {garbled, "malformed answer to write serial settings: FA 00 EC 01 01 E8 00"},
    };
    const std::string profile = File("p.toml", "[serial]\nbaud = 9600\nparity = \"none\"\ninterface = \"ttl\"\n");
    for (const auto& c : cases) {
        const CtlRun r = RunCtl({"-p", Start(c.faults).TerminalPath(), "--timeout", "700", "write", profile});
        EXPECT_EQ(r.code, cli::kExitFailed);
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    }
}

TEST_F(Dtuctl, SendPrintsTheDecodedAnswer)
{
    const std::string port = Start().TerminalPath();
    const CtlRun r = RunCtl({"-p", port, "send", "0xED"});
    ASSERT_EQ(r.code, cli::kExitOk) << r.err;
    EXPECT_EQ(r.out,
              "sent:   FA 80 ED 03 00 00 00 6A 0D\n"
              "        read serial settings\n"
              "answer: FA 00 ED 03 07 00 00 F1 0D\n"
              "        read serial settings: 115200 baud, parity NO, TTL\n");
    const CtlRun written = RunCtl({"-p", port, "--json", "send", "EC", "03", "0201"});
    ASSERT_EQ(written.code, cli::kExitOk) << written.err;
    const auto lines = JsonLines(written.out);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0]["request"], "FA80EC030302016F0D");
    EXPECT_EQ(lines[0]["decoded"], "write serial settings: acknowledged");
}

// Every byte value, in an order no block repeats.
Bytes Image(std::size_t size)
{
    Bytes image;
    for (std::size_t i = 0; i < size; ++i)
        image.push_back(static_cast<std::uint8_t>(i * 7 + i / 256));
    return image;
}

TEST_F(Dtuctl, UpgradeSendsTheImageAndItsVerdictIsTheExitCode)
{
    sim::SimulatedDtu& dtu = Start();
    const Bytes image = Image(2500);
    const std::string path = File("app.bin", std::string(image.begin(), image.end()));
    const CtlRun r = RunCtl({"-p", dtu.TerminalPath(), "upgrade", "--app", path});
    EXPECT_EQ(r.code, cli::kExitOk) << r.err;
    EXPECT_NE(r.out.find("the DTU accepted the image (ECK), 2500 bytes"), std::string::npos) << r.out;
    // Plain lines, not a bar, when the output is not a terminal.
    EXPECT_NE(r.err.find(": [####################] 3/3 blocks  2500/2500 B"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find('\x1b'), std::string::npos);
    Bytes received;
    dtu.WithDevice([&](sim::Device& d) { received = d.upgradeImage(); });
    EXPECT_TRUE(received == image);

    sim::Faults dck;
    dck.failUpgrade = true;
    dtu.SetFaults(dck);
    const CtlRun refused = RunCtl({"-p", dtu.TerminalPath(), "upgrade", "--app", path, "--fast"});
    EXPECT_EQ(refused.code, cli::kExitFailed);
    EXPECT_NE(refused.err.find("the DTU rejected the image (DCK)"), std::string::npos) << refused.err;

    sim::Faults hangup;
    hangup.hangupAfterBlocks = 1;
    dtu.SetFaults(hangup);
    const CtlRun lost = RunCtl({"-p", dtu.TerminalPath(), "upgrade", "--iap", path});
    EXPECT_EQ(lost.code, cli::kExitFailed);
    EXPECT_NE(lost.err.find("the port went away"), std::string::npos) << lost.err;
}

// Eight DTUs provisioned at once: one stops answering, the seven others
// are written and verified all the same, and the exit code says one failed.
TEST_F(Dtuctl, EightPortsAtOnceWithOneFailing)
{
    std::vector<std::string> args;
    for (int i = 0; i < 8; ++i) {
        sim::Faults faults;
        faults.noReply = i == 5;
        args.insert(args.end(), {"-p", Start(faults).TerminalPath()});
    }
    const std::string profile = File("p.toml", kFullProfile);
    std::vector<std::string> plain = args;
    plain.insert(plain.end(), {"--timeout", "1500", "--json", "write", "--same-own-id", profile});
    const CtlRun r = RunCtl(plain);
    EXPECT_EQ(r.code, cli::kExitFailed) << r.err;
    const auto lines = JsonLines(r.out);
    ASSERT_EQ(lines.size(), 8u) << r.out;
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(lines[static_cast<std::size_t>(i)]["port"], dtus_[static_cast<std::size_t>(i)]->TerminalPath());
        EXPECT_EQ(lines[static_cast<std::size_t>(i)]["ok"], i != 5) << lines[static_cast<std::size_t>(i)].dump();
    }
    EXPECT_NE(lines[5]["error"].get<std::string>().find("no answer to write phone list"), std::string::npos);
    EXPECT_EQ(lines[0]["settings"].size(), 24u);
}

// One own ID given to many units at once is refused before a byte, unless
// asked for in so many words.
TEST_F(Dtuctl, OneOwnIdIsNotStampedOnManyUnits)
{
    std::string fleet = kFullProfile;
    fleet.erase(fleet.find("[own_id]"), fleet.find("[server]") - fleet.find("[own_id]"));
    const struct Case {
        const char* name;
        int ports;
        const char* profile;
        bool same;
        int code;
    } cases[] = {
        {"two ports, one own ID", 2, kFullProfile, false, cli::kExitBadInput},
        {"asked for", 2, kFullProfile, true, cli::kExitOk},
        {"one port", 1, kFullProfile, false, cli::kExitOk},
        {"no own ID", 2, fleet.c_str(), false, cli::kExitOk},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // One log a simulated DTU: each writes its own from its own thread.
        std::ostringstream logs[2];
        std::vector<sim::SimulatedDtu*> started;
        std::vector<std::string> args{"--fast"};
        for (int i = 0; i < c.ports; ++i) {
            started.push_back(&Start({}, &logs[i]));
            args.insert(args.end(), {"-p", started.back()->TerminalPath()});
        }
        args.emplace_back("write");
        if (c.same)
            args.emplace_back("--same-own-id");
        args.push_back(File("p.toml", c.profile));
        const CtlRun r = RunCtl(args);
        // Their logs are read, and go, once they have stopped writing them.
        for (sim::SimulatedDtu* dtu : started)
            dtu->Stop();
        EXPECT_EQ(r.code, c.code) << r.err;
        if (c.code == cli::kExitBadInput) {
            EXPECT_NE(r.err.find("own_id.id gives all 2 ports one own ID, AABBCCDDEEFF"), std::string::npos) << r.err;
            for (const std::ostringstream& log : logs)
                EXPECT_EQ(log.str(), "") << "bytes reached a DTU";
        }
    }
}

TEST_F(Dtuctl, SummaryTableNamesEveryPort)
{
    sim::Faults silent;
    silent.noReply = true;
    const std::string good = Start().TerminalPath();
    const std::string bad = Start(silent).TerminalPath();
    const CtlRun r = RunCtl({"-p", good, "-p", bad, "-p", good, "--timeout", "600", "--fast", "send", "F1"});
    EXPECT_EQ(r.code, cli::kExitFailed);
    EXPECT_NE(r.out.find("== " + good + "\n"), std::string::npos) << r.out;
    // Columns are as wide as the longest path: compare the words of a row.
    const auto row = [&](const std::string& port) {
        std::istringstream in(r.out);
        for (std::string line; std::getline(in, line);)
            if (line.rfind(port + " ", 0) == 0) {
                std::istringstream words(line);
                std::string word, joined;
                while (words >> word)
                    joined += (joined.empty() ? "" : " ") + word;
                return joined;
            }
        return std::string();
    };
    EXPECT_EQ(row(good), good + " ok read version: \"KV-331 V2.3.1 (simulated)\"") << r.out;
    EXPECT_EQ(row(bad), bad + " FAILED no answer to read version within 600 ms (sent FA 80 F1 02 00 00 6D 0D)") << r.out;
}

TEST_F(Dtuctl, MonitorPrintsEveryFrameUntilStopped)
{
    for (const bool json : {false, true}) {
        SCOPED_TRACE(json);
        PtyPair line;
        CtlRun r{};
        std::vector<std::string> args{"-p", line.terminalPath(), "monitor"};
        if (json)
            args.push_back("--json");
        std::thread monitor([&] { r = RunCtl(args); });
        // The monitor has the port once the kernel lists its lock.
        ASSERT_TRUE(WaitFor([&] { return serial::FindHolder(line.terminalPath()).has_value(); }));
        line.Send(H("FA 00 F1 03 56 31 00 75 0D"));
        std::this_thread::sleep_for(std::chrono::milliseconds(700));
        line.Send(H("FA 80 E9 01 00 64 0D"));
        std::this_thread::sleep_for(std::chrono::milliseconds(700));
        cli::StopMonitor();
        monitor.join();
        EXPECT_EQ(r.code, cli::kExitOk) << r.err;
        if (!json) {
            // The same words as the window's line monitor.
            EXPECT_NE(r.out.find("  FA 00 F1 03 56 31 00 75 0D  read version: \"V1\"\n"), std::string::npos) << r.out;
            // A request coming back up the line is no answer, and is marked.
            EXPECT_NE(r.out.find("  FA 80 E9 01 00 64 0D  frame: 7 bytes (direction byte 80, 00 expected)\n"),
                      std::string::npos)
                << r.out;
            continue;
        }
        const auto lines = JsonLines(r.out);
        ASSERT_EQ(lines.size(), 3u) << r.out;
        EXPECT_EQ(lines[0]["frame"], "FA00F103563100750D");
        EXPECT_EQ(lines[0]["decoded"], "read version: \"V1\"");
        EXPECT_EQ(lines[1]["frame"], "FA80E90100640D");
        EXPECT_EQ(lines[2]["ok"], true);
    }
}

TEST_F(Dtuctl, GlobsNameEveryMatchingPortOnceInNaturalOrder)
{
    for (const char* name : {"ttyX10", "ttyX2", "ttyX1", "other"})
        File(name, "");
    const cli::Expanded e = cli::ExpandPorts({(dir_ / "ttyX*").string(), (dir_ / "ttyX2").string()});
    EXPECT_EQ(e.ports, (std::vector<std::string>{(dir_ / "ttyX1").string(), (dir_ / "ttyX2").string(),
                                                 (dir_ / "ttyX10").string()}));
    EXPECT_EQ(cli::ExpandPorts({(dir_ / "ttyQ*").string()}).unmatched, (dir_ / "ttyQ*").string());
    // A URL stays itself, brackets and all.
    EXPECT_EQ(cli::ExpandPorts({"rfc2217://[::1]:7000"}).ports, std::vector<std::string>{"rfc2217://[::1]:7000"});
}

TEST_F(Dtuctl, HelpAndVersion)
{
    const CtlRun version = RunCtl({"--version"});
    EXPECT_EQ(version.code, cli::kExitOk);
    EXPECT_EQ(version.out, "dtuctl 0.1.0\n");
    for (const char* command : {"read", "write", "upgrade", "send", "monitor", "ports", "doctor"}) {
        const CtlRun help = RunCtl({command, "-h"});
        EXPECT_EQ(help.code, cli::kExitOk) << command;
        EXPECT_NE(help.out.find("Usage"), std::string::npos) << command << help.out;
    }
    EXPECT_EQ(RunCtl({}).code, cli::kExitBadInput);
}

// Through a real serial device server: ser2net on 127.0.0.1 in front of
// two simulated DTUs that expect 9600 baud, one behind its RFC 2217 port,
// one behind its raw port (whose line ser2net sets to 9600 itself).
class NetworkPorts : public Dtuctl {
protected:
    void SetUp() override
    {
        Dtuctl::SetUp();
        sim::SimulatedDtu::Options options;
        options.baudRate = 9600;
        for (auto* dtu : {&localDtu_, &telnetDtu_, &rawDtu_}) {
            dtus_.push_back(std::make_unique<sim::SimulatedDtu>(options));
            ASSERT_TRUE(dtus_.back()->Start()) << dtus_.back()->error();
            *dtu = dtus_.back().get();
        }
        server_ = std::make_unique<Ser2net>(telnetDtu_->TerminalPath(), rawDtu_->TerminalPath(), "9600n81");
        ASSERT_EQ(server_->error(), "");
    }
    void TearDown() override
    {
        server_.reset();
        Dtuctl::TearDown();
    }

    sim::SimulatedDtu* localDtu_ = nullptr;
    sim::SimulatedDtu* telnetDtu_ = nullptr;
    sim::SimulatedDtu* rawDtu_ = nullptr;
    std::unique_ptr<Ser2net> server_;
};

// One run over a local port and both kinds of network port: the profile is
// written and read back, and an image full of 0xFF bytes arrives intact.
TEST_F(NetworkPorts, EverythingALocalPortDoesWorksOnEitherUrl)
{
    const std::string local = localDtu_->TerminalPath();
    const std::vector<std::string> ports{local, server_->Rfc2217Url(), server_->SocketUrl()};
    const auto onAll = [&](std::vector<std::string> args) {
        std::vector<std::string> all;
        for (const std::string& port : ports)
            all.insert(all.end(), {"-p", port});
        all.insert(all.end(), {"-b", "9600", "--fast"});
        all.insert(all.end(), args.begin(), args.end());
        return RunCtl(all);
    };
    const CtlRun written = onAll({"write", "--same-own-id", File("full.toml", kFullProfile)});
    ASSERT_EQ(written.code, cli::kExitOk) << written.err << written.out;
    EXPECT_EQ(written.out.find("DIFFERS"), std::string::npos) << written.out;
    const nlohmann::json expected = Settings(local, {"-b", "9600", "--fast"});
    ASSERT_TRUE(expected.is_object());
    for (const std::string& url : {server_->Rfc2217Url(), server_->SocketUrl()}) {
        EXPECT_EQ(Settings(url, {"-b", "9600", "--fast"}), expected) << url;
        // Completed by the silence on the tick too, as the settings page does.
        EXPECT_EQ(Settings(url, {"-b", "9600"}), expected) << url;
    }

    const Bytes image = Image(2500);
    ASSERT_NE(std::count(image.begin(), image.end(), 0xFF), 0);
    const CtlRun upgraded = onAll({"upgrade", "--app", File("app.bin", std::string(image.begin(), image.end()))});
    EXPECT_EQ(upgraded.code, cli::kExitOk) << upgraded.err;
    for (sim::SimulatedDtu* dtu : {localDtu_, telnetDtu_, rawDtu_}) {
        Bytes received;
        dtu->WithDevice([&](sim::Device& d) { received = d.upgradeImage(); });
        EXPECT_TRUE(received == image);
    }
}

// The rate reaches the DTU's line through RFC 2217: the rate it expects
// is understood, another is not.
TEST_F(NetworkPorts, TheRateIsNegotiatedWithTheServer)
{
    const CtlRun wrong = RunCtl({"-p", server_->Rfc2217Url(), "-b", "115200", "--timeout", "500", "read"});
    EXPECT_EQ(wrong.code, cli::kExitFailed);
    EXPECT_NE(wrong.err.find("no answer"), std::string::npos) << wrong.err;
    EXPECT_EQ(RunCtl({"-p", server_->Rfc2217Url(), "-b", "9600", "--fast", "read"}).code, cli::kExitOk);
}

TEST_F(NetworkPorts, EachFailureIsToldForWhatItIs)
{
    jobs::Link holder;
    ASSERT_TRUE(holder.Open(server_->Rfc2217Url(), 9600, 0));
    const Listener silent;  // takes the connection and says nothing
    const std::string silentHost = "127.0.0.1:" + std::to_string(silent.port());
    const struct {
        std::string url;
        SerialError error;
        std::string said = {};
    } rows[] = {
        {"rfc2217://127.0.0.1:" + std::to_string(FreePort()), SerialError::Refused},
        {"socket://localhost:" + std::to_string(FreePort()), SerialError::Refused},
        // An empty label: the resolver turns it down without asking a name server.
        {"rfc2217://a..b:2217", SerialError::HostNotFound},
        {server_->Rfc2217Url(), SerialError::ServerClosed, "Port already in use"},
        {"rfc2217://" + silentHost, SerialError::LineUnconfirmed},
        {"socket://" + silentHost, SerialError::None},
        {"rfc2217://127.0.0.1", SerialError::BadUrl},
        {"serial://127.0.0.1:1", SerialError::BadUrl},
    };
    for (const auto& row : rows) {
        jobs::Link link;
        link.SetConnectTimeout(500);
        EXPECT_EQ(link.Open(row.url, 9600, 0), row.error == SerialError::None) << row.url;
        EXPECT_EQ(link.LastError(), row.error) << row.url;
        EXPECT_EQ(link.LastServerText(), row.said) << row.url;
    }
}

// ser2net lets a device go a moment after a connection ends and turns the
// next one away until then. A script's next run, on either port of the
// device, waits for it within the connect time-out: here the first
// connection lasts a little longer, to make that moment certain.
TEST_F(NetworkPorts, TheNextRunWaitsForTheDeviceTheLastOneHeld)
{
    // One line for both ports: ser2net only knows a device by its whole
    // connector, line included.
    const std::string device = Start().TerminalPath();
    const Ser2net shared(device, device, "115200n81");
    ASSERT_EQ(shared.error(), "");
    const std::string urls[] = {shared.Rfc2217Url(), shared.SocketUrl()};
    for (const std::string& first : urls)
        for (const std::string& next : urls) {
            jobs::Link held;
            ASSERT_TRUE(held.Open(first, 115200, 0)) << first;
            std::thread release([&held] {
                std::this_thread::sleep_for(std::chrono::milliseconds(300));
                held.Close();
            });
            const CtlRun r = RunCtl({"-p", next, "-b", "115200", "--fast", "read"});
            release.join();
            EXPECT_EQ(r.code, cli::kExitOk) << first << " then " << next << ": " << r.err;
        }
}

// The server goes away half way through an upgrade: told, and nothing waits.
TEST_F(NetworkPorts, AServerStoppedMidTransferIsReported)
{
    const Bytes image = Image(64 * 1024);
    const std::string path = File("app.bin", std::string(image.begin(), image.end()));
    std::thread stopper([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(600));
        server_->Stop();
    });
    const auto start = std::chrono::steady_clock::now();
    const CtlRun r = RunCtl({"-p", server_->Rfc2217Url(), "-b", "9600", "upgrade", "--app", path});
    stopper.join();
    EXPECT_EQ(r.code, cli::kExitFailed);
    EXPECT_NE(r.err.find("the server closed the connection"), std::string::npos) << r.err;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

}  // namespace
