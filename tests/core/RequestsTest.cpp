#include "core/dtu/Commands.h"
#include "core/dtu/Messages.h"
#include "core/dtu/Requests.h"
#include "core/dtu/Rf.h"
#include "tests/support/Bytes.h"

#include <gtest/gtest.h>

namespace {

using namespace dtu;

struct FrameCase {
    const char* what;
    Bytes built;
    Bytes expected;
};

void ExpectFrames(const std::vector<FrameCase>& cases)
{
    for (const FrameCase& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.built, c.expected);
    }
}

TEST(PhoneAndIdLists, AddChecks)
{
    struct Case {
        std::string text;
        int count;
        const char* message;  // nullptr: accepted
    };
    const Case phones[] = {
        {"13800138000", 0, nullptr},
        {"13800138000", 19, nullptr},
        {"13800138000", 20, msg::kPhoneListFull},
        {"", 0, msg::kPhoneEmpty},
        {"1380013800", 0, msg::kPhoneTooShort},
        {"138001380001", 0, msg::kPhoneTooLong},
        {"1380013800a", 0, msg::kPhoneNotDigits},
        {"1380013800中", 0, msg::kPhoneNotDigits},  // 11 characters, 13 bytes
        {"1380013800 ", 0, msg::kPhoneNotDigits},
    };
    for (const Case& c : phones) {
        const auto message = CheckPhoneEntry(c.text, c.count);
        EXPECT_EQ(message.value_or("accepted"), c.message ? c.message : "accepted") << c.text;
    }
    const Case ids[] = {
        {"001a2b3c4d5e", 0, nullptr},
        {"001A2B3C4D5E", 20, msg::kIdListFull},
        {"", 0, msg::kIdEmpty},
        {"001a2b3c4d5", 0, msg::kIdTooShort},
        {"00-1A-2B-3C-4D-5E", 0, msg::kIdTooLong},
        {"00112233445G", 0, msg::kIdNotHex},
    };
    for (const Case& c : ids) {
        const auto message = CheckIdEntry(c.text, c.count);
        EXPECT_EQ(message.value_or("accepted"), c.message ? c.message : "accepted") << c.text;
    }
}

TEST(PhoneAndIdLists, Labels)
{
    EXPECT_EQ(ListLabel(0), "A000");
    EXPECT_EQ(ListLabel(9), "A009");
    EXPECT_EQ(ListLabel(10), "A0010");
}

TEST(PhoneAndIdLists, Requests)
{
    ExpectFrames({
        {"one phone number", BuildWritePhoneList({"12345678901"}).frame,
         H("FA 80 E1 0C  31 32 33 34 35 36 37 38 39 30 31 2C  D1 0D")},
        {"empty phone list", BuildWritePhoneList({}).frame, H("FA 80 E1 00  5B 0D")},
        {"short row from a read answer is zero-padded", BuildWritePhoneList({"1380"}).frame,
         *BuildRequest(cmd::kWritePhoneList, H("31 33 38 30") + Zeros(7) + H("2C"))},
        {"one ID, lower case as typed", BuildWriteIdList({"001a2b3c4d5e"}).frame,
         H("FA 80 E3 07  00 1A 2B 3C 4D 5E 2C  BC 0D")},
        {"clear phone list", *BuildQuery(cmd::kClearPhoneList), H("FA 80 EA 01 00 65 0D")},
        {"clear ID list", *BuildQuery(cmd::kClearIdList), H("FA 80 EB 01 00 66 0D")},
        {"own ID with spaces, custom", BuildSetOwnId("11 22 33 44 55 66", true),
         H("FA 80 FB 07  11 22 33 44 55 66 AA  8B 0D")},
        {"short own ID, not custom", BuildSetOwnId("1122", false),
         H("FA 80 FB 07  11 22 00 00 00 00 00  AF 0D")},
        {"read own ID", *BuildQuery(cmd::kReadOwnId), H("FA 80 EE 02 00 00 6A 0D")},
    });
}

TEST(PhoneAndIdLists, ListsTooLongForOneFrameAreRefused)
{
    // 21 numbers fill 252 payload bytes; a 22nd does not fit the length byte.
    std::vector<std::string> numbers(21, "13800138000");
    EXPECT_TRUE(BuildWritePhoneList(numbers).ok());
    EXPECT_EQ(BuildWritePhoneList(numbers).frame.size(), 258u);
    numbers.push_back("13800138000");
    const Built refused = BuildWritePhoneList(numbers);
    EXPECT_EQ(refused.message, msg::kPhoneListFull);
    EXPECT_TRUE(refused.frame.empty());

    std::vector<std::string> ids(36, "001A2B3C4D5E");
    EXPECT_TRUE(BuildWriteIdList(ids).ok());
    ids.push_back("001A2B3C4D5E");
    EXPECT_EQ(BuildWriteIdList(ids).message, msg::kIdListFull);
}

