// The small text pieces the line monitor's descriptions are made of.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <vector>

namespace monitor::parts {

using Span = std::span<const std::uint8_t>;

inline std::string Format(const char* format, auto... args)
{
    char text[256];
    const int n = std::snprintf(text, sizeof text, format, args...);
    return n < 0 ? std::string{}
                 : std::string(text, std::min<std::size_t>(static_cast<std::size_t>(n), sizeof text - 1));
}

// The non-empty parts, joined; by default with the language's comma.
std::string Join(const std::vector<std::string>& parts, const char* separator = nullptr);

// Text from a zero-padded field of one byte per character.
std::string LowByteText(Span field);

inline std::string Quoted(const std::string& text) { return '"' + text + '"'; }

}  // namespace monitor::parts
