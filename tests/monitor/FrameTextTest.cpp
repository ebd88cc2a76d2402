// The monitor's decoded text: every command code both ways, every data frame
// type, the firmware frames, and envelopes that fail.
#include "core/monitor/FrameText.h"

#include "core/dtu/Frame.h"
#include "core/dtu/Requests.h"
#include "core/dtu/Rf.h"
#include "core/pages/DataFrame.h"
#include "core/upgrade/Transfer.h"
#include "tests/support/Bytes.h"

#include <gtest/gtest.h>

#include <string>

using monitor::DecodeFrame;
using monitor::DescribeFrame;
using monitor::Direction;
using monitor::FrameKind;

namespace {

Bytes Req(std::uint8_t code, const Bytes& payload) { return *dtu::BuildRequest(code, payload); }
Bytes Resp(std::uint8_t code, const Bytes& payload) { return *dtu::BuildResponse(code, payload); }
Bytes Text(std::string_view s) { return Bytes(s.begin(), s.end()); }
Bytes Cat(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

struct Case {
    const char* what;
    Direction direction;
    Bytes frame;
    std::string text;
};

void ExpectTexts(const std::vector<Case>& cases)
{
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(DescribeFrame(c.direction, c.frame), c.text);
    }
}

const auto S = Direction::Sent;
const auto R = Direction::Received;

}  // namespace

TEST(FrameText, EveryParameterlessRequest)
{
    const std::pair<std::uint8_t, const char*> queries[] = {
        {0xE2, "read phone list"},
        {0xE4, "read communication-ID list"},
        {0xE9, "read network parameters"},
        {0xEA, "clear phone list"},
        {0xEB, "clear communication-ID list"},
        {0xED, "read serial settings"},
        {0xEE, "read own communication ID"},
        {0xF1, "read version"},
        {0xF2, "restart the DTU"},
        {0xF4, "read wireless parameters"},
        {0xF8, "read heartbeat and registration packets"},
        {0xFD, "read the DTU clock"},
        {0xFE, "read signal strength"},
    };
    for (const auto& [code, name] : queries) {
        SCOPED_TRACE(name);
        const Bytes frame = *dtu::BuildQuery(code);
        EXPECT_EQ(DescribeFrame(S, frame), name);
        const monitor::FrameKey key = monitor::Classify(S, frame);
        EXPECT_EQ(key.kind, FrameKind::Request);
        EXPECT_EQ(key.code, code);
        EXPECT_TRUE(key.expectsReply);
    }
    // A query whose payload is not the zeros the protocol gives.
    EXPECT_EQ(DescribeFrame(S, Req(0xE9, H("00 00"))), "read network parameters: 2-byte payload, 1 zero bytes expected");
}

TEST(FrameText, RequestsWithParameters)
{
    dtu::RfSettings rf;
    rf.frequency = "434";
    rf.address = "7";
    const std::string rfText = DescribeFrame(S, dtu::BuildWriteRf(rf));
    EXPECT_EQ(rfText.rfind("write wireless parameters: 43", 0), 0u) << rfText;
    EXPECT_NE(rfText.find("MHz, sleep index 0, breathing index 4, address 07, power index 6"), std::string::npos)
        << rfText;

    ExpectTexts({
        {"phone list", S, dtu::BuildWritePhoneList({"13800138000", "13900139000"}).frame,
         "write phone list: 2 numbers: 13800138000, 13900139000"},
        {"ID list", S, dtu::BuildWriteIdList({"001A2B3C4D5E"}).frame,
         "write communication-ID list: 1 ID: 001A2B3C4D5E"},
        {"empty ID list", S, Req(0xE3, {}), "write communication-ID list: 0 IDs"},
        {"domain", S, dtu::BuildSetDomain("dtu.example.com").frame, "set server domain name: \"dtu.example.com\""},
        {"IP", S, H("FA 80 E6 04 C0 A8 01 64 31 0D"), "set server IP address: 192.168.1.100"},
        {"port", S, H("FA 80 E7 02 1F 90 12 0D"), "set remote port: port 8080"},
        {"protocol mode", S, H("FA 80 E8 02 02 03 69 0D"), "set working mode: protocol mode (SMS, SMS hex)"},
        {"protocol, no option", S, Req(0xE8, H("02 00")), "set working mode: protocol mode"},
        {"transparent", S, Req(0xE8, H("01 01")), "set working mode: transparent mode, sub-mode 1"},
        {"transparent, none", S, Req(0xE8, H("01 FF")), "set working mode: transparent mode, no sub-mode"},
        {"serial", S, dtu::BuildWriteUart(7, 0, 1),
         "write serial settings: 115200 baud, parity NO, RS232"},
        {"APN", S, dtu::BuildSetApn("cmnet", "user", "pw"),
         "set APN, user name and password: APN \"cmnet\", user \"user\", password \"pw\""},
        {"packets", S, dtu::BuildWritePackets("01 02", "AB", true, true),
         "write heartbeat and registration packets: custom, heartbeat \"0102\", registration \"AB\""},
        {"own ID", S, dtu::BuildSetOwnId("001A2B3C4D5E", true),
         "set own communication ID: 001A2B3C4D5E, custom"},
        {"own ID, not custom", S, dtu::BuildSetOwnId("0102", false),
         "set own communication ID: 010200000000, not custom"},
        {"clock", S, dtu::BuildSetClock({2016, 5, 3, 14, 7, 9, 2}),
         "set the DTU clock: 2016-05-03 14:07:09, weekday 2"},
        {"a code never sent", S, Req(0xF0, H("00")), "command 0xF0"},
        {"IP cut short", S, Req(0xE6, H("C0 A8")), "set server IP address"},
    });
    EXPECT_FALSE(monitor::Classify(S, Req(0xF0, H("00"))).expectsReply);
}

