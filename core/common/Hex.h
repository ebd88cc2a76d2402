// Hexadecimal text <-> bytes in the forms the DTU's users read and type:
// upper-case pairs, with or without a space after each byte.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace hex {

using Bytes = std::vector<std::uint8_t>;

// "%02X " per byte: "7E 01 41 " (the last byte is followed by a space too).
std::string FormatSpaced(std::span<const std::uint8_t> bytes);

// Bytes with one space between them, as a person reads a line: "FA 80 E9".
std::string FormatJoined(std::span<const std::uint8_t> bytes);

// "%02X" per byte, no separators: "001A2B3C4D5E".
std::string FormatPlain(std::span<const std::uint8_t> bytes);

// Pairs of digits to bytes by the DTU tool's own arithmetic: a digit is
// itself, anything else counts as a letter (c - 7 for the high half,
// c - 0x37 for the low), so "GG" gives 0x10. Characters are signed 8-bit
// values. Returns n / 2 bytes; an odd last digit is dropped. Callers upper-
// case first: only digits and A to F give meaningful values.
Bytes HexToBytes(std::span<const std::uint8_t> text);
Bytes HexToBytes(std::string_view text);

// Pairs of hex digits in either case, first digit in the high half. A
// character that is not a hex digit counts as 0, and an odd last digit is
// paired with 0. At most `maxBytes` bytes; fewer digits leave zeros.
Bytes ParsePairs(std::string_view text, std::size_t maxBytes);

bool IsHexDigit(char c);
// What a hex-only field lets through while hex input is on: hex digits in
// either case, space and backspace.
bool AcceptsHexKey(char32_t c);
bool IsDigit(char c);
std::string RemoveSpaces(std::string_view text);
std::string UpperAscii(std::string_view text);

}  // namespace hex
