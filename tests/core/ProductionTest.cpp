#include "core/production/JUnit.h"
#include "core/production/Plan.h"
#include "core/production/Verdict.h"

#include <gtest/gtest.h>

#include <set>

using namespace production;

namespace {

const char kFullPlan[] = R"(name = "KV-331 line test"
version = "V2.3*"
signal = { min = 15, max = 31 }

[server]
listen = "0.0.0.0:5020"
address = "10.1.2.3"
register_within = "60s"
heartbeat_within = "90s"
restart = true

[echo]
bytes = 256
within = "3s"

[own_id]
first = "000000010000"
last = "00000001ffff"

[final]
profile = "customer.toml"
image = "app.bin"
)";

}  // namespace

TEST(Plan, AFullPlanReadsAsWritten)
{
    const ParsedPlan parsed = ParsePlan(kFullPlan, "line.toml");
    ASSERT_TRUE(parsed.ok()) << parsed.errors.front();
    const Plan& p = parsed.plan;
    EXPECT_EQ(p.name, "KV-331 line test");
    EXPECT_EQ(p.version, "V2.3*");
    ASSERT_TRUE(p.signal);
    EXPECT_EQ(p.signal->min, 15);
    EXPECT_EQ(p.server.listenHost, "0.0.0.0");
    EXPECT_EQ(p.server.listenPort, 5020);
    EXPECT_EQ(p.server.address, "10.1.2.3");
    EXPECT_EQ(p.server.ip, (std::array<std::uint8_t, 4>{10, 1, 2, 3}));
    EXPECT_EQ(p.server.registerWithinMs, 60000);
    EXPECT_EQ(p.server.heartbeatWithinMs, 90000);
    EXPECT_TRUE(p.server.restart);
    ASSERT_TRUE(p.echo);
    EXPECT_EQ(p.echo->bytes, 256u);
    EXPECT_EQ(p.echo->withinMs, 3000);
    ASSERT_TRUE(p.ownIds);
    EXPECT_EQ(p.ownIds->last, "00000001FFFF");  // compared as upper-case hex
    EXPECT_EQ(p.finalProfile, "customer.toml");
    EXPECT_EQ(p.finalImage, "app.bin");
}

// Every error is named with its line, all of them in one run.
TEST(Plan, EachErrorIsNamedWhereItIs)
{
    const struct {
        const char* text;
        std::vector<std::string> errors;
    } rows[] = {
        {"name = 1\n", {"p.toml:1:1: the plan needs [server]", "p.toml:1:8: name must be a string"}},
        {"[server]\nlisten = \"0.0.0.0:5020\"\n",
         {"p.toml:1:1: [server] listens on every address: give address, the one the DTU is to dial"}},
        {"[server]\nlisten = \"example.org:5020\"\n", {"p.toml:2:10: server.listen = \"example.org:5020\" is no IPv4"}},
        {"[server]\nlisten = \"127.0.0.1:70000\"\nregister_within = \"2h\"\n",
         {"p.toml:2:10: server.listen", "p.toml:3:19: server.register_within = \"2h\" is no time"}},
        {"[server]\nlisten = \"127.0.0.1:1\"\naddress = \"a-domain-name-longer-than-32-characters.example\"\n",
         {"p.toml:3:11: server.address: "}},
        {"signal = { min = 20, max = 10 }\n[server]\nlisten = \"127.0.0.1:1\"\n",
         {"p.toml:1:10: signal.min 20 is above signal.max 10"}},
        {"[server]\nlisten = \"127.0.0.1:1\"\n[echo]\nbytes = 5000\n",
         {"p.toml:4:9: echo.bytes = 5000 is out of range (1 to 1024)"}},
        {"[server]\nlisten = \"127.0.0.1:1\"\n[own_id]\nfirst = \"0000000100FF\"\nlast = \"000000010000\"\n",
         {"p.toml:5:8: own_id.last 000000010000 comes before own_id.first 0000000100FF"}},
        {"[server]\nlisten = \"127.0.0.1:1\"\n[own_id]\nfirst = \"12\"\n",
         {"p.toml:3:1: [own_id] needs first and last"}},
        {"[server]\nlisten = \"127.0.0.1:1\"\nport = 5\n", {"p.toml:3:1: unknown key 'port' in [server]"}},
        {"[server\n", {"p.toml:1:8: "}},
    };
    for (const auto& row : rows) {
        const ParsedPlan parsed = ParsePlan(row.text, "p.toml");
        ASSERT_EQ(parsed.errors.size(), row.errors.size()) << row.text << (parsed.ok() ? "" : parsed.errors.front());
        for (std::size_t i = 0; i < row.errors.size(); ++i)
            EXPECT_NE(parsed.errors[i].find(row.errors[i]), std::string::npos) << parsed.errors[i];
    }
}

