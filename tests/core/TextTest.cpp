#include "core/common/ByteText.h"
#include "core/common/Codepage.h"
#include "core/common/Hex.h"
#include "core/upgrade/Crc32.h"
#include "tests/support/Bytes.h"

#include <gtest/gtest.h>

#include <array>
#include <future>
#include <random>

namespace {

TEST(Codepage, GbkBothWays)
{
    struct Case {
        const char* utf8;
        Bytes gbk;
    };
    const Case cases[] = {
        {"", {}},
        {"CMNET", H("43 4D 4E 45 54")},
        {"中文", H("D6 D0 CE C4")},
        {"A中B", H("41 D6 D0 42")},
        {"5\xE2\x82\xAC", H("35 80")},  // GBK's one-byte euro
    };
    for (const Case& c : cases) {
        EXPECT_EQ(text::ToAnsi(c.utf8), c.gbk) << c.utf8;
        EXPECT_EQ(text::FromAnsi(c.gbk), c.utf8) << c.utf8;
    }
}

TEST(Codepage, WhatGbkCannotHoldBecomesAQuestionMark)
{
    EXPECT_EQ(text::ToAnsi("a\xF0\x9F\x98\x80" "b"), H("61 3F 62"));  // an emoji
    EXPECT_EQ(text::ToAnsi("a\xFF" "b"), H("61 3F 62"));               // not UTF-8
    // The user-defined areas, which Windows' code page 936 puts in the
    // Private Use Area, are no GBK on either system.
    EXPECT_EQ(text::ToAnsi("a\xEE\x93\x86" "b"), H("61 3F 62"));  // U+E4C6, A1 40 there
    EXPECT_EQ(text::ToAnsi("\xEF\xA3\xB5"), H("3F"));             // U+F8F5, FF there
}

TEST(Codepage, DeviceTextEndsAtTheFirstZeroAndSurvivesGarbage)
{
    EXPECT_EQ(text::FromAnsi(H("41 42 00 43")), "AB");
    EXPECT_EQ(text::FromAnsi(H("00 41")), "");
    // A lead byte at the very end, or before a byte that cannot follow it.
    EXPECT_EQ(text::FromAnsi(H("41 D6")), "A\xEF\xBF\xBD");
    EXPECT_EQ(text::FromAnsi(H("D6 20 41")), "\xEF\xBF\xBD" " A");
    // Pairs of the user-defined areas.
    EXPECT_EQ(text::FromAnsi(H("D6 D0 A1 40")), "中\xEF\xBF\xBD" "@");
    EXPECT_EQ(text::FromAnsi(H("FE FE CE C4")), "\xEF\xBF\xBD\xEF\xBF\xBD" "文");
}

// Every pair a GBK lead byte starts (with what follows it in a text) and
// every character of the Basic Multilingual Plane, both ways, summed up in
// one CRC: Windows' code page 936 and Linux's iconv must give the same
// bytes, and the value comes from Linux.
TEST(Codepage, EveryPairAndCharacterConvertsTheSameOnEverySystem)
{
    upgrade::Crc32 crc;
    const auto add = [&](const auto& bytes) {
        crc.Update({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
        crc.Update(std::array<std::uint8_t, 1>{0xFF});  // where one result ends
    };
    for (unsigned lead = 0x80; lead <= 0xFF; ++lead)
        for (unsigned trail = 0x00; trail <= 0xFF; ++trail)
            add(text::FromAnsi(H("41") + Bytes{std::uint8_t(lead), std::uint8_t(trail), 0x42, std::uint8_t(lead)}));
    for (char32_t cp = 0x80; cp <= 0xFFFF; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF)
            continue;
        std::string c;
        if (cp < 0x800)
            c = {char(0xC0 | cp >> 6), char(0x80 | (cp & 0x3F))};
        else
            c = {char(0xE0 | cp >> 12), char(0x80 | (cp >> 6 & 0x3F)), char(0x80 | (cp & 0x3F))};
        add(text::ToAnsi("a" + c + c + "b"));
    }
    EXPECT_EQ(crc.Value(), 0x50D768EFu);
}

TEST(Codepage, WithoutTheCodePageOnlyAsciiPasses)
{
    EXPECT_TRUE(text::CodepageAvailable());
    EXPECT_EQ(text::detail::AsciiToAnsi("a\xC3\xA9中\xF0\x9F\x98\x80\xFF" "b"), H("61 3F 3F 3F 3F 62"));
    EXPECT_EQ(text::detail::AsciiFromAnsi(H("41 D6 D0 7F 00 43")), "A\xEF\xBF\xBD\xEF\xBF\xBD\x7F");
}

TEST(Codepage, ThreadsConvertAtTheSameTime)
{
    // The reader thread and the GUI thread both convert.
    const auto convert = [] {
        for (int i = 0; i < 2000; ++i)
            if (text::ToAnsi("A中\xFF" "文B") != H("41 D6 D0 3F CE C4 42") ||
                text::FromAnsi(H("41 D6 D0 D6 20")) != "A中\xEF\xBF\xBD ")
                return false;
        return true;
    };
    auto other = std::async(std::launch::async, convert);
    EXPECT_TRUE(convert());
    EXPECT_TRUE(other.get());
}

TEST(Codepage, CutNeverSplitsADoubleByteCharacter)
{
    const Bytes text = H("41 D6 D0 CE C4");  // A中文
    EXPECT_EQ(text::CutAnsi(text, 5), text);
    EXPECT_EQ(text::CutAnsi(text, 4), H("41 D6 D0"));
    EXPECT_EQ(text::CutAnsi(text, 2), H("41"));
    EXPECT_EQ(text::CutAnsi(text, 0), Bytes{});
}

TEST(Codepage, LowBytesAndLengthInUtf16Units)
{
    EXPECT_EQ(text::LowBytes("abc.com"), H("61 62 63 2E 63 6F 6D"));
    EXPECT_EQ(text::LowBytes("中"), H("2D"));  // U+4E2D
    EXPECT_EQ(text::Utf16Length("中文ab"), 4u);
    EXPECT_EQ(text::Utf16Length("\xF0\x9F\x98\x80"), 2u);
}

// Every byte shown as a character or an escape reads back as itself: the
// words of a received stream (the terminal's view and log, the test
// server's events) are the bytes.
TEST(ByteText, WordsReadBackAsTheirBytes)
{
    using text::Encoding;
    const struct {
        Bytes bytes;
        Encoding encoding;
        const char* words;
    } cases[] = {
        {H("41 5C 78 34 31 0D 0A 09 00 7F"), Encoding::Gbk, "A\\\\x41\\r\\n\\t\\0\\x7F"},
        {H("D6 D0 CE C4"), Encoding::Gbk, "中文"},
        {H("D6 D0 CE C4"), Encoding::Utf8, "\\xD6\\xD0\\xCE\\xC4"},
        {H("E4 B8 AD"), Encoding::Utf8, "中"},
        // A pair GBK's table lacks, a lead at the end, a lead before a byte
        // that cannot follow it, GBK's one-byte euro.
        {H("A1 40 D6"), Encoding::Gbk, "\\xA1@\\xD6"},
        {H("FE FE A2 E3"), Encoding::Gbk, "\\xFE\\xFE\\xA2\\xE3"},
        {H("D6 20 80"), Encoding::Gbk, "\\xD6 \\x80"},
        // A trail that is a backslash; a C1 control; a broken sequence.
        {H("81 5C"), Encoding::Gbk, nullptr},
        {H("C2 85 E4 B8"), Encoding::Utf8, "\\xC2\\x85\\xE4\\xB8"},
    };
    for (const auto& c : cases) {
        const std::string words = text::EscapedLine(c.bytes, c.encoding);
        SCOPED_TRACE(words);
        if (c.words) {
            EXPECT_EQ(words, c.words);
        }
        EXPECT_EQ(text::Unescaped(words, c.encoding), c.bytes);
    }
    // Random bytes, in the pieces a stream is cut into.
    std::mt19937 generator(37);
    Bytes random(256 * 4096);
    for (auto& b : random)
        b = static_cast<std::uint8_t>(generator());
    for (const Encoding encoding : {Encoding::Gbk, Encoding::Utf8}) {
        std::size_t exact = 0;
        for (std::size_t at = 0; at < random.size(); at += 4096) {
            const auto piece = std::span(random).subspan(at, 4096);
            const auto back = text::Unescaped(text::EscapedLine(piece, encoding), encoding);
            exact += back && std::equal(back->begin(), back->end(), piece.begin(), piece.end());
        }
        EXPECT_EQ(exact, 256u) << (encoding == Encoding::Gbk ? "GBK" : "UTF-8");
    }
}

TEST(ByteText, WordsNoBytesGiveAreRefused)
{
    using text::Encoding;
    const struct {
        const char* words;
        Encoding encoding;
    } cases[] = {
        {"a\\", Encoding::Gbk},                 // a backslash at the end
        {"\\q", Encoding::Utf8},                // no such escape
        {"\\x4", Encoding::Gbk},                // one digit
        {"\\xG0", Encoding::Utf8},              // not a digit
        {"\xF0\x9F\x98\x80", Encoding::Gbk},    // an emoji GBK lacks
        {"\xFF", Encoding::Utf8},               // not UTF-8
    };
    for (const auto& c : cases)
        EXPECT_EQ(text::Unescaped(c.words, c.encoding), std::nullopt) << c.words;
    // A question mark is one GBK holds.
    EXPECT_EQ(text::Unescaped("?中", Encoding::Gbk), H("3F D6 D0"));
}

TEST(Hex, HexToBytesArithmetic)
{
    struct Case {
        const char* text;
        Bytes bytes;
    };
    const Case cases[] = {
        {"", {}},
        {"7F0A", H("7F 0A")},
        {"414", H("41")},    // the odd last digit is dropped
        {"GG", H("10")},     // letters beyond F by the same arithmetic
        {"ABCDEF", H("AB CD EF")},
        {"0123456789", H("01 23 45 67 89")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(hex::HexToBytes(std::string_view(c.text)), c.bytes) << c.text;
    // Bytes of 0x80 and above are negative and take the letter rule.
    EXPECT_EQ(hex::HexToBytes(H("D6 D0")), H("F9"));
}

TEST(Hex, Formats)
{
    EXPECT_EQ(hex::FormatSpaced(H("7E 01 41")), "7E 01 41 ");
    EXPECT_EQ(hex::FormatSpaced(Bytes{}), "");
    EXPECT_EQ(hex::FormatPlain(H("00 1A 2B 3C 4D 5E")), "001A2B3C4D5E");
}

TEST(Hex, PairsInEitherCase)
{
    EXPECT_EQ(hex::ParsePairs("001a2B", 6), H("00 1A 2B 00 00 00"));
    EXPECT_EQ(hex::ParsePairs("112", 2), H("11 20"));
    EXPECT_EQ(hex::ParsePairs("11223344556677", 6), H("11 22 33 44 55 66"));
    EXPECT_EQ(hex::ParsePairs("zz", 1), H("00"));
}

}  // namespace
