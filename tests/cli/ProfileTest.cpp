// Profiles: what is refused (with its place in the file), what the accepted
// ones put on the line, and that a printed profile writes back what was read.
#include "core/common/Hex.h"
#include "core/dtu/Frame.h"
#include "core/dtu/Messages.h"
#include "core/profile/Profile.h"
#include "core/profile/Provision.h"
#include "core/profile/Sequence.h"
#include "core/profile/Settings.h"
#include "driver/host/LocalClock.h"
#include "driver/host/ProfileFile.h"
#include "tests/cli/Profiles.h"
#include "tests/support/Bytes.h"

#include <gtest/gtest.h>

namespace {

using profile::Profile;


std::string Spaced(const Bytes& b)
{
    return hex::FormatJoined(b);
}

TEST(Profile, FullExampleIsReadWhole)
{
    const profile::ParsedProfile parsed = profile::ParseProfile(kFullProfile, "p.toml");
    ASSERT_TRUE(parsed.ok()) << parsed.errors.front();
    const Profile& p = parsed.profile;
    EXPECT_EQ(p.phones->size(), 2u);
    EXPECT_EQ(*p.ownId->id, "AABBCCDDEEFF");
    EXPECT_EQ(*p.server->port, 6060);
    EXPECT_EQ(*p.server->domain, "dtu.example.net");
    EXPECT_TRUE(p.mode->protocol);
    EXPECT_TRUE(p.mode->sms && !p.mode->smsHex && p.mode->tcp);
    EXPECT_EQ(*p.serial->baud, 5);
    EXPECT_EQ(*p.serial->parity, 1);
    EXPECT_EQ(*p.serial->interface, 2);
    EXPECT_EQ(p.apn->password, "secret");
    EXPECT_EQ(*p.rf->frequencyMhz, 433);
    EXPECT_EQ(*p.rf->sleep, 2);
    EXPECT_EQ(*p.rf->power, 4);
    EXPECT_TRUE(p.setClock);
}

// Each bad profile is refused with the place of the fault and words that
// say what is wrong.
TEST(Profile, RefusalsNameFileLineAndColumn)
{
    std::string twentyOne = "phones = [";
    for (int i = 0; i < 21; ++i)
        twentyOne += std::string(i ? ", " : "") + "\"1370000" + std::to_string(1000 + i) + "\"";
    twentyOne += "]";
    const struct {
        std::string text;
        std::string expected;
    } cases[] = {
        {"colour = 1", "f.toml:1:1: unknown key 'colour'"},
        {"[serial]\nbaud = 9600\nspeed = 1", "f.toml:3:1: unknown key 'speed' in [serial]"},
        {"[server]\nport = 65536", "f.toml:2:8: server.port = 65536 is out of range (0 to 65535)"},
        {"[server]\nport = \"80\"", "f.toml:2:8: server.port must be a whole number"},
        {"[server]\nip = \"10.0.0.256\"", "server.ip = \"10.0.0.256\" is no IPv4 address"},
        {"[server]\nip = \"10.0.0\"", "is no IPv4 address"},
        {"[server]\nip = \"1.2.3.4\"\ndomain = \"a.b\"", "f.toml:3:10: [server] takes ip or domain, not both"},
        {"[server]\ndomain = \"\"", std::string("server.domain: ") + dtu::msg::kDomainEmpty},
        {"[server]\ndomain = \"" + std::string(33, 'a') + "\"", dtu::msg::kDomainTooLong},
        {"[serial]\nbaud = 14400", "f.toml:2:8: serial.baud must be one of 1200"},
        {"[serial]\nparity = \"mark\"", "serial.parity = \"mark\" is none of \"none\", \"odd\", \"even\""},
        {"phones = [\"1370000111\"]", std::string("f.toml:1:11: phones: \"1370000111\": ") + dtu::msg::kPhoneTooShort},
        {"phones = [\"1370000111x\"]", dtu::msg::kPhoneNotDigits},
        {twentyOne, dtu::msg::kPhoneListFull},
        {"ids = [\"A0B1C2D3E4\"]", dtu::msg::kIdTooShort},
        {"ids = [\"A0B1C2D3E4FG\"]", dtu::msg::kIdNotHex},
        {"ids = \"A0B1C2D3E4F5\"", "ids must be a list of strings"},
        {"[own_id]\nid = \"AABBCC\"", "own_id.id = \"AABBCC\" must be 12 hex digits"},
        {"[own_id]\ncustom = 1", "own_id.custom must be true or false"},
        {"[mode]\nsub_mode = \"tcp\"", "f.toml:1:1: [mode] needs transfer"},
        {"[mode]\ntransfer = \"transparent\"", "transparent transfer needs sub_mode"},
        {"[mode]\ntransfer = \"protocol\"\nsub_mode = \"tcp\"", "sub_mode belongs to transparent transfer"},
        {"[mode]\ntransfer = \"protocol\"\noptions = [\"fax\"]", "mode.options: \"fax\" is none of"},
        {"[apn]\nuser = \"x\"", "[apn] needs apn"},
        {"[apn]\napn = \"" + std::string(33, 'a') + "\"", "apn.apn is longer than the 32 bytes the DTU keeps"},
        {"[apn]\napn = \"" + std::string(11, 'a') + "一二三四五六七八九十一\"", "longer than the 32 bytes"},
        {"[packets]\nheartbeat = \"HEARTBEAT01\"", "packets.heartbeat is 11 bytes long; at most 10 fit"},
        {"[packets]\nhex = true\nheartbeat = \"0A 0B 0\"", "must be pairs of hex digits when hex = true"},
        {"[packets]\nhex = true\nregistration = \"" + std::string(66, 'A') + "\"", "holds 33 bytes; at most 32 fit"},
        {"[rf]\nfrequency_mhz = 433.92", "f.toml:2:17: rf.frequency_mhz = 433.92: the DTU is set in whole MHz"},
        {"[rf]\nfrequency_mhz = 1024", "rf.frequency_mhz is out of range (1 to 1023)"},
        {"[rf]\naddress = 256", "rf.address = 256 is out of range (0 to 255)"},
        {"[rf]\npower = \"Level8\"", "rf.power = \"Level8\" is none of"},
        {"[rf]\nsleep = \"3s\"", "rf.sleep = \"3s\" is none of"},
        {"[clock]\nset = \"2016-05-03\"", "clock.set takes \"now\" only"},
        {"serial = 5", "[serial] must be a table"},
        {"[serial\nbaud = 1", "f.toml:1:"},
    };
    for (const auto& c : cases) {
        const profile::ParsedProfile parsed = profile::ParseProfile(c.text, "f.toml");
        ASSERT_FALSE(parsed.ok()) << c.text;
        bool found = false;
        for (const std::string& e : parsed.errors)
            found = found || e.find(c.expected) != std::string::npos;
        EXPECT_TRUE(found) << c.text << "\n  wanted: " << c.expected << "\n  got:    " << parsed.errors.front();
    }
}

TEST(Profile, EveryErrorIsReportedInFileOrder)
{
    const profile::ParsedProfile parsed = profile::ParseProfile("[rf]\naddress = 999\n[serial]\nbaud = 1\nx = 2\n", "f.toml");
    ASSERT_EQ(parsed.errors.size(), 3u);
    EXPECT_EQ(parsed.errors[0].rfind("f.toml:2:", 0), 0u);
    EXPECT_EQ(parsed.errors[1].rfind("f.toml:4:", 0), 0u);
    EXPECT_EQ(parsed.errors[2].rfind("f.toml:5:", 0), 0u);
}

TEST(Profile, UnreadableFileIsOneError)
{
    const profile::ParsedProfile parsed = profile::LoadProfile("/nonexistent/dir/p.toml");
    ASSERT_EQ(parsed.errors.size(), 1u);
    EXPECT_EQ(parsed.errors[0], "/nonexistent/dir/p.toml: cannot be read");
}

// The bytes the window's buttons send for the same choices.
TEST(Provision, FramesAreTheWindowsBytes)
{
    const profile::ParsedProfile parsed = profile::ParseProfile(kFullProfile, "p.toml");
    ASSERT_TRUE(parsed.ok());
    const auto writes = profile::PlanWrites(parsed.profile, {2016, 5, 3, 14, 7, 9, 2});
    std::vector<std::string> frames;
    for (const auto& w : writes)
        frames.push_back(w.what + ": " + Spaced(w.frame));
    ASSERT_EQ(frames.size(), 11u);
    EXPECT_EQ(frames[2], "set own communication ID: FA 80 FB 07 AA BB CC DD EE FF AA 21 0D");
    EXPECT_EQ(frames[3].substr(0, 50), "set server domain name: FA 80 E5 20 64 74 75 2E 65");
    EXPECT_EQ(frames[4], "set remote port: FA 80 E7 02 17 AC 26 0D");
    EXPECT_EQ(frames[5], "set working mode: FA 80 E8 02 02 05 6B 0D");
    EXPECT_EQ(frames[8], "write wireless parameters: FA 80 F3 07 6C 40 12 02 03 0C 04 47 0D");
    EXPECT_EQ(frames[9], "set the DTU clock: FA 80 FC 07 10 05 03 0E 07 09 02 B5 0D");
    EXPECT_EQ(frames[10], "write serial settings: FA 80 EC 03 05 01 02 71 0D");
    // Lists: "," after each record; IDs in either case give the same bytes.
    EXPECT_EQ(Spaced(writes[1].frame), "FA 80 E3 0E A0 B1 C2 D3 E4 F5 2C 01 02 03 04 05 FF 2C 90 0D");
}

TEST(Provision, OnlyWhatTheProfileHoldsIsWritten)
{
    const profile::ParsedProfile parsed = profile::ParseProfile("[server]\nip = \"203.0.113.7\"\nport = 8080\n", "p.toml");
    ASSERT_TRUE(parsed.ok());
    EXPECT_EQ(profile::QueriesToComplete(parsed.profile), 0u);
    const auto writes = profile::PlanWrites(parsed.profile, host::LocalNow());
    ASSERT_EQ(writes.size(), 2u);
    EXPECT_EQ(writes[0].frame, H("FA 80 E6 04 CB 00 71 07 A7 0D"));
    EXPECT_EQ(writes[1].frame, H("FA 80 E7 02 1F 90 12 0D"));
    EXPECT_EQ(profile::QueriesToVerify(parsed.profile), unsigned{profile::kNet});
}

profile::DeviceSettings Current()
{
    profile::DeviceSettings s;
    s.ownId = dtu::OwnId{"112233445566", true};
    s.uart = dtu::UartIndexes{7, 0, 0};
    s.packets = dtu::Packets{true, H("01 02"), Bytes{'R', 'E', 'G'}};
    s.rf = dtu::RfRecord{"434.00", 0, 4, "07", 6};
    return s;
}

// Records written whole keep the DTU's value for every key left out.
TEST(Provision, LeftOutKeysOfARecordKeepTheDtusValues)
{
    const profile::ParsedProfile parsed = profile::ParseProfile(
        "[own_id]\nid = \"AABBCCDDEEFF\"\n[serial]\nbaud = 9600\n[rf]\npower = \"Level1\"\n"
        "[packets]\nheartbeat = \"HB\"\n",
        "p.toml");
    ASSERT_TRUE(parsed.ok());
    EXPECT_EQ(profile::QueriesToComplete(parsed.profile), unsigned{profile::kOwnId | profile::kUart | profile::kRf | profile::kPackets});
    const Profile complete = profile::Complete(parsed.profile, Current());
    const auto writes = profile::PlanWrites(complete, host::LocalNow());
    ASSERT_EQ(writes.size(), 4u);
    EXPECT_EQ(Spaced(writes[0].frame), "FA 80 FB 07 AA BB CC DD EE FF AA 21 0D");  // custom kept
    EXPECT_EQ(Spaced(writes[3].frame), "FA 80 EC 03 03 00 00 6C 0D");              // parity, interface kept
    // Heartbeat as typed, registration and custom flag as the DTU had them.
    const Bytes packets = writes[1].frame;
    EXPECT_EQ(Bytes(packets.begin() + 4, packets.begin() + 8), H("AA 02 48 42"));
    EXPECT_EQ(Bytes(packets.begin() + 16, packets.begin() + 20), H("03 52 45 47"));
    // 434 MHz, sleep 2s, breathing 32ms and address 7 kept; Level1 given.
    const Bytes rf = writes[2].frame;
    EXPECT_EQ(Bytes(rf.begin() + 7, rf.begin() + 11), H("00 04 07 00"));

    profile::DeviceSettings odd = Current();
    odd.rf->frequency = "433.92";
    EXPECT_THROW(profile::Complete(parsed.profile, odd), profile::Failure);
}

TEST(Provision, ComparisonFindsWhatDidNotTake)
{
    const profile::ParsedProfile parsed =
        profile::ParseProfile("[serial]\nbaud = 9600\nparity = \"even\"\n[apn]\napn = \"CMNET\"\npassword = \"x\"\n", "p.toml");
    ASSERT_TRUE(parsed.ok());
    profile::DeviceSettings back;
    back.uart = dtu::UartIndexes{3, 0, 0};
    const auto rows = profile::Compare(parsed.profile, profile::PlanWrites(parsed.profile, host::LocalNow()), back);
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[0].verdict, profile::Verdict::Ok);
    EXPECT_EQ(rows[1].verdict, profile::Verdict::Differs);
    EXPECT_EQ(rows[1].wanted, "even");
    EXPECT_EQ(rows[1].readBack, "none");
    EXPECT_EQ(rows[4].setting, "apn.password");
    EXPECT_EQ(rows[4].wanted, "(not shown)");
    EXPECT_EQ(rows[4].verdict, profile::Verdict::Written);
    EXPECT_FALSE(profile::WriteReport{rows}.ok());
}