TEST(Plan, DurationsAndGlobs)
{
    const struct {
        const char* text;
        std::optional<std::int64_t> ms;
    } durations[] = {{"60s", 60000}, {"500ms", 500}, {"2min", 120000}, {"1h", std::nullopt},
                     {"61min", std::nullopt}, {"s", std::nullopt}, {"-5s", std::nullopt}, {"5 s", std::nullopt}};
    for (const auto& d : durations)
        EXPECT_EQ(ParseDuration(d.text), d.ms) << d.text;
    EXPECT_EQ(DurationText(60000), "60 s");
    EXPECT_EQ(DurationText(1500), "1.5 s");
    EXPECT_EQ(DurationText(250), "250 ms");

    const struct {
        const char* pattern;
        const char* text;
        bool match;
    } globs[] = {
        {"V2.3*", "V2.3.1 (simulated)", true}, {"V2.3*", "V2.4", false},   {"*", "", true},
        {"V?.3", "V2.3", true},                {"V[12].*", "V1.0", true},  {"V[!12].*", "V1.0", false},
        {"*sim*", "KV-331 (simulated)", true}, {"a*b*c", "abxbc", true},   {"a*b*c", "abxbd", false},
        {"", "V1", false},                     {"V2.3", "V2.3.1", false}, {"[a-c]x", "bx", true},
    };
    for (const auto& g : globs)
        EXPECT_EQ(GlobMatch(g.pattern, g.text), g.match) << g.pattern << " ~ " << g.text;
}