TEST(FrameText, EveryResponse)
{
    Bytes net = Cat(Cat(Zeros(32), H("C0 A8 01 64 1F 90")), H("02 05 00"));
    Bytes netDomain = Cat(Cat(Text("dtu.example.com"), Zeros(17)), H("0A 00 00 01 00 50 01 02 01"));
    Bytes packets = Cat(Cat(H("AA 02 01 02"), Zeros(8)), Cat(H("01 AB"), Zeros(31)));
    ASSERT_EQ(packets.size(), 45u);
    ExpectTexts({
        {"phone list", R, Resp(0xE2, Text("13800138000,")), "read phone list: 1 number: 13800138000"},
        {"empty phone list", R, Resp(0xE2, {}), "read phone list: 0 numbers"},
        {"ID list", R, Resp(0xE4, Cat(H("00 1A 2B 3C 4D 5E 2C"), H("01 02 03 04 05 06 2C"))),
         "read communication-ID list: 2 IDs: 001A2B3C4D5E, 010203040506"},
        {"net parameters", R, Resp(0xE9, net),
         "read network parameters: 192.168.1.100 port 8080, protocol mode (SMS, TCP), address by IP"},
        {"net parameters, domain", R, Resp(0xE9, netDomain),
         "read network parameters: 10.0.0.1 port 80, transparent mode, sub-mode 2, address by domain, domain "
         "\"dtu.example.com\""},
        {"net parameters cut short", R, Resp(0xE9, H("01 02 03")),
         "read network parameters: short answer, 3 payload bytes"},
        {"serial", R, Resp(0xED, H("03 00 01")),
         "read serial settings: 9600 baud, parity NO, RS232"},
        {"serial, off the lists", R, Resp(0xED, H("08 03 04")),
         "read serial settings: baud index 8, parity index 3, interface index 4"},
        {"own ID", R, Resp(0xEE, H("00 1A 2B 3C 4D 5E AA")), "read own communication ID: 001A2B3C4D5E, custom"},
        {"version", R, Resp(0xF1, Text("V2.3")), "read version: \"V2.3\""},
        {"signal", R, Resp(0xFE, Text("+CSQ: 24,99")), "read signal strength: \"+CSQ: 24,99\""},
        {"packets", R, Resp(0xF8, packets),
         "read heartbeat and registration packets: custom, heartbeat \"0102\", registration \"AB\""},
        {"clock", R, Resp(0xFD, H("10 05 03 0E 07 09 02")), "read the DTU clock: 2016-05-03 14:07:09, weekday 2"},
        {"clock cut short", R, Resp(0xFD, H("10 05")), "read the DTU clock: short answer, 2 payload bytes"},
        {"RF written", R, Resp(0xF3, H("01")), "write wireless parameters: acknowledged"},
        {"odd ack", R, Resp(0xE7, H("01 02")), "set remote port: 2 payload bytes"},
    });
    const std::string rf = DescribeFrame(R, Resp(0xF4, H("6C 80 00 00 04 07 06")));
    EXPECT_EQ(rf.rfind("read wireless parameters: 43", 0), 0u) << rf;
    EXPECT_NE(rf.find("address 07, power index 6"), std::string::npos) << rf;

    // Every write the DTU acknowledges.
    for (const std::uint8_t code : {0xE1, 0xE3, 0xE5, 0xE6, 0xE7, 0xE8, 0xEA, 0xEB, 0xEC, 0xF2, 0xF5, 0xF7, 0xFB, 0xFC}) {
        SCOPED_TRACE(code);
        const monitor::FrameMeaning m = DecodeFrame(R, Resp(code, H("01")));
        EXPECT_EQ(m.name, monitor::CommandName(code));
        EXPECT_EQ(m.fields, "acknowledged");
        EXPECT_TRUE(m.envelopeOk);
        EXPECT_EQ(m.kind, FrameKind::Response);
        EXPECT_EQ(m.code, code);
    }
}

