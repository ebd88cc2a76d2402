// The records dtuctl's jobs leave: one a unit, begun before the work and
// completed after it, in a real store in a temporary folder.
#include "core/records/Record.h"
#include "driver/records/Sha256.h"
#include "tests/cli/Profiles.h"
#include "tests/cli/SimulatedDtus.h"
#include "tests/support/KeptRecords.h"
#include "tests/support/Postgres.h"
#include "tests/support/RunCtl.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <set>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// dtuctl as a process of its own, as nobody when root runs the tests so
// that a folder's permissions hold; its exit status, or the pid to kill.
pid_t Spawn(const std::vector<std::string>& args, bool asNobody)
{
    std::vector<char*> argv{const_cast<char*>(DTUCTL_PATH)};
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 1);
        ::dup2(null, 2);
        if (asNobody && ::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(126);
        ::execv(DTUCTL_PATH, argv.data());
        ::_exit(127);
    }
    return child;
}

int ExitOf(pid_t child)
{
    int status = 0;
    return ::waitpid(child, &status, 0) == child && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class JobRecords : public SimulatedDtus {
protected:
    void SetUp() override
    {
        SimulatedDtus::SetUp();
        place_ = (dir_ / "records.sqlite").string();
    }
    void TearDown() override
    {
        fs::permissions(dir_, fs::perms::owner_all);
        SimulatedDtus::TearDown();
    }

    std::vector<records::Record> Kept() { return KeptRecords(place_); }

    std::string place_;
};

std::string FileSha(const std::string& path)
{
    std::string error;
    return records::FileSha256(path, error).value_or(error);
}

TEST_F(JobRecords, EachJobLeavesOneCompleteRecordOfItsUnit)
{
    std::string image(2500, '\x5a');
    const std::string app = File("app.bin", image);
    // An image that says what it is: the unit runs that version once it took it.
    const std::string versioned = File("v.bin", "DTU-VERSION:KV-331 V2.4.0" + std::string(3000, '\0'));
    const std::string profile = File("p.toml", kFullProfile);
    sim::Faults dck, silent;
    dck.failUpgrade = true;
    silent.noReply = true;
    const struct Case {
        const char* name;
        sim::Faults faults;
        std::vector<std::string> args;
        int code;
        std::string_view action, result;
        const char* detail;
        std::string version = "KV-331 V2.3.1 (simulated)";
    } cases[] = {
        {"read", {}, {"read"}, cli::kExitOk, records::kActionRead, records::kResultOk, ""},
        {"write", {}, {"write", profile}, cli::kExitOk, records::kActionWrite, records::kResultOk, ""},
        {"upgrade", {}, {"upgrade", "--iap", app}, cli::kExitOk, records::kActionUpgrade, records::kResultOk, ""},
        {"new version", {}, {"upgrade", "--app", versioned}, cli::kExitOk, records::kActionUpgrade,
         records::kResultOk, "", "KV-331 V2.4.0"},
        {"refused image", dck, {"upgrade", "--app", app}, cli::kExitFailed, records::kActionUpgrade,
         records::kResultFailed, "rejected the image (DCK)"},
        {"silent unit", silent, {"--timeout", "500", "write", profile}, cli::kExitFailed, records::kActionWrite,
         records::kResultFailed, "no answer to read own communication ID", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sim::SimulatedDtu& dtu = Start(c.faults);
        std::vector<std::string> args{"--records", place_, "-p", dtu.TerminalPath()};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const CtlRun run = RunCtl(args);
        EXPECT_EQ(run.code, c.code) << run.err;

        const std::vector<records::Record> kept = Kept();
        ASSERT_FALSE(kept.empty());
        const records::Record& r = kept.front();
        EXPECT_EQ(r.action, c.action);
        EXPECT_EQ(r.result, c.result);
        EXPECT_NE(r.detail.find(c.detail), std::string::npos) << r.detail;
        EXPECT_EQ(r.port, dtu.TerminalPath());
        EXPECT_EQ(r.unitId.size(), c.faults.noReply ? 0u : 12u) << r.unitId;
        EXPECT_EQ(r.version, c.version);
        EXPECT_EQ(r.program, "dtuctl " DTU_VERSION);
        EXPECT_FALSE(r.station.empty());
        EXPECT_FALSE(r.operatorName.empty());
        EXPECT_LE(r.started, r.ended);
        const bool writes = c.action == records::kActionWrite, upgrades = c.action == records::kActionUpgrade;
        EXPECT_EQ(r.profileName, writes ? profile : "");
        EXPECT_EQ(r.profileSha256, writes ? FileSha(profile) : "");
        EXPECT_EQ(r.imageSha256, upgrades ? FileSha(c.args.back()) : "");
        EXPECT_EQ(r.imageSize, upgrades ? std::optional<std::int64_t>(fs::file_size(c.args.back())) : std::nullopt);
        EXPECT_EQ(r.imageKind, !upgrades ? "" : c.args[1] == "--iap" ? records::kImageIap : records::kImageApp);
    }
    EXPECT_EQ(Kept().size(), std::size(cases));
}

// A store that cannot be written refuses the job before a byte is sent;
// a job killed half-way stays as interrupted, never missing.
TEST_F(JobRecords, NoUnitGoesUnrecorded)
{
    std::ostringstream log;
    sim::SimulatedDtu& quiet = Start({}, &log);
    ::chmod(quiet.TerminalPath().c_str(), 0666);
    const fs::path readOnly = dir_ / "read-only";
    fs::create_directory(readOnly);
    fs::permissions(dir_, fs::perms::owner_all | fs::perms::others_exec);
    fs::permissions(readOnly, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::others_read |
                                  fs::perms::others_exec);
    const std::string profile = File("p.toml", kFullProfile);
    EXPECT_EQ(ExitOf(Spawn({"--records", (readOnly / "r.sqlite").string(), "-p", quiet.TerminalPath(), "write",
                            profile},
                           true)),
              cli::kExitBadInput);
    quiet.Stop();
    EXPECT_EQ(log.str(), "") << "bytes reached the DTU";

    sim::SimulatedDtu& dtu = Start();
    const pid_t upgrade = Spawn({"--records", place_, "-p", dtu.TerminalPath(), "upgrade", "--app",
                                 File("big.bin", std::string(64 * 1024, '\x33'))},
                                false);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    std::size_t blocks = 0;
    while (blocks == 0 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        dtu.WithDevice([&](sim::Device& d) { blocks = d.upgradeImage().size(); });
    }
    ::kill(upgrade, SIGKILL);
    ExitOf(upgrade);
    ASSERT_GT(blocks, 0u) << "the upgrade never began";
    const std::vector<records::Record> kept = Kept();
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0].result, records::kResultInterrupted);
    EXPECT_EQ(kept[0].ended, "");
    EXPECT_EQ(kept[0].unitId.size(), 12u);
}

