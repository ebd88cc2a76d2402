#include "core/common/Hex.h"

namespace hex {

namespace {

const char kDigits[] = "0123456789ABCDEF";

int Nibble(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return 0;
}

}  // namespace

std::string FormatSpaced(std::span<const std::uint8_t> bytes)
{
    std::string out(bytes.size() * 3, ' ');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        out[3 * i] = kDigits[bytes[i] >> 4];
        out[3 * i + 1] = kDigits[bytes[i] & 0x0F];
    }
    return out;
}

std::string FormatJoined(std::span<const std::uint8_t> bytes)
{
    std::string text = FormatSpaced(bytes);
    if (!text.empty())
        text.pop_back();
    return text;
}

std::string FormatPlain(std::span<const std::uint8_t> bytes)
{
    std::string out(bytes.size() * 2, '0');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        out[2 * i] = kDigits[bytes[i] >> 4];
        out[2 * i + 1] = kDigits[bytes[i] & 0x0F];
    }
    return out;
}

Bytes HexToBytes(std::span<const std::uint8_t> text)
{
    Bytes out;
    out.reserve(text.size() / 2);
    for (std::size_t k = 0; 2 * k + 1 < text.size(); ++k) {
        const auto c1 = static_cast<std::int32_t>(static_cast<std::int8_t>(text[2 * k]));
        const auto c2 = static_cast<std::int32_t>(static_cast<std::int8_t>(text[2 * k + 1]));
        const bool d1 = c1 >= '0' && c1 <= '9';
        const bool d2 = c2 >= '0' && c2 <= '9';
        // Unsigned arithmetic: the letter rule can go negative, and only the
        // low 8 bits count.
        const std::uint32_t high = (static_cast<std::uint32_t>(d1 ? c1 : c1 - 7) << 4) & 0xFFu;
        const std::uint32_t low = static_cast<std::uint32_t>(d2 ? c2 - 0x30 : c2 - 0x37);
        out.push_back(static_cast<std::uint8_t>((high | low) & 0xFFu));
    }
    return out;
}

Bytes HexToBytes(std::string_view text)
{
    return HexToBytes(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

Bytes ParsePairs(std::string_view text, std::size_t maxBytes)
{
    Bytes out(maxBytes, 0x00);
    for (std::size_t k = 0; k < maxBytes && 2 * k < text.size(); ++k) {
        const int high = Nibble(text[2 * k]);
        const int low = 2 * k + 1 < text.size() ? Nibble(text[2 * k + 1]) : 0;
        out[k] = static_cast<std::uint8_t>(high << 4 | low);
    }
    return out;
}

bool IsHexDigit(char c)
{
    return IsDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

bool AcceptsHexKey(char32_t c)
{
    return c == U' ' || c == U'\b' || (c < 0x80 && IsHexDigit(static_cast<char>(c)));
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

std::string RemoveSpaces(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c != ' ')
            out += c;
    return out;
}

std::string UpperAscii(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return out;
}

}  // namespace hex
