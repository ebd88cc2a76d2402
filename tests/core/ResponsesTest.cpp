#include "core/dtu/Commands.h"
#include "core/dtu/Messages.h"
#include "core/dtu/Responses.h"
#include "tests/support/Bytes.h"

#include <gtest/gtest.h>

namespace {

using namespace dtu;

// An answer as the DTU sends it, in a receive buffer of its own.
struct Answer {
    std::vector<std::uint8_t> buffer;
    std::int32_t length;
    Response response() const { return Response(buffer, length); }
};

Answer Reply(std::uint8_t code, const Bytes& payload, std::uint8_t filler = 0x00)
{
    const Bytes frame = *BuildResponse(code, payload);
    return {InBuffer(frame, filler), static_cast<std::int32_t>(frame.size())};
}

TEST(ResponsePlan, EnvelopeAndCodeDecideWhatThePageDoes)
{
    struct Case {
        const char* what;
        Answer answer;
        Decoder decoder;
        const char* status;
        const char* message;
    };
    const Case cases[] = {
        {"echo of a request", {InBuffer(*BuildRequest(0xE9, H("00"))), 7}, Decoder::None, msg::kFail, nullptr},
        {"one byte 0D", {InBuffer(H("0D")), 1}, Decoder::None, msg::kFail, nullptr},
        {"nothing received", {InBuffer(H("FA 00 0D")), 0}, Decoder::None, msg::kFail, nullptr},
        {"write acknowledgement", Reply(0xE7, H("00")), Decoder::None, msg::kSuccess, nullptr},
        {"phone list", Reply(0xE2, {}), Decoder::PhoneList, msg::kSuccess, nullptr},
        {"ID list", Reply(0xE4, {}), Decoder::IdList, msg::kSuccess, nullptr},
        {"network", Reply(0xE9, Zeros(41)), Decoder::NetParams, msg::kSuccess, nullptr},
        {"serial", Reply(0xED, Zeros(3)), Decoder::Uart, msg::kSuccess, nullptr},
        {"own ID", Reply(0xEE, Zeros(7)), Decoder::OwnId, msg::kSuccess, nullptr},
        {"version", Reply(0xF1, Zeros(2)), Decoder::Version, msg::kSuccess, nullptr},
        {"signal", Reply(0xFE, Zeros(2)), Decoder::Signal, msg::kSuccess, nullptr},
        {"RF written", Reply(0xF3, Zeros(1)), Decoder::RfWritten, nullptr, msg::kRfWritten},
        {"RF read", Reply(0xF4, Zeros(7)), Decoder::RfRead, nullptr, msg::kRfRead},
        {"packets written", Reply(0xF7, Zeros(1)), Decoder::None, msg::kSuccess, msg::kPacketsWritten},
        {"packets read", Reply(0xF8, Zeros(45)), Decoder::Packets, msg::kSuccess, msg::kPacketsRead},
        {"clock", Reply(0xFD, Zeros(7)), Decoder::Clock, msg::kSuccess, nullptr},
        {"code never sent", Reply(0xF0, {}), Decoder::None, msg::kSuccess, nullptr},
        {"code outside the table", Reply(0x12, {}), Decoder::None, msg::kSuccess, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ResponsePlan plan = PlanResponse(c.answer.response());
        EXPECT_EQ(plan.decoder, c.decoder);
        EXPECT_STREQ(plan.status, c.status);
        EXPECT_STREQ(plan.message, c.message);
    }
    EXPECT_TRUE(PlanResponse(Reply(0xFD, Zeros(7)).response()).messageBeforeStatus);
}

TEST(ListDecoders, RecordsCountedFromTheLengthByte)
{
    const Bytes two = H("31 33 38 30 30 31 33 38 30 30 30 2C  31 35 39 30 30 31 35 39 30 30 30 2C");
    EXPECT_EQ(DecodePhoneList(Reply(0xE2, two).response()),
              (std::vector<std::string>{"13800138000", "15900159000"}));
    const Bytes cutShort(two.begin(), two.begin() + 23);
    EXPECT_EQ(DecodePhoneList(Reply(0xE2, cutShort).response()), std::vector<std::string>{"13800138000"});
    EXPECT_TRUE(DecodePhoneList(Reply(0xE2, {}).response()).empty());
    // A record with zeros shows as far as its text goes.
    EXPECT_EQ(DecodePhoneList(Reply(0xE2, H("31 33 38 00") + Zeros(7) + H("2C")).response()),
              std::vector<std::string>{"138"});

    const Bytes ids = H("00 1A 2B 3C 4D 5E 2C  AA BB CC DD EE FF 2C  01 02 03 04 05 06");
    EXPECT_EQ(DecodeIdList(Reply(0xE4, ids).response()),
              (std::vector<std::string>{"001A2B3C4D5E", "AABBCCDDEEFF"}));
}

TEST(ListDecoders, LengthByteBeyondTheFrameReadsOnlyInsideTheBuffer)
{
    // L says 255 but three bytes came: the rest is whatever the buffer holds.
    Answer a{InBuffer(H("FA 00 E2 FF 31 32 0D"), 0x39), 7};
    const auto numbers = DecodePhoneList(a.response());
    ASSERT_EQ(numbers.size(), 21u);
    EXPECT_EQ(numbers[0], "12" "\r" "99999999");
    // A buffer no longer than the frame: positions past it read as zero.
    const Bytes tiny = H("FA 00 E2 FF 31 32 0D");
    EXPECT_EQ(DecodePhoneList(Response(tiny, 7))[0], "12\r");
}

Bytes NetPayload(const std::string& domain, Bytes ip, std::uint16_t port, std::uint8_t kind, std::uint8_t mode,
                 std::uint8_t addressKind)
{
    Bytes p(domain.begin(), domain.end());
    p.resize(32, 0x00);
    p.insert(p.end(), ip.begin(), ip.end());
    p.push_back(static_cast<std::uint8_t>(port >> 8));
    p.push_back(static_cast<std::uint8_t>(port));
    p.push_back(kind);
    p.push_back(mode);
    p.push_back(addressKind);
    return p;
}

TEST(NetworkParameters, DecodedAndApplied)
{
    const NetParams p = DecodeNetParams(Reply(0xE9, NetPayload("dtu.example.org", H("C0 A8 01 64"), 8080, 2, 5, 1))
                                            .response());
    EXPECT_EQ(p.domain, "dtu.example.org");
    EXPECT_EQ(p.ip, (std::array<std::uint8_t, 4>{192, 168, 1, 100}));
    EXPECT_EQ(p.port, 8080);

    struct Case {
        const char* what;
        Bytes payload;
        NetPageState expected;
    };
    NetPageState before;
    before.transferKind = 0;
    before.subMode = 1;
    before.addressKind = 0;
    before.domain = "old.domain";
    before.port = "1";
    before.ip = std::array<std::uint8_t, 4>{1, 2, 3, 4};
    before.sms = before.smsHex = before.tcp = true;

    const Case cases[] = {
        {"protocol transfer, options 5, domain kind", NetPayload("a.com", H("0A 00 00 01"), 8080, 2, 5, 1),
         {0, 1, 1, "a.com", "8080", std::nullopt, true, false, true, true, false}},
        {"transparent TCP, IP kind empties the domain", NetPayload("a.com", H("0A 00 00 01"), 502, 1, 2, 0),
         {1, 2, 0, "", "502", std::array<std::uint8_t, 4>{10, 0, 0, 1}, false, false, false, false, true}},
        {"both kinds keep the selection", NetPayload("b.com", H("0A 00 00 02"), 0, 7, 9, 5),
         {1, 9, 0, "b.com", "0", std::array<std::uint8_t, 4>{10, 0, 0, 2}, false, false, false, false, true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        NetPageState page = before;
        ApplyNetParams(DecodeNetParams(Reply(0xE9, c.payload).response()), page);
        EXPECT_EQ(page.transferKind, c.expected.transferKind);
        EXPECT_EQ(page.subMode, c.expected.subMode);
        EXPECT_EQ(page.addressKind, c.expected.addressKind);
        EXPECT_EQ(page.domain, c.expected.domain);
        EXPECT_EQ(page.port, c.expected.port);
        EXPECT_EQ(page.ip, c.expected.ip);
        EXPECT_EQ(page.sms, c.expected.sms);
        EXPECT_EQ(page.smsHex, c.expected.smsHex);
        EXPECT_EQ(page.tcp, c.expected.tcp);
        EXPECT_EQ(page.optionsEnabled, c.expected.optionsEnabled);
        EXPECT_EQ(page.subModesEnabled, c.expected.subModesEnabled);
    }
}

TEST(NetworkParameters, DomainFillingItsFieldStopsAtTheField)
{
    const std::string full(32, 'd');
    const NetParams p = DecodeNetParams(Reply(0xE9, NetPayload(full, H("7F 00 00 01"), 80, 2, 0, 1)).response());
    EXPECT_EQ(p.domain, full);
}

TEST(SmallDecoders, SerialOwnIdTextClock)
{
    const UartIndexes u = DecodeUart(Reply(0xED, H("07 01 04")).response());
    EXPECT_EQ(u.baud, 7);
    EXPECT_EQ(u.parity, 1);
    EXPECT_EQ(u.interface, 1);  // 4 modulo 3

    const OwnId id = DecodeOwnId(Reply(0xEE, H("00 1A 2B 3C 4D 5E AA")).response());
    EXPECT_EQ(id.id, "001A2B3C4D5E");
    EXPECT_TRUE(id.custom);
    EXPECT_FALSE(DecodeOwnId(Reply(0xEE, H("00 1A 2B 3C 4D 5E 55")).response()).custom);

    EXPECT_EQ(DecodeText(Reply(0xF1, H("56 31 2E 30 00 41")).response(), kVersionCapacity), "V1.0");
    const Bytes longVersion(100, 'v');
    EXPECT_EQ(DecodeText(Reply(0xF1, longVersion).response(), kVersionCapacity), std::string(63, 'v'));
    EXPECT_EQ(DecodeText(Reply(0xFE, Bytes(200, 's')).response(), kSignalCapacity), std::string(127, 's'));
    EXPECT_EQ(DecodeText(Reply(0xFE, H("43 53 51 3A 32 35")).response(), kSignalCapacity), "CSQ:25");

    EXPECT_EQ(DecodeClock(Reply(0xFD, H("10 05 03 0E 07 09 02")).response()), "2016-05-03 14:07:09 weekday 2");
    EXPECT_EQ(DecodeClock(Reply(0xFD, Zeros(7)).response()), "2000-00-00 00:00:00 weekday 0");
}

TEST(Packets, ReadAnswer)
{
    struct Case {
        const char* what;
        std::uint8_t heartbeatLength;
        std::size_t shown;
    };
    const Case cases[] = {{"two", 2, 2}, {"ten", 10, 10}, {"eleven wraps to none", 11, 0}, {"twelve gives one", 12, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Bytes payload = H("AA") + Bytes{c.heartbeatLength} + H("01 AB 03 04 05 06 07 08 09 0A") + H("04") +
                        H("52 45 47 31") + Zeros(28);
        const Packets p = DecodePackets(Reply(0xF8, payload).response());
        EXPECT_TRUE(p.custom);
        EXPECT_EQ(p.heartbeat.size(), c.shown);
        EXPECT_EQ(p.registration, H("52 45 47 31"));
    }
    const Packets p = DecodePackets(Reply(0xF8, H("55 02 01 AB") + Zeros(8) + H("00") + Zeros(32)).response());
    EXPECT_FALSE(p.custom);
    EXPECT_EQ(PacketText(p.heartbeat, true), "01 AB ");
    EXPECT_EQ(PacketText(H("52 45 47 31"), false), "REG1");
    EXPECT_EQ(PacketText({}, true), "");
}

TEST(RfAnswer, FrequencyIsCutNotRounded)
{
    struct Case {
        Bytes record;
        const char* frequency;
        const char* address;
    };
    const Case cases[] = {
        {H("6C 80 00  00 04 07 06"), "434.00", "07"},
        {H("6C 80 12  00 04 07 06"), "434.00", "07"},
        {H("6C 7A E1  00 04 7B 06"), "433.91", "123"},
        {H("00 00 00  00 04 00 06"), "0.00", "00"},
        // Exact hundredths that floating point showed one too low.
        {H("7A 40 00  00 04 00 06"), "489.00", "00"},
        {H("FF FF FF  00 04 FF 06"), "1023.99", "255"},
    };
    for (const Case& c : cases) {
        const RfRecord r = DecodeRfAnswer(Reply(0xF4, c.record).response());
        EXPECT_EQ(r.frequency, c.frequency);
        EXPECT_EQ(r.address, c.address);
    }
    const RfRecord r = DecodeRfAnswer(Reply(0xF4, H("6C 80 00  09 05 07 03")).response());
    EXPECT_EQ(r.sleepIndex, 9);
    EXPECT_EQ(r.breathIndex, 5);
    EXPECT_EQ(r.powerIndex, 3);
}

// The figure a column of a bench shows, or none where the report says none.
TEST(SignalReport, StrengthIsTheFirstFigureWhenKnown)
{
    const struct {
        const char* report;
        std::optional<int> strength;
    } cases[] = {
        {"+CSQ: 24,99", 24}, {"+CSQ:31,0", 31}, {"+CSQ: 0,99\r\n", 0}, {"24,99", 24},
        {"+CSQ: 99,99", std::nullopt},  // not known
        {"+CSQ: 32,99", std::nullopt}, {"+CSQ: ,99", std::nullopt}, {"", std::nullopt},
        {"+CSQ: 2x,99", std::nullopt}, {"ERROR", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(dtu::SignalStrength(c.report), c.strength) << c.report;
}

}  // namespace
