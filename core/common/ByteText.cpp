#include "core/common/ByteText.h"

#include <algorithm>
#include <array>
#include <vector>

namespace text {

namespace {

std::size_t CodePoints(std::string_view utf8)
{
    std::size_t n = 0;
    for (const char c : utf8)
        n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}

// GBK's pairs: a lead 0x81 to 0xFE, a trail 0x40 to 0xFE but 0x7F.
constexpr std::size_t kTrails = 0xFF - 0x40;
constexpr std::size_t PairIndex(std::uint8_t lead, std::uint8_t trail)
{
    return (lead - 0x81u) * kTrails + (trail - 0x40u);
}

// The pairs shown as characters: those the code page turns into one
// character that it turns back into the same pair. Any other (a pair the
// table lacks, or one that shares its character with another) is shown as
// escapes, so that the words always give the bytes back.
const std::vector<bool>& GbkCharacters()
{
    static const std::vector<bool> pairs = [] {
        std::vector<bool> ok(PairIndex(0xFE, 0xFE) + 1);
        for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
            for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
                if (trail == 0x7F)
                    continue;
                const std::uint8_t pair[] = {std::uint8_t(lead), std::uint8_t(trail)};
                const std::string character = FromAnsi(pair);
                if (CodePoints(character) != 1)
                    continue;
                const Bytes back = ToAnsi(character);
                ok[PairIndex(pair[0], pair[1])] = back.size() == 2 && back[0] == pair[0] && back[1] == pair[1];
            }
        }
        return ok;
    }();
    return pairs;
}

// Length of the GBK character at `i`: 2 for a lead byte with its trail,
// 0 for a byte that begins none.
std::size_t GbkLength(std::span<const std::uint8_t> s, std::size_t i)
{
    const std::uint8_t lead = s[i];
    if (lead < 0x81 || lead == 0xFF || i + 1 >= s.size())
        return 0;
    const std::uint8_t trail = s[i + 1];
    if (trail < 0x40 || trail == 0x7F || trail == 0xFF)
        return 0;
    return GbkCharacters()[PairIndex(lead, trail)] ? 2 : 0;
}

// Length of a well-formed UTF-8 sequence at `i` (no overlong forms, no
// surrogates, nothing past U+10FFFF), 0 otherwise.
std::size_t Utf8Length(std::span<const std::uint8_t> s, std::size_t i)
{
    const std::uint8_t lead = s[i];
    std::size_t n = 0;
    std::uint8_t low = 0x80, high = 0xBF;  // the second byte's range
    if (lead >= 0xC2 && lead <= 0xDF) {
        n = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        n = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        n = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    }
    if (n == 0 || i + n > s.size() || s[i + 1] < low || s[i + 1] > high)
        return 0;
    for (std::size_t k = 2; k < n; ++k)
        if ((s[i + k] & 0xC0) != 0x80)
            return 0;
    return n;
}

}  // namespace

std::size_t CharacterLength(std::span<const std::uint8_t> bytes, std::size_t i, Encoding encoding)
{
    const std::uint8_t b = bytes[i];
    if (b < 0x80)
        return IsPlain(b) ? 1 : 0;
    if (encoding == Encoding::Gbk)
        return GbkLength(bytes, i);
    // C1 controls (U+0080 to U+009F) print nothing either.
    if (b == 0xC2 && i + 1 < bytes.size() && bytes[i + 1] < 0xA0)
        return 0;
    return Utf8Length(bytes, i);
}

std::string_view Escape(std::uint8_t b)
{
    // Made once: binary data asks for an escape on most bytes.
    static const std::array<std::string, 256> escapes = [] {
        std::array<std::string, 256> all;
        static const char digits[] = "0123456789ABCDEF";
        for (int k = 0; k < 256; ++k)
            all[std::size_t(k)] = std::string("\\x") + digits[k >> 4] + digits[k & 0xF];
        all['\r'] = "\\r";
        all['\n'] = "\\n";
        all['\t'] = "\\t";
        all[0] = "\\0";
        all['\\'] = "\\\\";
        return all;
    }();
    return escapes[b];
}

std::string EscapedLine(std::span<const std::uint8_t> bytes, Encoding encoding)
{
    std::string line;
    line.reserve(bytes.size());
    Walk(
        bytes, encoding, [&](std::uint8_t b) { line += Escape(b); },
        [&](std::span<const std::uint8_t> run, std::size_t characters, bool ascii) {
            if (ascii || encoding == Encoding::Utf8) {
                line.append(reinterpret_cast<const char*>(run.data()), run.size());
                return;
            }
            // A run the converter does not map one to one is done again
            // character by character.
            const std::string converted = FromAnsi(run);
            if (CodePoints(converted) == characters) {
                line += converted;
                return;
            }
            for (std::size_t k = 0; k < run.size();) {
                const std::size_t length = IsPlain(run[k]) ? 1 : GbkLength(run, k);
                line += FromAnsi(run.subspan(k, length));
                k += length;
            }
        });
    return line;
}

std::optional<Bytes> Unescaped(std::string_view words, Encoding encoding)
{
    Bytes out;
    out.reserve(words.size());
    const auto characters = [&](std::string_view run) {
        if (run.empty())
            return true;
        if (encoding == Encoding::Utf8) {
            const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(run.data()), run.size());
            for (std::size_t i = 0; i < bytes.size();) {
                const std::size_t length = bytes[i] < 0x80 ? 1 : Utf8Length(bytes, i);
                if (length == 0)
                    return false;
                i += length;
            }
            out.insert(out.end(), bytes.begin(), bytes.end());
            return true;
        }
        // ToAnsi writes '?' for what GBK lacks: more of them than the words
        // hold means a character no GBK bytes give.
        const Bytes gbk = ToAnsi(run);
        if (std::count(gbk.begin(), gbk.end(), '?') != std::count(run.begin(), run.end(), '?'))
            return false;
        out.insert(out.end(), gbk.begin(), gbk.end());
        return true;
    };
    std::size_t run = 0;  // where the characters since the last escape begin
    for (std::size_t i = 0; i < words.size();) {
        if (words[i] != '\\') {
            ++i;
            continue;
        }
        if (!characters(words.substr(run, i - run)) || i + 1 == words.size())
            return std::nullopt;
        const char e = words[i + 1];
        i += 2;
        switch (e) {
        case 'r': out.push_back('\r'); break;
        case 'n': out.push_back('\n'); break;
        case 't': out.push_back('\t'); break;
        case '0': out.push_back(0); break;
        case '\\': out.push_back('\\'); break;
        case 'x': {
            const auto digit = [](char c) {
                if (c >= '0' && c <= '9')
                    return c - '0';
                if (c >= 'A' && c <= 'F')
                    return c - 'A' + 10;
                return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
            };
            const int high = i < words.size() ? digit(words[i]) : -1;
            const int low = i + 1 < words.size() ? digit(words[i + 1]) : -1;
            if (high < 0 || low < 0)
                return std::nullopt;
            out.push_back(static_cast<std::uint8_t>(high << 4 | low));
            i += 2;
            break;
        }
        default: return std::nullopt;
        }
        run = i;
    }
    if (!characters(words.substr(run)))
        return std::nullopt;
    return out;
}

}  // namespace text