// What an operator reads for each way a unit fails.
TEST(Verdict, EachFailureIsWordedByItsMeasurement)
{
    const Plan::Signal limit{15, 31};
    const Bytes sent{1, 2, 3, 4};
    const struct {
        Step step;
        std::string failure;  // empty: passed
    } rows[] = {
        {MeasureVersion("V2.3.1", "V2.3*"), ""},
        {MeasureVersion("V1.0", "V2.3*"), "version \"V1.0\" does not match \"V2.3*\""},
        {MeasureSignal("+CSQ: 24,99", limit), ""},
        {MeasureSignal("+CSQ: 9,99", limit), "signal 9 < 15"},
        {MeasureSignal("+CSQ: 99,99", limit), "signal unknown (\"+CSQ: 99,99\")"},
        {MeasureWait(kRegistration, 412, 60000), ""},
        {MeasureWait(kRegistration, std::nullopt, 60000), "no registration within 60 s"},
        {MeasureWait(kHeartbeat, 95000, 90000), "no heartbeat within 90 s"},
        {MeasureEcho(kEchoUp, sent, sent, 3000), ""},
        {MeasureEcho(kEchoUp, sent, {1, 9, 3, 9}, 3000), "echo_up: 2 of 4 bytes differ"},
        {MeasureEcho(kEchoDown, sent, {1, 2}, 3000), "echo_down: 2 of 4 bytes arrived within 3 s"},
        {MeasureEcho(kEchoDown, sent, {1, 2, 3, 4, 5}, 3000), "echo_down: 5 bytes arrived, 4 sent"},
        {MeasureEchoTime(3500, 3000), "echo took 3500 ms > 3 s"},
        // A beat glued before, amid or after the data is no fault of it.
        {MeasureEcho(kEchoUp, sent, {'H', 'B', 1, 2, 'H', 'B', 3, 4, 'H', 'B'}, 3000, {'H', 'B'}), ""},
        {MeasureEcho(kEchoUp, {'H', 1}, {'H', 'B', 'H', 1}, 3000, {'H', 'B'}), ""},
        {MeasureEcho(kEchoUp, sent, {'H', 'B', 1, 2, 3, 9}, 3000, {'H', 'B'}), "echo_up: 1 of 4 bytes differ"},
        {MeasureDone(kOwnId, "", "own ID range used up"), "own ID range used up"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(row.step.failure, row.failure) << row.step.m.name;
        EXPECT_EQ(row.step.m.passed, row.failure.empty()) << row.step.m.name;
    }
    // The first failure names the unit's.
    const Judged judged = Judge({rows[0].step, rows[3].step, rows[6].step});
    EXPECT_EQ(judged.verdict, Verdict::Failed);
    EXPECT_EQ(judged.failure, "signal 9 < 15");
    EXPECT_EQ(Judge({rows[0].step}).verdict, Verdict::Passed);
}

TEST(Verdict, TokensAndEchoBytesDifferAndHoldNoFrameStart)
{
    std::set<std::string> tokens;
    for (std::uint64_t i = 0; i < 1000; ++i)
        tokens.insert(Token(static_cast<std::uint32_t>(Scramble(42 + i))));
    EXPECT_EQ(tokens.size(), 1000u);
    EXPECT_EQ(Token(0xAB), "T000000AB");
    const Bytes a = EchoBytes(1024, 1), b = EchoBytes(1024, 2);
    EXPECT_EQ(a.size(), 1024u);
    EXPECT_NE(a, b);
    EXPECT_EQ(a, EchoBytes(1024, 1));
    for (const std::uint8_t byte : a)
        EXPECT_TRUE(byte != 0xFA && byte != 0xFB);
}

// XML a consumer reads whatever a DTU's text holds; the consumer's own view
// of the file is checked against a real JUnit reader in dtuctl's tests.
TEST(JUnit, TextFromAUnitCannotBreakTheFile)
{
    UnitReport r;
    r.port = "/dev/ttyUSB0";
    r.ownId = "0000000100AB";
    r.verdict = Verdict::Failed;
    r.failure = "version \"<V1&\x01\xFF>\" does not match \"V2*\"";
    // GBK from a DTU and the byte runs UTF-8 refuses, as they come.
    r.steps.push_back(MeasureVersion("<V1&\x01\xFF>\xED\xA1\xB0\xE0\x80\x80\xF5\x80\x80\x80\xEF\xBF\xBE\xE4\xB8\xAD", "V2*"));
    const std::string xml = JUnitXml("line \"A\"", "2026-12-09T10:00:00.000Z", 1500, {r});
    EXPECT_NE(xml.find("name=\"line &quot;A&quot;\" tests=\"1\" failures=\"1\" errors=\"0\""), std::string::npos)
        << xml;
    EXPECT_NE(xml.find("message=\"version &quot;&lt;V1&amp;\xEF\xBF\xBD\xEF\xBF\xBD&gt;&quot; does not match"),
              std::string::npos)
        << xml;
    EXPECT_EQ(xml.find('\x01'), std::string::npos);
    for (const char* refused : {"\xED\xA1", "\xE0\x80", "\xF5", "\xEF\xBF\xBE"})
        EXPECT_EQ(xml.find(refused), std::string::npos) << refused;
    EXPECT_NE(xml.find("\xE4\xB8\xAD"), std::string::npos);  // what is whole stays
    EXPECT_NE(xml.find("time=\"1.500\""), std::string::npos);
}
