#include "core/common/Codepage.h"

#include "core/common/CodepageNative.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace text {

namespace {

using native::kLeadLength;
using native::kReplacement;
using native::Utf8SequenceLength;

// The bytes before the first zero.
std::string_view UpToZero(std::span<const std::uint8_t> bytes)
{
    const void* zero = bytes.empty() ? nullptr : std::memchr(bytes.data(), 0, bytes.size());
    const std::size_t end =
        zero ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(zero) - bytes.data()) : bytes.size();
    return std::string_view(reinterpret_cast<const char*>(bytes.data()), end);
}

// `s` from `i` on, without substr's bounds check in loops over every byte.
std::string_view From(std::string_view s, std::size_t i)
{
    return std::string_view(s.data() + i, s.size() - i);
}

// End of the run of ASCII bytes from `i` on, looked at eight bytes at a
// time: most text is ASCII.
std::size_t AsciiEnd(std::string_view s, std::size_t i)
{
    constexpr std::uint64_t kHighBits = 0x8080808080808080u;
    for (; s.size() - i >= 8; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, s.data() + i, 8);
        if (const std::uint64_t high = word & kHighBits) {
            const int bit =
                std::endian::native == std::endian::little ? std::countr_zero(high) : std::countl_zero(high);
            return i + static_cast<std::size_t>(bit) / 8;
        }
    }
    while (i < s.size() && static_cast<unsigned char>(s[i]) < 0x80)
        ++i;
    return i;
}

// Decodes UTF-8: each run of ASCII goes to `ascii` whole, any other code
// point to `other`; an invalid byte gives U+FFFD.
template <class Ascii, class Other>
void ForEachCodePoint(std::string_view s, Ascii ascii, Other other)
{
    const auto* u = reinterpret_cast<const unsigned char*>(s.data());
    std::size_t i = 0;
    while (i < s.size()) {
        const unsigned char lead = u[i];
        if (lead < 0x80) {
            const std::size_t end = AsciiEnd(s, i);
            ascii(std::string_view(s.data() + i, end - i));
            i = end;
            continue;
        }
        const std::size_t n = kLeadLength[lead] == 0 ? 1 : Utf8SequenceLength(From(s, i));
        if (n == 1) {
            other(char32_t{0xFFFD});
            ++i;
            continue;
        }
        // The lead byte holds 5, 4 or 3 bits, each continuation byte 6.
        char32_t cp = lead & (0x7Fu >> n);
        for (std::size_t k = 1; k < n; ++k)
            cp = cp << 6 | (u[i + k] & 0x3Fu);
        other(cp);
        i += n;
    }
}

bool IsGbkLead(std::uint8_t b)
{
    return b >= 0x81 && b <= 0xFE;
}

}  // namespace

namespace detail {

Bytes AsciiToAnsi(std::string_view utf8)
{
    Bytes out;
    ForEachCodePoint(
        utf8, [&](std::string_view ascii) { out.insert(out.end(), ascii.begin(), ascii.end()); },
        [&](char32_t) { out.push_back('?'); });
    return out;
}

std::string AsciiFromAnsi(std::span<const std::uint8_t> bytes)
{
    std::string out;
    for (char c : UpToZero(bytes)) {
        if (static_cast<unsigned char>(c) < 0x80)
            out += c;
        else
            out += kReplacement;
    }
    return out;
}

}  // namespace detail

bool CodepageAvailable()
{
    return native::Available();
}

Bytes ToAnsi(std::string_view utf8)
{
    if (!native::Available())
        return detail::AsciiToAnsi(utf8);
    Bytes out(utf8.size());  // no character takes more bytes in GBK
    std::size_t at = 0;
    // ASCII stays as it is in GBK and a byte that starts no UTF-8 sequence
    // becomes '?', so only multi-byte sequences go to the system: typed text
    // is mostly ASCII, and a converter stops at every invalid byte.
    const auto* u = reinterpret_cast<const unsigned char*>(utf8.data());
    std::size_t i = 0;
    while (i < utf8.size()) {
        if (u[i] < 0x80) {
            const std::size_t end = AsciiEnd(utf8, i);
            std::copy(u + i, u + end, out.begin() + static_cast<std::ptrdiff_t>(at));
            at += end - i;
            i = end;
            continue;
        }
        std::size_t n = kLeadLength[u[i]] == 0 ? 1 : Utf8SequenceLength(From(utf8, i));
        if (n == 1) {
            out[at++] = '?';
            ++i;
            continue;
        }
        // Sequences one after another go to the system together.
        std::size_t j = i + n;
        while (j < utf8.size() && u[j] >= 0x80 && (n = Utf8SequenceLength(From(utf8, j))) > 1)
            j += n;
        native::ToGbk(utf8.substr(i, j - i), out, at);
        i = j;
    }
    out.resize(at);
    return out;
}

