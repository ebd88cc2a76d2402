// The system's own conversion between UTF-8 and GBK, behind Codepage.cpp:
// iconv on Linux (CodepageIconv.cpp), code page 936 on Windows
// (CodepageWindows.cpp), the file chosen by the build. Codepage.cpp keeps
// ASCII and stray bytes away from them, so both see the same input and
// fill in the same replacements.
#pragma once

#include "core/common/Codepage.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace text::native {

// Whether the system converts to and from GBK.
bool Available();

// Writes the GBK of `utf8` into `out` from `at` on and moves `at` past it;
// `out` grows when it runs short. `utf8` holds only sequences of two to four
// bytes (Utf8SequenceLength > 1); each that GBK cannot hold becomes '?'.
void ToGbk(std::string_view utf8, Bytes& out, std::size_t& at);

// Writes the UTF-8 of `gbk` into `out` from `at` on, the same way. `gbk`
// holds no zero byte. A lead byte with a bad or missing trail becomes
// U+FFFD and the byte after it is read afresh, so that an ASCII byte there
// survives; any other byte that starts no character becomes U+FFFD.
void ToUtf8(std::string_view gbk, std::string& out, std::size_t& at);

// UTF-8 sequence length by lead byte: 1 for ASCII, 0 for a byte that starts
// no sequence. A table, since every byte of every text is looked up.
inline constexpr std::array<std::uint8_t, 256> kLeadLength = [] {
    std::array<std::uint8_t, 256> t{};
    for (std::size_t b = 0; b < 0x80; ++b)
        t[b] = 1;
    for (std::size_t b = 0xC2; b <= 0xDF; ++b)
        t[b] = 2;
    for (std::size_t b = 0xE0; b <= 0xEF; ++b)
        t[b] = 3;
    for (std::size_t b = 0xF0; b <= 0xF4; ++b)
        t[b] = 4;
    return t;
}();

// Length of the UTF-8 sequence that starts `s`, 1 for a stray byte.
inline std::size_t Utf8SequenceLength(std::string_view s)
{
    const std::size_t n = kLeadLength[static_cast<unsigned char>(s[0])];
    if (n <= 1 || n > s.size())
        return 1;
    for (std::size_t i = 1; i < n; ++i)
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80)
            return 1;
    return n;
}

inline constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

}  // namespace text::native