TEST(ParameterCommands, Requests)
{
    ExpectFrames({
        {"server IP", BuildSetServerIp({192, 168, 1, 100}), H("FA 80 E6 04  C0 A8 01 64  31 0D")},
        {"port 8080", BuildSetPort("8080").frame, H("FA 80 E7 02  1F 90  12 0D")},
        {"port 0", BuildSetPort("0").frame, H("FA 80 E7 02  00 00  63 0D")},
        {"port 65535", BuildSetPort("65535").frame, H("FA 80 E7 02  FF FF  61 0D")},
        {"leading zeros", BuildSetPort("0008080").frame, H("FA 80 E7 02  1F 90  12 0D")},
        {"protocol, SMS UCS2 and SMS HEX", BuildSetWorkMode({0, true, true, false, 0}),
         H("FA 80 E8 02  02 03  69 0D")},
        {"protocol, no option", BuildSetWorkMode({0, false, false, false, 0}), H("FA 80 E8 02  02 00  66 0D")},
        {"transparent, no sub-mode", BuildSetWorkMode({1, true, true, true, -1}), H("FA 80 E8 02  01 FF  64 0D")},
        {"transparent TCP", BuildSetWorkMode({1, false, false, false, 2}), *BuildRequest(cmd::kSetWorkMode, H("01 02"))},
        {"serial settings 9600 NO TTL", BuildWriteUart(3, 0, 0), H("FA 80 EC 03  03 00 00  6C 0D")},
        {"serial settings without selection", BuildWriteUart(-1, 2, -1), *BuildRequest(cmd::kWriteUart, H("FF 02 FF"))},
        {"read serial settings", *BuildQuery(cmd::kReadUart), H("FA 80 ED 03  00 00 00  6A 0D")},
        {"default APN", BuildSetApn("CMNET", "", ""), H("FA 80 F5 60  43 4D 4E 45 54") + Zeros(91) + H("46 0D")},
        {"restart", *BuildQuery(cmd::kRestart), H("FA 80 F2 02 00 00 6E 0D")},
        {"read clock", *BuildQuery(cmd::kReadClock), H("FA 80 FD 02 00 00 79 0D")},
        {"read signal", *BuildQuery(cmd::kReadSignal), H("FA 80 FE 02 00 00 7A 0D")},
        {"set clock, Tuesday 3 May 2016 14:07:09", BuildSetClock({2016, 5, 3, 14, 7, 9, 2}),
         H("FA 80 FC 07  10 05 03 0E 07 09 02  B5 0D")},
        // An absurd year wraps like any other instead of overflowing.
        {"set clock, year 2147483647", BuildSetClock({2147483647, 1, 1, 0, 0, 0, 4}),
         *BuildRequest(cmd::kSetClock, H("2F 01 01 00 00 00 04"))},
    });
}

TEST(ParameterCommands, DomainChecks)
{
    EXPECT_EQ(BuildSetDomain("").message, msg::kDomainEmpty);
    EXPECT_EQ(BuildSetDomain(std::string(33, 'a')).message, msg::kDomainTooLong);
    const Built full = BuildSetDomain(std::string(32, 'a'));
    ASSERT_TRUE(full.ok());
    ASSERT_EQ(full.frame.size(), 38u);
    for (std::size_t i = 4; i < 36; ++i)
        EXPECT_EQ(full.frame[i], 'a');
    EXPECT_EQ(BuildSetDomain("dtu.example.org").frame,
              *BuildRequest(cmd::kSetDomain, H("64 74 75 2E 65 78 61 6D 70 6C 65 2E 6F 72 67") + Zeros(17)));
}

TEST(ParameterCommands, PortChecks)
{
    const std::pair<const char*, const char*> cases[] = {
        {"", msg::kPortEmpty},
        {"80a", msg::kPortNotDigits},
        {"-1", msg::kPortNotDigits},
        {" 80", msg::kPortNotDigits},
        {"65536", msg::kPortTooLarge},
        {"99999999999999999999", msg::kPortTooLarge},
    };
    for (const auto& [text, message] : cases) {
        const Built b = BuildSetPort(text);
        EXPECT_EQ(b.message, message) << text;
        EXPECT_TRUE(b.frame.empty());
    }
}

