// Text as the DTU sees it. Text typed by users becomes GBK bytes (code page
// 936, what the DTU's users run); text from the DTU is GBK and ends at its
// first zero byte. Digit strings and domain names go out as the low byte of
// each UTF-16 code unit instead: the DTU takes one byte per character there.
//
// Text inside the program is UTF-8.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace text {

using Bytes = std::vector<std::uint8_t>;

// Whether this system can convert to and from GBK. Without it, ToAnsi and
// FromAnsi still work (they never throw) but pass only ASCII through.
bool CodepageAvailable();

// UTF-8 to GBK. A character GBK cannot hold becomes '?'; invalid UTF-8
// bytes become '?' one by one. Without the code page ASCII stays as it is
// and every other character becomes '?'.
Bytes ToAnsi(std::string_view utf8);

// The first character of `utf8` that ToAnsi would turn into a '?' nobody
// typed, and its position (counted in characters from 1); nothing when all
// of it converts. Callers refuse such text rather than send it.
struct Unconvertible {
    std::size_t position = 0;
    std::string character;
};
std::optional<Unconvertible> FindNotInAnsi(std::string_view utf8);

// GBK to UTF-8, ending at the first zero byte. A byte sequence that is not
// GBK becomes U+FFFD. Without the code page ASCII stays as it is and every
// other byte becomes U+FFFD.
std::string FromAnsi(std::span<const std::uint8_t> bytes);

// The first `limit` bytes of GBK `bytes`, never ending inside a double-byte
// character.
Bytes CutAnsi(Bytes bytes, std::size_t limit);

// The low byte of each UTF-16 code unit.
Bytes LowBytes(std::string_view utf8);

// Length in UTF-16 code units, what the limits on typed text count (a
// Chinese character counts 1).
std::size_t Utf16Length(std::string_view utf8);

namespace detail {
// What ToAnsi and FromAnsi do without the code page; declared here so that
// tests reach them on a system that has it.
Bytes AsciiToAnsi(std::string_view utf8);
std::string AsciiFromAnsi(std::span<const std::uint8_t> bytes);
}  // namespace detail

}  // namespace text
