// Received bytes as text that keeps every byte: characters of the encoding
// (GBK or UTF-8) as they are, and whatever is no printable character as an
// escape, so that the bytes can be read back from the words:
//
//   \r \n \t \0 \\   carriage return, line feed, tab, zero, backslash
//   \xHH             any other control byte, and a byte that begins no
//                    character of the encoding (a GBK lead without its
//                    trail, a GBK pair the code page does not turn into a
//                    character and back, a broken UTF-8 sequence, a C1
//                    control)
//
// The terminal, the test server and dtuctl show bytes this way, and
// Unescaped reads the bytes back from the words.
#pragma once

#include "core/common/Codepage.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace text {

enum class Encoding { Gbk, Utf8 };

// A byte shown as itself in both encodings.
constexpr bool IsPlain(std::uint8_t b)
{
    return b >= 0x20 && b < 0x7F && b != '\\';
}

// Length of the printable character of `encoding` at `i`, 0 where none
// begins (bytes below 0x80: 1 for a plain byte, 0 for any other).
std::size_t CharacterLength(std::span<const std::uint8_t> bytes, std::size_t i, Encoding encoding);

// The escape of a byte that begins no character: "\\n", "\\x1B", ...
std::string_view Escape(std::uint8_t b);

// The bytes in order as escapes and runs of characters, without building
// anything: calls escape(b) for a byte shown as an escape, and
// run(bytes, characters, ascii) for bytes that decode to `characters`
// characters (plain bytes only when `ascii`).
template <class OnEscape, class OnRun>
void Walk(std::span<const std::uint8_t> bytes, Encoding encoding, OnEscape escape, OnRun run)
{
    const std::size_t n = bytes.size();
    for (std::size_t i = 0; i < n;) {
        std::size_t end = i, characters = 0;
        bool ascii = true;
        while (end < n) {
            const std::size_t length = IsPlain(bytes[end]) ? 1 : CharacterLength(bytes, end, encoding);
            if (length == 0)
                break;
            ascii = ascii && length == 1 && bytes[end] < 0x80;
            end += length;
            ++characters;
        }
        if (end == i) {
            escape(bytes[i++]);
            continue;
        }
        run(bytes.subspan(i, end - i), characters, ascii);
        i = end;
    }
}

// The bytes as one line (UTF-8), as the logs keep them.
std::string EscapedLine(std::span<const std::uint8_t> bytes, Encoding encoding);

// The bytes again from their words in `encoding`: escapes undone, the
// characters between them in the encoding. Nothing for words no bytes give:
// a backslash that begins no escape, a character the encoding lacks.
std::optional<Bytes> Unescaped(std::string_view words, Encoding encoding);

}  // namespace text