TEST(ParameterCommands, ApnFieldsAreCutAtCharacterBoundaries)
{
    // 17 Chinese characters are 34 GBK bytes: the field takes 16 of them.
    const std::string apn = "中中中中中中中中中中中中中中中中中";
    const Bytes frame = BuildSetApn(apn, "user", "");
    ASSERT_EQ(frame.size(), 102u);
    for (std::size_t i = 0; i < 32; i += 2) {
        EXPECT_EQ(frame[4 + i], 0xD6);
        EXPECT_EQ(frame[5 + i], 0xD0);
    }
    // One more ASCII byte and the 16th character no longer fits whole.
    const Bytes shifted = BuildSetApn("a" + apn, "", "");
    EXPECT_EQ(shifted[4 + 30], 0xD0);
    EXPECT_EQ(shifted[4 + 31], 0x00);
    EXPECT_EQ(Bytes(frame.begin() + 36, frame.begin() + 40), H("75 73 65 72"));
}

TEST(RfParameters, Requests)
{
    RfSettings defaults{"434.00", 0, 4, "00", 6};
    RfSettings at433 = defaults;
    at433.frequency = "433";
    RfSettings cut = defaults;
    cut.frequency = "433.91";
    const Bytes frame433 = BuildWriteRf(at433);
    ExpectFrames({
        {"initial values", BuildWriteRf(defaults), H("FA 80 F3 07  6C 80 12  00 04 00 06  7C 0D")},
        {"433 MHz", Bytes(frame433.begin() + 4, frame433.begin() + 7), H("6C 40 12")},
        {"decimals are not sent", BuildWriteRf(cut), BuildWriteRf(at433)},
        {"read", *BuildQuery(cmd::kReadRf), H("FA 80 F4 01 00 6F 0D")},
    });
}

TEST(RfParameters, EditTextsReadByTheirLeadingInteger)
{
    EXPECT_EQ(LeadingInteger(""), 0);
    EXPECT_EQ(LeadingInteger("434.00"), 434);
    EXPECT_EQ(LeadingInteger("x12"), 0);
    EXPECT_EQ(LeadingInteger("99999999999"), 2147483647);
    EXPECT_EQ(FrequencyWord(""), 0u);
    // 4295 MHz wraps the 32-bit product of hertz.
    EXPECT_EQ(FrequencyWord("4295"), 535u);  // 4295000000 Hz wraps to 32704 Hz
    RfSettings s{"434", -1, -1, "300", -1};
    const Bytes frame = BuildWriteRf(s);
    EXPECT_EQ(Bytes(frame.begin() + 7, frame.begin() + 11), H("FF FF 2C FF"));  // 300 & 0xFF = 0x2C
}

TEST(Packets, WriteRequests)
{
    ExpectFrames({
        {"text mode", BuildWritePackets("ABC", "REG1", false, false),
         H("FA 80 F7 2D  55  03 41 42 43") + Zeros(7) + H("04 52 45 47 31") + Zeros(28) + H("CF 0D")},
        {"hex mode", BuildWritePackets("01 AB", "", true, true),
         H("FA 80 F7 2D  AA  02 01 AB") + Zeros(8) + H("00") + Zeros(32) + H("F6 0D")},
        {"hex mode, lower case", BuildWritePackets("01 ab", "", true, true), BuildWritePackets("01 AB", "", true, true)},
        {"both empty", BuildWritePackets("", "", false, false), H("FA 80 F7 2D  55") + Zeros(44) + H("F3 0D")},
        {"spaces removed in text mode", BuildWritePackets("A B C", "", false, false),
         BuildWritePackets("ABC", "", false, false)},
        {"read", *BuildQuery(cmd::kReadPackets), H("FA 80 F8 02 00 00 74 0D")},
    });
}

TEST(Packets, LengthsAreCappedAtTheFields)
{
    const Bytes text = BuildWritePackets("ABCDEFGHIJKLMNO", std::string(40, 'R'), false, false);
    ASSERT_EQ(text.size(), 51u);
    EXPECT_EQ(text[5], 10);
    EXPECT_EQ(Bytes(text.begin() + 6, text.begin() + 16), H("41 42 43 44 45 46 47 48 49 4A"));
    EXPECT_EQ(text[16], 32);
    // Fifteen hex bytes: the first ten, with the length capped likewise.
    const Bytes hexed = BuildWritePackets("000102030405060708090A0B0C0D0E", "", false, true);
    EXPECT_EQ(hexed[5], 10);
    EXPECT_EQ(hexed[15], 0x09);
    // Odd digit count: whole pairs only.
    EXPECT_EQ(BuildWritePackets("ABC", "", false, true)[5], 1);
    // Text cut at 10 bytes never splits a double-byte character.
    const Bytes chinese = BuildWritePackets("a中中中中中", "", false, false);
    EXPECT_EQ(chinese[5], 9);
}

}  // namespace
