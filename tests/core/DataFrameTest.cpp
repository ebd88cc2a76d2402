#include "core/dtu/Messages.h"
#include "core/pages/DataFrame.h"
#include "tests/support/Bytes.h"

#include <gtest/gtest.h>

namespace {

using namespace pages;

const SmsTarget kGroup{true, true, ""};
const SmsTarget kNumber{true, false, "12345678901"};
const SmsTarget kTransparent{false, true, ""};

TEST(SmsFrames, TextAndHex)
{
    struct Case {
        const char* what;
        Built built;
        Bytes expected;
    };
    const Case cases[] = {
        {"text, group", BuildSmsTextFrame(kGroup, "AB"), H("7E 00  41 42  7F")},
        {"text, one number", BuildSmsTextFrame(kNumber, "AB"),
         H("7E 01  31 32 33 34 35 36 37 38 39 30 31  41 42  7F")},
        {"text, transparent", BuildSmsTextFrame(kTransparent, "AB"), H("41 42")},
        {"text, only eleven digits of a longer number", BuildSmsTextFrame({true, false, "1234567890123"}, "AB"),
         H("7E 01  31 32 33 34 35 36 37 38 39 30 31  41 42  7F")},
        {"text, Chinese in GBK", BuildSmsTextFrame(kTransparent, "中文"), H("D6 D0 CE C4")},
        {"text, empty, protocol", BuildSmsTextFrame(kGroup, ""), H("7E 00 7F")},
        {"text, empty, transparent writes nothing", BuildSmsTextFrame(kTransparent, ""), {}},
        {"hex, group", BuildSmsHexFrame(kGroup, "12 ab"), H("7E 02  12 AB  7F")},
        {"hex, one number", BuildSmsHexFrame(kNumber, "0102"),
         H("7E 03  31 32 33 34 35 36 37 38 39 30 31  01 02  7F")},
        {"hex, transparent, odd digit dropped", BuildSmsHexFrame(kTransparent, "414"), H("41")},
        {"hex, transparent, empty", BuildSmsHexFrame(kTransparent, ""), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_TRUE(c.built.ok()) << c.built.message;
        EXPECT_EQ(c.built.frame, c.expected);
    }
}

TEST(SmsFrames, RefusedRatherThanSentWrong)
{
    EXPECT_EQ(BuildSmsTextFrame({true, false, "1380013800"}, "AB").message, dtu::msg::kNumberTooShort);
    EXPECT_EQ(BuildSmsHexFrame({true, false, ""}, "01").message, dtu::msg::kNumberTooShort);
    // A short number does not matter for a group send or in transparent mode.
    EXPECT_TRUE(BuildSmsTextFrame({true, true, "1"}, "AB").ok());
    EXPECT_TRUE(BuildSmsTextFrame({false, false, ""}, "AB").ok());

    struct Limit {
        const char* what;
        SmsTarget target;
        std::size_t fits;  // largest text that fits in 255 bytes
    };
    const Limit limits[] = {{"one number", kNumber, 241}, {"group", kGroup, 252}, {"transparent", kTransparent, 255}};
    for (const Limit& l : limits) {
        SCOPED_TRACE(l.what);
        const Built fits = BuildSmsTextFrame(l.target, std::string(l.fits, 'x'));
        EXPECT_TRUE(fits.ok());
        EXPECT_EQ(fits.frame.size(), 255u);
        const Built over = BuildSmsTextFrame(l.target, std::string(l.fits + 1, 'x'));
        EXPECT_EQ(over.message, dtu::msg::kFrameTooLong);
        EXPECT_TRUE(over.frame.empty());
        EXPECT_EQ(BuildSmsHexFrame(l.target, std::string(2 * (l.fits + 1), 'A')).message, dtu::msg::kFrameTooLong);
    }
}

TEST(TcpFrames, OneToManyAndOneToOne)
{
    struct Case {
        const char* what;
        Built built;
        Bytes expected;
    };
    const Case cases[] = {
        {"one-to-many, protocol", BuildTcpFrame({true, false, ""}, "01 02 0a"), H("7E 04  01 02 0A  7F")},
        {"one-to-many, transparent", BuildTcpFrame({false, false, ""}, "AABB"), H("AA BB")},
        {"one-to-many, protocol, empty", BuildTcpFrame({true, false, ""}, ""), H("7E 04 7F")},
        {"one-to-one, transparent", BuildTcpFrame({false, true, "112233445566"}, "AABB"),
         H("11 22 33 44 55 66  AA BB")},
        {"one-to-one, protocol, empty data", BuildTcpFrame({true, true, "112233445566"}, ""),
         H("7E 05  11 22 33 44 55 66  7F")},
        {"lower-case address", BuildTcpFrame({false, true, "0a1122334455"}, ""), H("0A 11 22 33 44 55")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_TRUE(c.built.ok()) << c.built.message;
        EXPECT_EQ(c.built.frame, c.expected);
    }
}

TEST(TcpFrames, AddressChecksAndLimits)
{
    const std::pair<const char*, const char*> addresses[] = {
        {"", dtu::msg::kAddressEmpty},
        {"1122334455667", dtu::msg::kAddressTooLong},
        {"11 22 33 44 55 66", dtu::msg::kAddressTooLong},  // spaces count
        {"1122334455", dtu::msg::kAddressTooShort},
        {"11223344556", dtu::msg::kAddressTooShort},
    };
    for (const auto& [address, message] : addresses) {
        const Built b = BuildTcpFrame({true, true, address}, "01");
        EXPECT_EQ(b.message, message) << address;
        EXPECT_TRUE(b.frame.empty());
    }
    // The address is only looked at for a one-to-one send.
    EXPECT_TRUE(BuildTcpFrame({true, false, ""}, "01").ok());

    struct Limit {
        TcpTarget target;
        std::size_t fits;
    };
    // 7E 04 + data + 7F: 252 data bytes make the 255th byte the trailer.
    const Limit limits[] = {{{true, false, ""}, 252},
                            {{false, false, ""}, 255},
                            {{true, true, "112233445566"}, 246},
                            {{false, true, "112233445566"}, 249}};
    for (const Limit& l : limits) {
        EXPECT_EQ(BuildTcpFrame(l.target, std::string(2 * l.fits, '5')).frame.size(), 255u);
        EXPECT_EQ(BuildTcpFrame(l.target, std::string(2 * l.fits + 2, '5')).message, dtu::msg::kFrameTooLong);
    }
}

TEST(ReceivedBytes, ShownAsSpacedHex)
{
    EXPECT_EQ(FormatReceived(H("7E 01 41")), "7E 01 41 ");
    EXPECT_EQ(FormatReceived(Bytes{}), "");
    EXPECT_EQ(NormaliseHexText("01 02 0a"), "01020A");
    EXPECT_EQ(NormaliseHexText("01 02\r\n0a\t0B\n"), "01020A0B");
    EXPECT_EQ(BuildTcpFrame({false, false, ""}, "41\n42").frame, (Bytes{0x41, 0x42}));
}

}  // namespace
