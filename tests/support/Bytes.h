// Byte vectors written as the DTU's traffic is read: "FA 80 E9 01 00 64 0D".
#pragma once

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

inline Bytes H(std::string_view text)
{
    Bytes out;
    std::string digits;
    for (char c : text) {
        if (c == ' ')
            continue;
        digits += c;
        if (digits.size() == 2) {
            out.push_back(static_cast<std::uint8_t>(std::strtoul(digits.c_str(), nullptr, 16)));
            digits.clear();
        }
    }
    return out;
}

inline Bytes Zeros(std::size_t n)
{
    return Bytes(n, 0x00);
}

inline Bytes operator+(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A whole receive buffer holding `frame` from index 0, the rest `filler`.
inline std::vector<std::uint8_t> InBuffer(const Bytes& frame, std::uint8_t filler = 0x00)
{
    std::vector<std::uint8_t> buffer(1024, filler);
    std::copy(frame.begin(), frame.end(), buffer.begin());
    return buffer;
}