// Two stations provision eight units each at the same moment into one
// PostgreSQL database: sixteen records, none lost or doubled.
TEST_F(JobRecords, TwoStationsShareOneDatabase)
{
    std::string error;
    const std::string url = pgtest::FreshDatabase(error);
    ASSERT_FALSE(url.empty()) << error;
    const std::string profile = File("p.toml", kFullProfile);
    std::vector<pid_t> stations;
    std::set<std::string> ports;
    for (int station = 0; station < 2; ++station) {
        std::vector<std::string> args{"--records", url, "--fast"};
        for (int i = 0; i < 8; ++i) {
            const std::string port = Start().TerminalPath();
            ports.insert(port);
            args.insert(args.end(), {"-p", port});
        }
        args.insert(args.end(), {"write", "--same-own-id", profile});
        stations.push_back(Spawn(args, false));
    }
    for (const pid_t station : stations)
        EXPECT_EQ(ExitOf(station), cli::kExitOk);

    const std::vector<records::Record> kept = KeptRecords(url);
    std::set<std::string> recorded;
    for (const records::Record& r : kept) {
        EXPECT_EQ(r.result, records::kResultOk) << r.port << ": " << r.detail;
        EXPECT_EQ(r.unitId.size(), 12u);
        recorded.insert(r.port);
    }
    EXPECT_EQ(kept.size(), 16u);
    EXPECT_EQ(recorded, ports);
}

// The store gone in the middle of an upgrade: the unit took its image and
// dtuctl says so, apart from the record's end, which waits on the station
// and reaches the store once it answers again.
TEST_F(JobRecords, AnEndTheStoreMissedWaitsOnTheStation)
{
    std::string error;
    const std::string url = pgtest::FreshDatabase(error);
    ASSERT_FALSE(url.empty()) << error;
    sim::SimulatedDtu& dtu = Start();
    const std::string image = File("v.bin", "DTU-VERSION:KV-331 V2.4.0" + std::string(12 * 1024, '\0'));
    CtlRun run;
    std::thread upgrade([&] { run = RunCtl({"--records", url, "--json", "-p", dtu.TerminalPath(), "upgrade", "--app", image}); });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    std::size_t received = 0;
    while (received == 0 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        dtu.WithDevice([&](sim::Device& d) { received = d.upgradeImage().size(); });
    }
    pgtest::Stop();
    upgrade.join();
    EXPECT_EQ(run.code, cli::kExitOk) << run.err;
    EXPECT_NE(run.err.find("waits on this station"), std::string::npos) << run.err;
    const nlohmann::json line = nlohmann::json::parse(run.out, nullptr, false);
    EXPECT_EQ(line.value("ok", false), true) << run.out;
    EXPECT_EQ(line.value("record_waiting", false), true) << run.out;
    EXPECT_EQ(line.value("version", ""), "KV-331 V2.4.0") << run.out;

    const CtlRun away = RunCtl({"--records", url, "records"});
    EXPECT_EQ(away.code, cli::kExitFailed);
    EXPECT_NE(away.err.find("1 record end(s) wait"), std::string::npos) << away.err;

    ASSERT_TRUE(pgtest::Start(error)) << error;
    const CtlRun back = RunCtl({"--records", url, "records"});
    EXPECT_EQ(back.code, cli::kExitOk) << back.err;
    EXPECT_EQ(back.err.find("wait"), std::string::npos) << back.err;
    const std::vector<records::Record> kept = KeptRecords(url);
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0].result, records::kResultOk);
    EXPECT_EQ(kept[0].version, "KV-331 V2.4.0");
    EXPECT_FALSE(kept[0].ended.empty());
}

}  // namespace
