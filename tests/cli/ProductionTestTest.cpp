// dtuctl test against simulated DTUs online: each unit dials this
// station's test server through its own socket, as a unit in the field
// dials through its cellular link.
#include "dtuctl/cli/Run.h"
#include "tests/cli/SimulatedDtus.h"
#include "tests/support/RunCtl.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <chrono>
#include <map>
#include <set>
#include <cstdio>
#include <sstream>
#include <thread>

namespace {

const char kPlan[] = R"(name = "line test"
version = "KV-331 V2.3*"
signal = { min = 15, max = 31 }

[server]
listen = "127.0.0.1:0"
register_within = "4s"
heartbeat_within = "4s"

[echo]
bytes = 256
within = "3s"
)";

std::vector<nlohmann::json> Lines(const std::string& text)
{
    std::vector<nlohmann::json> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(nlohmann::json::parse(line));
    return out;
}

// What a real JUnit reader makes of the file: one line per case.
std::string ReadJUnit(const std::string& path)
{
    const std::string script =
        "import sys, junitparser\n"
        "x = junitparser.JUnitXml.fromfile(sys.argv[1])\n"
        "for s in x:\n"
        "  print('suite', s.name, s.tests, s.failures, s.errors, s.skipped)\n"
        "  for c in s:\n"
        "    r = [type(e).__name__ + ':' + (e.message or '') for e in c.result]\n"
        "    print('case', c.name, '|'.join(r))\n";
    // Debian's own Python, where the package puts the reader.
    const std::string command = "/usr/bin/python3 -c \"" + script + "\" " + path + " 2>&1";
    std::string out;
    if (FILE* p = ::popen(command.c_str(), "r")) {
        char buffer[512];
        while (std::fgets(buffer, sizeof buffer, p))
            out += buffer;
        ::pclose(p);
    }
    return out;
}

class ProductionTest : public SimulatedDtus {
protected:
    sim::SimulatedDtu& Online(const std::function<void(sim::SimulatedDtu::Options&)>& change = {})
    {
        sim::SimulatedDtu::Options options;
        options.online = true;
        options.heartbeatMs = 500;
        if (change)
            change(options);
        dtus_.push_back(std::make_unique<sim::SimulatedDtu>(options));
        EXPECT_TRUE(dtus_.back()->Start()) << dtus_.back()->error();
        return *dtus_.back();
    }
};

// One unit per way of failing beside one that passes: each judged by its
// own measurements, none held up by another.
TEST_F(ProductionTest, EachUnitIsJudgedByItsFirstFailingMeasurement)
{
    const struct {
        std::function<void(sim::SimulatedDtu::Options&)> unit;
        std::string outcome;
        std::string failure;
    } rows[] = {
        {{}, "passed", ""},
        {[](auto& o) { o.version = "KV-331 V1.9"; }, "failed", "version \"KV-331 V1.9\" does not match \"KV-331 V2.3*\""},
        {[](auto& o) { o.signal = "+CSQ: 9,99"; }, "failed", "signal 9 < 15"},
        {[](auto& o) { o.signal = "+CSQ: 99,99"; }, "failed", "signal unknown (\"+CSQ: 99,99\")"},
        {[](auto& o) { o.online = false; }, "failed", "no registration within 4 s"},
        {[](auto& o) { o.loseData = true; }, "failed", "echo_up: 0 of 256 bytes arrived within 3 s"},
        {[](auto& o) { o.faults.noReply = true; }, "error", "no answer to read own"},
    };
    std::vector<std::string> args;
    for (const auto& row : rows)
        args.insert(args.end(), {"-p", Online(row.unit).TerminalPath()});
    const std::string junit = (dir_ / "run.xml").string();
    args.insert(args.end(), {"--json", "--timeout", "600", "test", "--plan", File("plan.toml", kPlan), "--junit",
                             junit, "--label", "SN-0001"});
    const auto started = std::chrono::steady_clock::now();
    const CtlRun r = RunCtl(args);
    EXPECT_EQ(r.code, cli::kExitFailed) << r.err;
    // Units at once: the slowest, not the sum.
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(12));

    std::map<std::string, nlohmann::json> byPort;
    for (const nlohmann::json& line : Lines(r.out))
        byPort[line["port"]] = line;
    ASSERT_EQ(byPort.size(), std::size(rows)) << r.out;
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const nlohmann::json& unit = byPort[dtus_[i]->TerminalPath()];
        SCOPED_TRACE(unit.dump());
        EXPECT_EQ(unit["outcome"], rows[i].outcome);
        EXPECT_EQ(unit["failure"].get<std::string>().rfind(rows[i].failure, 0), 0u);
    }
    const nlohmann::json& passed = byPort[dtus_[0]->TerminalPath()];
    EXPECT_EQ(passed["label"], "SN-0001");
    std::vector<std::string> names;
    for (const nlohmann::json& m : passed["measurements"]) {
        names.push_back(m["name"]);
        EXPECT_TRUE(m["passed"].get<bool>()) << m.dump();
    }
    EXPECT_EQ(names, (std::vector<std::string>{"version", "signal", "setup", "registration", "heartbeat", "echo_up",
                                               "echo_down", "echo_ms"}));

    const std::string read = ReadJUnit(junit);
    EXPECT_NE(read.find("suite line test 7 5 1 0\n"), std::string::npos) << read;
    EXPECT_NE(read.find("case " + dtus_[0]->TerminalPath() + " 000000000001 \n"), std::string::npos) << read;
    EXPECT_NE(read.find("case " + dtus_[2]->TerminalPath() + " 000000000001 Failure:signal 9 < 15\n"),
              std::string::npos)
        << read;
}

