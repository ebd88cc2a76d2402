// Text as the DTU sees it. Text typed by users becomes GBK bytes (code page
// 936, what the DTU's users run); text from the DTU is GBK and ends at its
// first zero byte. Digit strings and domain names go out as the low byte of
// each UTF-16 code unit instead, as the DTU has always received them.
//
// Text inside the program is UTF-8.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace text {

using Bytes = std::vector<std::uint8_t>;

// UTF-8 to GBK. A character GBK cannot hold becomes '?'; invalid UTF-8
// bytes become '?' one by one.
Bytes ToAnsi(std::string_view utf8);

// GBK to UTF-8, ending at the first zero byte. A byte sequence that is not
// GBK becomes U+FFFD.
std::string FromAnsi(std::span<const std::uint8_t> bytes);

// The first `limit` bytes of GBK `bytes`, never ending inside a double-byte
// character.
Bytes CutAnsi(const Bytes& bytes, std::size_t limit);

// The low byte of each UTF-16 code unit.
Bytes LowBytes(std::string_view utf8);

// Length in UTF-16 code units: the length a user's text has always been
// measured in (a Chinese character counts 1).
std::size_t Utf16Length(std::string_view utf8);

}  // namespace text