std::optional<Unconvertible> FindNotInAnsi(std::string_view utf8)
{
    // One conversion of the whole text answers for almost every text; the
    // character-by-character search runs only for one that holds a culprit.
    const Bytes whole = ToAnsi(utf8);
    if (std::count(whole.begin(), whole.end(), '?') == std::count(utf8.begin(), utf8.end(), '?'))
        return std::nullopt;
    std::size_t position = 0;
    for (std::size_t i = 0; i < utf8.size();) {
        const std::size_t n = static_cast<unsigned char>(utf8[i]) < 0x80 ? 1 : Utf8SequenceLength(From(utf8, i));
        const std::string_view c = utf8.substr(i, n);
        ++position;
        if (c != "?" && ToAnsi(c) == Bytes{'?'})
            // A stray byte is no character to name: it shows as U+FFFD.
            return Unconvertible{position, static_cast<unsigned char>(c[0]) >= 0x80 && n == 1 ? std::string(kReplacement)
                                                                                             : std::string(c)};
        i += n;
    }
    return std::nullopt;
}

std::string FromAnsi(std::span<const std::uint8_t> bytes)
{
    const std::string_view in = UpToZero(bytes);
    if (in.empty())
        return {};
    if (!native::Available())
        return detail::AsciiFromAnsi(bytes);
    // ASCII up to the first other byte is the same in GBK; after it a byte
    // below 0x80 may be the second of a double-byte character.
    const std::size_t ascii = AsciiEnd(in, 0);
    if (ascii == in.size())
        return std::string(in);
    // No byte makes more than three of UTF-8: an invalid one becomes U+FFFD.
    std::string out(3 * in.size(), '\0');
    std::copy(in.begin(), in.begin() + static_cast<std::ptrdiff_t>(ascii), out.begin());
    std::size_t at = ascii;
    native::ToUtf8(From(in, ascii), out, at);
    out.resize(at);
    return out;
}

Bytes CutAnsi(Bytes bytes, std::size_t limit)
{
    if (bytes.size() <= limit)
        return bytes;
    std::size_t end = 0;
    while (end < bytes.size()) {
        const std::size_t n = IsGbkLead(bytes[end]) && end + 1 < bytes.size() ? 2 : 1;
        if (end + n > limit)
            break;
        end += n;
    }
    bytes.resize(end);
    return bytes;
}

Bytes LowBytes(std::string_view utf8)
{
    Bytes out(utf8.size());  // never more code units than bytes
    std::size_t n = 0;
    const auto ascii = [&](std::string_view run) {
        std::copy(run.begin(), run.end(), out.begin() + static_cast<std::ptrdiff_t>(n));
        n += run.size();
    };
    ForEachCodePoint(utf8, ascii, [&](char32_t cp) {
        if (cp >= 0x10000) {
            // A surrogate pair: two code units.
            const char32_t v = cp - 0x10000;
            out[n++] = static_cast<std::uint8_t>((0xD800 + (v >> 10)) & 0xFF);
            out[n++] = static_cast<std::uint8_t>((0xDC00 + (v & 0x3FF)) & 0xFF);
        } else {
            out[n++] = static_cast<std::uint8_t>(cp & 0xFF);
        }
    });
    out.resize(n);
    return out;
}

std::size_t Utf16Length(std::string_view utf8)
{
    std::size_t n = 0;
    ForEachCodePoint(
        utf8, [&](std::string_view ascii) { n += ascii.size(); }, [&](char32_t cp) { n += cp >= 0x10000 ? 2 : 1; });
    return n;
}

}  // namespace text