TEST(FrameText, FirmwareFrames)
{
    const Bytes image(1024, 0x5A);
    ExpectTexts({
        {"APP block", S, H("FA 80 EF 00 00 03 01 02 03 72 0D"), "APP image block: block 0, 3 bytes"},
        {"APP end", S, H("FA 80 EF FF 00 08 00 00 00 03 55 BC 80 1D 21 0D"),
         "APP end of image: image size 3 bytes, CRC-32 55BC801D"},
        {"IAP block", S, H("FB 80 F3 00 00 03 01 02 03 77 0A"), "IAP image block: block 0, 3 bytes"},
        {"full block", S, upgrade::BuildBlockFrame(upgrade::Kind::App, 7, image), "APP image block: block 7, 1024 bytes"},
        {"IAP block 255", S, upgrade::BuildBlockFrame(upgrade::Kind::Iap, 255, image),
         "IAP image block: block 255, 1024 bytes"},
        {"ACK", R, Resp(0xEF, Text("ACK")), "APP reply: block accepted [ACK]"},
        {"DCK", R, Resp(0xEF, Text("DCK")), "APP reply: check failed [DCK]"},
        {"ECK", R, Resp(0xEF, Text("ECK")), "APP reply: image accepted [ECK]"},
        {"NAK", R, Resp(0xEF, Text("NAK")), "APP reply: letters not understood [NAK]"},
        {"IAP ACK", R, Resp(0xF3, Text("ACK")), "IAP reply: block accepted [ACK]"},
    });
    const monitor::FrameMeaning m = DecodeFrame(R, Resp(0xEF, Text("ECK")));
    EXPECT_EQ(m.kind, FrameKind::FirmwareReply);
    EXPECT_EQ(m.verdict, "ECK");
    EXPECT_EQ(monitor::Classify(S, upgrade::BuildEndFrame(upgrade::Kind::App, 3, 0x55BC801D)).kind,
              FrameKind::FirmwareEnd);
    EXPECT_TRUE(monitor::Classify(S, upgrade::BuildBlockFrame(upgrade::Kind::Iap, 0, image)).expectsReply);
}

TEST(FrameText, DataFrames)
{
    const pages::SmsTarget group{true, true, ""};
    const pages::SmsTarget one{true, false, "12345678901"};
    const pages::SmsTarget transparent{false, false, "12345678901"};
    ExpectTexts({
        {"SMS text group", S, pages::BuildSmsTextFrame(group, "AB").frame, "SMS text, group send: 2 data bytes \"AB\""},
        {"SMS text one", S, pages::BuildSmsTextFrame(one, "AB").frame,
         "SMS text to one number: to 12345678901, 2 data bytes \"AB\""},
        {"SMS hex group", S, pages::BuildSmsHexFrame(group, "12 ab").frame, "SMS hex, group send: 2 data bytes"},
        {"SMS hex one", S, pages::BuildSmsHexFrame(one, "0102").frame,
         "SMS hex to one number: to 12345678901, 2 data bytes"},
        {"TCP many", S, pages::BuildTcpFrame({true, false, ""}, "01 02 0a").frame, "TCP one-to-many: 3 data bytes"},
        {"TCP one", S, pages::BuildTcpFrame({true, true, "112233445566"}, "").frame,
         "TCP one-to-one: to 112233445566, 0 data bytes"},
        {"transparent", S, pages::BuildSmsTextFrame(transparent, "AB").frame, "data: 2 bytes"},
        {"returned", R, H("7E 81 31 32 33 34 35 36 37 38 39 30 31 41 42 7F"),
         "SMS text to one number (returned): to 12345678901, 2 data bytes \"AB\""},
        {"bare bytes back", R, H("41 42"), "data: 2 bytes"},
    });
}