// Cut short while a unit waits on the network: Ctrl-C stops it at once;
// a unit whose port goes away is an error of the unit, not a failed wait.
TEST_F(ProductionTest, ATestCutShortSaysWhy)
{
    const struct {
        std::function<void(sim::SimulatedDtu::Options&)> unit;
        bool interrupt;  // else the unit's port goes away
        std::string outcome;
        std::string said;
    } rows[] = {
        {[](auto& o) { o.loseData = true; }, true, "STOPPED", "passed 0/1, stopped 1\n"},
        {[](auto& o) { o.online = false; }, false, "ERROR", "passed 0/1, errors 1\n"},
    };
    std::string plan = kPlan;
    plan.replace(plan.find("within = \"3s\""), 13, "within = \"60s\"");
    plan.replace(plan.find("register_within = \"4s\""), 22, "register_within = \"60s\"");
    for (const auto& row : rows) {
        sim::SimulatedDtu& dtu = Online(row.unit);
        const std::string port = dtu.TerminalPath();
        CtlRun r{};
        std::thread run([&] { r = RunCtl({"-p", port, "test", "--plan", File("plan.toml", plan)}); });
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        const auto cut = std::chrono::steady_clock::now();
        if (row.interrupt)
            cli::StopMonitor();
        else
            dtu.Stop();
        run.join();
        EXPECT_LT(std::chrono::steady_clock::now() - cut, std::chrono::seconds(3)) << row.outcome;
        EXPECT_EQ(r.code, cli::kExitFailed);
        EXPECT_NE(r.out.find(port + "  " + row.outcome), std::string::npos) << r.out;
        EXPECT_NE(r.out.find(row.said), std::string::npos) << r.out;
    }
}

// Recorded: each unit given an own ID of its own from the range, kept when
// it is tested again; its label and measurements in its record.
TEST_F(ProductionTest, OwnIdsFromTheRangeAndTheRecordsKeepTheMeasurements)
{
    const std::string a = Online().TerminalPath(), b = Online().TerminalPath();
    const std::string records = (dir_ / "records.sqlite").string();
    const std::string plan = File("plan.toml", std::string(kPlan) + "[own_id]\nfirst = \"0000000A0000\"\n"
                                                                   "last = \"0000000A00FF\"\n");
    std::set<std::string> given;
    for (int round = 0; round < 2; ++round) {
        const CtlRun r = RunCtl({"--records", records, "-p", a, "-p", b, "--json", "test", "--plan", plan, "--label",
                                 "SN-A", "--label", "SN-B"});
        ASSERT_EQ(r.code, cli::kExitOk) << r.err << r.out;
        for (const nlohmann::json& unit : Lines(r.out)) {
            const std::string id = unit["own_id"];
            EXPECT_EQ(id.rfind("0000000A00", 0), 0u) << unit.dump();
            if (round == 0)
                given.insert(id);
            else
                EXPECT_TRUE(given.count(id)) << "a unit tested again keeps its ID: " << unit.dump();
        }
    }
    EXPECT_EQ(given.size(), 2u);
    const CtlRun listed = RunCtl({"--records", records, "--json", "records", "--label", "SN-B"});
    ASSERT_EQ(listed.code, cli::kExitOk) << listed.err;
    const auto kept = Lines(listed.out);
    ASSERT_EQ(kept.size(), 2u) << listed.out;
    EXPECT_EQ(kept[0]["action"], "test");
    EXPECT_EQ(kept[0]["result"], "ok");
    EXPECT_EQ(kept[0]["port"], b);
    ASSERT_EQ(kept[0]["measurements"].size(), 9u) << kept[0].dump();
    EXPECT_EQ(kept[0]["measurements"][8]["name"], "own_id");
    EXPECT_EQ(kept[0]["measurements"][8]["value"], kept[0]["unit_id"]);
}

// Refused before any byte: the plan's errors, its files, the labels.
TEST_F(ProductionTest, APlanThatCannotRunSendsNothing)
{
    const std::string port = Online().TerminalPath();
    const struct {
        std::string plan;
        std::vector<std::string> extra;
        std::string said;
    } rows[] = {
        {"[server]\nlisten = \"127.0.0.1:0\"\n[echo]\nbytes = 0\n", {}, "plan.toml:4:9: echo.bytes = 0 is out of range"},
        {"[server]\nlisten = \"127.0.0.1:0\"\n[final]\nimage = \"none.bin\"\n", {}, "final.image needs version"},
        {"[server]\nlisten = \"127.0.0.1:0\"\n[own_id]\nfirst = \"000000010000\"\nlast = \"000000010010\"\n",
         {},
         "[own_id] hands out IDs through the records store, and records are off"},
        {"[server]\nlisten = \"127.0.0.1:0\"\n", {"--label", "A", "--label", "B"}, "test: 2 labels for 1 ports"},
        {"[server]\nlisten = \"127.0.0.1:0\"\n[final]\nprofile = \"own.toml\"\n", {},
         "own_id.id = \"0123456789AB\" would give every unit tested the same own ID"},
    };
    File("own.toml", "[own_id]\nid = \"0123456789AB\"\n");
    for (const auto& row : rows) {
        std::vector<std::string> args{"-p", port, "test", "--plan", File("plan.toml", row.plan)};
        args.insert(args.end(), row.extra.begin(), row.extra.end());
        const CtlRun r = RunCtl(args);
        EXPECT_EQ(r.code, cli::kExitBadInput) << row.plan;
        EXPECT_NE(r.err.find(row.said), std::string::npos) << r.err;
    }
    std::size_t requests = 0;
    dtus_[0]->WithDevice([&](sim::Device& d) { requests = d.handled(); });
    EXPECT_EQ(requests, 0u);
}

}  // namespace
