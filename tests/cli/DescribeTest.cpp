// One line per frame: every kind of frame on the line, from its bytes.
#include "dtu/Describe.h"
#include "support/Bytes.h"

#include <gtest/gtest.h>

namespace {

TEST(Describe, EveryKindOfFrame)
{
    const struct {
        Bytes frame;
        std::string text;
    } cases[] = {
        {H("FA 80 E9 01 00 64 0D"), "request read network parameters (0xE9): FA 80 E9 01 00 64 0D "},
        {H("FA 80 F0 00 6A 0D"), "request (0xF0): FA 80 F0 00 6A 0D "},
        {H("FA 00 E1 01 01 DD 0D"), "answer write phone list (0xE1): acknowledged"},
        {H("FA 00 E2 0C 31 33 38 30 30 31 33 38 30 30 30 2C 00 0D"), "answer read phone list (0xE2): 13800138000"},
        {H("FA 00 E2 00 DC 0D"), "answer read phone list (0xE2): (empty)"},
        {H("FA 00 E4 0E 00 1A 2B 3C 4D 5E 2C 11 22 33 44 55 66 2C 00 0D"),
         "answer read ID list (0xE4): 001A2B3C4D5E, 112233445566"},
        {H("FA 00 ED 03 05 01 02 00 0D"), "answer read serial settings (0xED): 38400 baud, parity ODD, RS485"},
        {H("FA 00 ED 03 FF 01 02 00 0D"), "answer read serial settings (0xED): index 255 baud, parity ODD, RS485"},
        {H("FA 00 EE 07 AA BB CC DD EE FF AA 00 0D"), "answer read own ID (0xEE): AABBCCDDEEFF (custom)"},
        {H("FA 00 F1 03 56 31 00 00 0D"), "answer read version (0xF1): V1"},
        {H("FA 00 FD 07 10 05 03 0E 07 09 02 00 0D"), "answer read clock (0xFD): 2016-05-03 14:07:09 星期2"},
        {H("FA 00 F4 07 6C 80 00 00 04 07 06 00 0D"),
         "answer read wireless parameters (0xF4): 434.00 MHz, sleep index 0, breathing index 4, address 07, power index 6"},
        {H("FA 00 EF 03 41 43 4B 00 0D"), "answer APP image (0xEF): ACK"},
        {H("FA 00 EF 03 44 43 4B 00 0D"), "answer APP image (0xEF): DCK"},
        {H("FA 00 E9 01 00 00 00"), "malformed answer read network parameters (0xE9): FA 00 E9 01 00 00 00 "},
        {H("FA 80 EF 02 00 02 AB CD 00 0D"), "APP image block 2, 2 bytes"},
        {H("FB 80 F3 00 04 00"), "IAP image block 0, 1024 bytes"},
        {H("FA 80 EF FF 00 08 00 00 09 C4 CB F4 39 26 00 0D"), "end of APP image: 2500 bytes, CRC-32 CBF43926"},
        {H("7E 80 41 42 7F"), "data: 7E 80 41 42 7F "},
        {H("FA 00"), "fragment: FA 00 "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(dtu::DescribeFrame(c.frame), c.text);
}

// A short answer decodes as zeros past its end, never as bytes beyond it.
TEST(Describe, ShortAnswersReadNothingPastTheirEnd)
{
    const Bytes net = H("FA 00 E9 29 41 00 00 0D");
    EXPECT_EQ(dtu::DescribeFrame(net),
              "answer read network parameters (0xE9): domain \"A\", IP 0.0.0.0, port 0, "
              "transparent transfer, sms_ucs2, uses IP");
}

}  // namespace