TEST(FrameText, BrokenEnvelopesAreMarked)
{
    ExpectTexts({
        {"response checksum", R, H("FA 00 E9 01 00 63 0D"),
         "read network parameters (bad checksum: sum E4, frame says 63)"},
        {"response terminator", R, H("FA 00 E9 01 00 E4 00"), "read network parameters (bad terminator 00)"},
        {"response length", R, H("FA 00 E9 05 00 E4 0D"),
         "read network parameters (length byte says 5 payload bytes, frame has 7 bytes)"},
        {"response cut short", R, H("FA 00 E9"), "read network parameters (cut short: 3 bytes)"},
        {"request where an answer belongs", R, H("FA 80 E9 01 00 64 0D"),
         "frame: 7 bytes (direction byte 80, 00 expected)"},
        {"request checksum", S, H("FA 80 E9 01 00 65 0D"),
         "read network parameters (bad checksum: sum 64, frame says 65)"},
        {"block checksum", S, H("FA 80 EF 00 00 03 01 02 03 73 0D"),
         "APP image block: block 0, 3 bytes (bad checksum: sum 72, frame says 73)"},
        {"block length", S, H("FA 80 EF 00 00 04 01 02 03 72 0D"),
         "APP image block: block 0, 4 bytes (length says 4 data bytes, frame has 11 bytes)"},
        {"IAP tail", S, H("FB 80 F3 00 00 03 01 02 03 77 0D"), "IAP image block: block 0, 3 bytes (bad terminator 0D)"},
        {"IAP command", S, H("FB 80 EF 00 00 03 01 02 03 73 0A"),
         "IAP image block: block 0, 3 bytes (command EF in an IAP frame)"},
        {"block cut short", S, H("FB 80 F3 00"), "IAP image block (too short for a block frame)"},
        {"data without 7F", S, H("7E 01 41"), "data frame: 3 bytes (no 7F terminator)"},
        {"data type", S, H("7E 09 41 7F"), "data frame (unknown type 09)"},
        {"recipient", S, H("7E 01 31 32 7F"), "SMS text to one number (recipient cut short: 2 of 11 bytes)"},
        {"two answers run together", R, Cat(Resp(0xF1, Text("A")), Resp(0xFE, Text("BC"))),
         "read version: \"A\" (8 more bytes after the frame: read signal strength: \"BC\")"},
        {"an answer and noise", R, Cat(Resp(0xF1, Text("A")), H("00")),
         "read version: \"A\" (1 more bytes after the frame: data: 1 bytes)"},
        {"two requests run together", S, Cat(*dtu::BuildQuery(0xE9), *dtu::BuildQuery(0xF1)),
         "read network parameters (8 more bytes after the frame: read version)"},
        {"empty", R, {}, "empty frame (no bytes)"},
        {"lone start byte", R, H("FA"), "frame: 1 bytes (cut short)"},
    });
}

// No prefix of a frame is read past its end, and none passes as whole.
TEST(FrameText, EveryPrefixDecodesWithinItsBytes)
{
    const Bytes frames[] = {
        Resp(0xE9, Cat(Zeros(32), H("C0 A8 01 64 1F 90 02 05 00"))),
        Resp(0xF8, Zeros(45)),
        Resp(0xF4, H("6C 80 00 00 04 07 06")),
        Resp(0xEF, Text("ACK")),
        Req(0xF5, Zeros(96)),
        Req(0xFC, Zeros(7)),
        H("FA 80 EF FF 00 08 00 00 00 03 55 BC 80 1D 21 0D"),
        H("7E 03 31 32 33 34 35 36 37 38 39 30 31 01 02 7F"),
    };
    for (const Bytes& frame : frames) {
        for (const Direction d : {S, R}) {
            EXPECT_FALSE(DescribeFrame(d, frame).empty());
            for (std::size_t n = 0; n < frame.size(); ++n) {
                // Exact-size copies so that ASan sees any read past the end.
                const Bytes prefix(frame.begin(), frame.begin() + static_cast<long>(n));
                const monitor::FrameMeaning m = DecodeFrame(d, prefix);
                if (monitor::Classify(d, frame).kind != FrameKind::Raw) {
                    EXPECT_FALSE(m.envelopeOk) << monitor::HexText(prefix);
                }
            }
        }
    }
}

TEST(FrameText, HexText)
{
    EXPECT_EQ(monitor::HexText(H("FA 80 e9 01 00 64 0d")), "FA 80 E9 01 00 64 0D");
    EXPECT_EQ(monitor::HexText({}), "");
}

// The codes the tool sends have names and wait for answers; no other does.
TEST(FrameText, CommandTableAgreesWithReplyWaiting)
{
    int named = 0;
    for (int code = 0; code < 256; ++code) {
        const std::string name = monitor::CommandName(static_cast<std::uint8_t>(code));
        const bool inTable = name.rfind("command 0x", 0) != 0;
        named += inTable;
        const Bytes frame = Req(static_cast<std::uint8_t>(code), H("00"));
        EXPECT_EQ(monitor::Classify(S, frame).expectsReply, inTable) << code;
    }
    EXPECT_EQ(named, 26);
}