// What `read --profile` prints is accepted by `write` and writes back the
// very settings it was printed from.
TEST(Provision, PrintedProfilesWriteBackWhatWasRead)
{
    profile::DeviceSettings base;
    base.phones = std::vector<std::string>{"13800138000"};
    base.ids = std::vector<std::string>{};
    base.ownId = dtu::OwnId{"00000000ABCD", false};
    base.net = dtu::NetParams{"", {192, 168, 1, 100}, 8080, 2, 5, 0};
    base.uart = dtu::UartIndexes{7, 2, 1};
    base.packets = dtu::Packets{false, Bytes{'P', 'I', 'N', 'G'}, Bytes{}};
    base.rf = dtu::RfRecord{"434.00", 4, 0, "255", 0};
    base.version = "v";

    std::vector<profile::DeviceSettings> variants(6, base);
    variants[1].net = dtu::NetParams{"dtu.example.net", {0, 0, 0, 0}, 0, 1, 2, 1};
    variants[2].packets = dtu::Packets{true, H("00 FF 20"), Bytes{'a', ' ', 'b'}};  // not text: hex
    variants[3].packets = dtu::Packets{true, Bytes{0xC4, 0xE3, 0xBA, 0xC3}, Bytes{'X'}};  // GBK text
    variants[4].uart = dtu::UartIndexes{255, 0, 0};  // an index no list names is left out
    variants[5].rf = dtu::RfRecord{"433.92", 1, 1, "01", 1};  // not whole MHz: left out

    for (std::size_t i = 0; i < variants.size(); ++i) {
        SCOPED_TRACE(i);
        const std::string text = profile::SettingsProfile(variants[i]);
        const profile::ParsedProfile parsed = profile::ParseProfile(text, "read.toml");
        ASSERT_TRUE(parsed.ok()) << parsed.errors.front() << "\n" << text;
        if (i == 5) {
            // The frequency cannot be kept by writing the record again.
            EXPECT_THROW(profile::Complete(parsed.profile, variants[i]), profile::Failure);
            continue;
        }
        const Profile complete = profile::Complete(parsed.profile, variants[i]);
        const auto rows = profile::Compare(parsed.profile, profile::PlanWrites(complete, host::LocalNow()), variants[i]);
        for (const auto& row : rows)
            EXPECT_NE(row.verdict, profile::Verdict::Differs) << row.setting << ": " << row.wanted << " / " << row.readBack;
    }
}

