#include "core/dtu/Commands.h"
#include "core/dtu/Frame.h"

#include <gtest/gtest.h>

#include <numeric>

using dtu::Bytes;

namespace {

struct RequestCase {
    const char* what;
    std::uint8_t code;
    Bytes payload;
    Bytes frame;
};

// Known-good requests, as the DTU accepts them.
const RequestCase kRequests[] = {
    {"read network parameters", dtu::cmd::kReadNetParams, {0x00},
     {0xFA, 0x80, 0xE9, 0x01,  0x00,  0x64, 0x0D}},
    {"read phone list", dtu::cmd::kReadPhoneList, {0x00},
     {0xFA, 0x80, 0xE2, 0x01,  0x00,  0x5D, 0x0D}},
    {"read version", dtu::cmd::kReadVersion, {0x00, 0x00},
     {0xFA, 0x80, 0xF1, 0x02,  0x00, 0x00,  0x6D, 0x0D}},
    {"read serial settings", dtu::cmd::kReadUart, {0x00, 0x00, 0x00},
     {0xFA, 0x80, 0xED, 0x03,  0x00, 0x00, 0x00,  0x6A, 0x0D}},
    {"set remote port 8080", dtu::cmd::kSetPort, {0x1F, 0x90},
     {0xFA, 0x80, 0xE7, 0x02,  0x1F, 0x90,  0x12, 0x0D}},
    {"set server IP 192.168.1.100", dtu::cmd::kSetServerIp, {0xC0, 0xA8, 0x01, 0x64},
     {0xFA, 0x80, 0xE6, 0x04,  0xC0, 0xA8, 0x01, 0x64,  0x31, 0x0D}},
    {"protocol transfer with SMS UCS2 and SMS HEX", dtu::cmd::kSetWorkMode, {0x02, 0x03},
     {0xFA, 0x80, 0xE8, 0x02,  0x02, 0x03,  0x69, 0x0D}},
    {"empty phone list", dtu::cmd::kWritePhoneList, {},
     {0xFA, 0x80, 0xE1, 0x00,  0x5B, 0x0D}},
};

TEST(RequestFrame, GoldenVectors)
{
    for (const RequestCase& c : kRequests) {
        SCOPED_TRACE(c.what);
        const auto frame = dtu::BuildRequest(c.code, c.payload);
        ASSERT_TRUE(frame.has_value());
        EXPECT_EQ(*frame, c.frame);
        // The frame is exactly L + 6 bytes and checks as the DTU checks it.
        EXPECT_EQ(frame->size(), c.payload.size() + 6);
        EXPECT_EQ(dtu::Checksum(std::span(*frame).first(frame->size() - 2)), (*frame)[frame->size() - 2]);
    }
}

TEST(RequestFrame, ParameterlessRequestsCarryTheirZeroPayload)
{
    // The sizes differ by code and are part of the protocol.
    const std::pair<std::uint8_t, std::size_t> kSizes[] = {
        {0xE2, 1}, {0xE4, 1}, {0xE9, 1}, {0xEA, 1}, {0xEB, 1}, {0xF4, 1},
        {0xEE, 2}, {0xF1, 2}, {0xF2, 2}, {0xF8, 2}, {0xFD, 2}, {0xFE, 2},
        {0xED, 3},
    };
    for (const auto& [code, size] : kSizes) {
        SCOPED_TRACE(code);
        const auto frame = dtu::BuildQuery(code);
        ASSERT_TRUE(frame.has_value());
        EXPECT_EQ(*frame, *dtu::BuildRequest(code, Bytes(size, 0x00)));
    }
    for (std::uint8_t code : {0xE1, 0xE3, 0xE5, 0xE6, 0xE7, 0xE8, 0xEC, 0xEF, 0xF3, 0xF5, 0xF7, 0xFB, 0xFC})
        EXPECT_FALSE(dtu::BuildQuery(code).has_value()) << int(code);
}

TEST(RequestFrame, ChecksumCoversLongFramesAndWraps)
{
    // A full 255-byte payload: the sum runs over every byte before it.
    Bytes payload(255);
    std::iota(payload.begin(), payload.end(), std::uint8_t{0});
    const auto frame = dtu::BuildRequest(dtu::cmd::kWritePhoneList, payload);
    ASSERT_TRUE(frame.has_value());
    ASSERT_EQ(frame->size(), 261u);
    EXPECT_EQ((*frame)[3], 0xFF);
    unsigned sum = 0xFA + 0x80 + 0xE1 + 0xFF;
    for (std::uint8_t b : payload)
        sum += b;
    EXPECT_EQ((*frame)[259], sum % 256);
    EXPECT_EQ((*frame)[260], 0x0D);
}

TEST(RequestFrame, RefusesPayloadsTheLengthByteCannotHold)
{
    EXPECT_FALSE(dtu::BuildRequest(dtu::cmd::kWritePhoneList, Bytes(256, 0x31)).has_value());
    EXPECT_FALSE(dtu::BuildRequest(dtu::cmd::kWriteIdList, Bytes(252 + 7, 0x00)).has_value());
}

TEST(ResponseFrame, BuiltWithTheResponseDirection)
{
    const auto frame = dtu::BuildResponse(dtu::cmd::kReadUart, Bytes{0x07, 0x00, 0x01});
    ASSERT_TRUE(frame.has_value());
    EXPECT_EQ(*frame, (Bytes{0xFA, 0x00, 0xED, 0x03,  0x07, 0x00, 0x01,  0xF2, 0x0D}));
}

TEST(ResponseFrame, EnvelopeCheck)
{
    struct Case {
        const char* what;
        Bytes buffer;
        std::int32_t length;
        bool ok;
    };
    const Case cases[] = {
        {"well formed", {0xFA, 0x00, 0xE7, 0x01, 0x00, 0xE2, 0x0D}, 7, true},
        {"checksum and length are not examined", {0xFA, 0x00, 0xE7, 0x09, 0x55, 0x0D}, 6, true},
        {"request direction", {0xFA, 0x80, 0xE7, 0x01, 0x00, 0x62, 0x0D}, 7, false},
        {"wrong start byte", {0xFB, 0x00, 0xE7, 0x01, 0x00, 0xE2, 0x0D}, 7, false},
        {"last received byte is not 0x0D", {0xFA, 0x00, 0xE7, 0x01, 0x00, 0xE2, 0x0D, 0x00}, 8, false},
        {"shorter than the buffer: only received bytes end it", {0xFA, 0x00, 0x0D, 0x44, 0x0D}, 3, true},
        {"nothing received", {0xFA, 0x00, 0x0D}, 0, false},
        {"negative length", {0xFA, 0x00, 0x0D}, -1, false},
        {"length past the buffer", {0xFA, 0x00, 0x0D}, 4, false},
        {"buffer of one byte", {0x0D}, 1, false},
        {"empty buffer", {}, 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(dtu::ResponseEnvelopeOk(c.buffer, c.length), c.ok);
    }
}

TEST(ResponseFrame, AcceptedOnlyOnceTheTerminatorArrives)
{
    // Grown byte by byte (this answer holds no other 0x0D), a well-formed
    // answer passes only once its terminator has arrived.
    const auto frame = *dtu::BuildResponse(dtu::cmd::kReadRf, Bytes{0x6C, 0x7A, 0xE1, 0x02, 0x03, 0x01, 0x04});
    for (std::size_t n = 0; n <= frame.size(); ++n) {
        const bool whole = n == frame.size();
        EXPECT_EQ(dtu::ResponseEnvelopeOk(frame, static_cast<std::int32_t>(n)), whole) << n;
    }
}

}  // namespace