TEST(Settings, PacketsAreTextOnlyWhenTheTextGivesTheSameBytes)
{
    const struct {
        Bytes packet;
        std::string value;
    } cases[] = {
        {Bytes{'P', 'I', 'N', 'G'}, "PING"},
        {Bytes{}, ""},
        {Bytes{'A', ' ', 'B'}, "hex 41 20 42"},  // the writer would drop the space
        {H("00 41"), "hex 00 41"},
        {H("0D 0A"), "hex 0D 0A"},
        {H("C4 E3 BA C3"), "你好"},
        {H("C4"), "hex C4"},  // half a double-byte character
    };
    for (const auto& c : cases)
        EXPECT_EQ(profile::PacketValue(c.packet), c.value) << hex::FormatJoined(c.packet);
}

TEST(Settings, TableColumnsLineUpWithWideCharacters)
{
    EXPECT_EQ(profile::FormatTable({{"a", "x"}, {"时钟", "y"}}), "a     x\n时钟  y\n");
}

TEST(Sequence, EachStepEndsOnlyWithItsOwnAnswerOrByGivingUp)
{
    profile::Sequence run(profile::ReadSteps(profile::kVersion | profile::kSignal | profile::kClock));
    ASSERT_EQ(run.Total(), 3u);
    const auto answer = [&](const Bytes& frame) { return run.OnAnswer(dtu::Response(frame, std::int32_t(frame.size()))); };
    const Bytes version = *dtu::BuildResponse(0xF1, Bytes{'V', '2'});
    const Bytes signal = *dtu::BuildResponse(0xFE, Bytes{'9'});
    Bytes garbled = version;
    garbled.back() = 0x00;
    EXPECT_FALSE(answer(H("7E 04 01 02 7F")));  // data for the TCP page
    EXPECT_FALSE(answer(signal));               // not the one awaited
    EXPECT_FALSE(answer(garbled));
    EXPECT_EQ(run.Finished(), 0u);
    EXPECT_TRUE(answer(version));
    EXPECT_EQ(run.Read().version, "V2");
    run.GiveUp();                               // the signal never came
    EXPECT_EQ(run.Current()->code, 0xFD);
    run.GiveUp();
    EXPECT_TRUE(run.Done());
    EXPECT_EQ(run.Unanswered().size(), 2u);
    EXPECT_FALSE(answer(signal));               // too late: changes nothing
}

}  // namespace
