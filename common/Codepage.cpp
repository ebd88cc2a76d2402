#include "common/Codepage.h"

#include <cerrno>
#include <iconv.h>
#include <utility>

namespace text {

namespace {

// One descriptor per direction and thread, opened on first use: opening one
// costs more than converting a typical text, and an iconv_t keeps shift
// state, so the reader thread and the GUI thread must not share one. A code
// page missing from the system leaves it closed; callers fall back to ASCII
// instead of throwing, since they run inside frame handlers.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter()
    {
        if (Ok())
            iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool Ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Appends all of `in` to `out`, calling `onInvalid` to replace what cannot
    // be converted (it returns the replacement and how many input bytes to
    // skip).
    template <class Out, class OnInvalid>
    void Run(std::string_view in, Out& out, OnInvalid onInvalid)
    {
        // A call that ended in an exception may have left state behind.
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* src = const_cast<char*>(in.data());
        std::size_t srcLeft = in.size();
        char buffer[256];
        while (srcLeft > 0) {
            char* dst = buffer;
            std::size_t dstLeft = sizeof buffer;
            const std::size_t r = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
            out.insert(out.end(), buffer, dst);
            if (r != static_cast<std::size_t>(-1))
                continue;
            if (errno == E2BIG)
                continue;
            // EILSEQ or EINVAL (a sequence cut at the end): replace and skip.
            const auto [replacement, skip] = onInvalid(std::string_view(src, srcLeft));
            out.insert(out.end(), replacement.begin(), replacement.end());
            src += skip;
            srcLeft -= skip;
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        }
    }

private:
    iconv_t cd_;
};

Converter& ToGbk()
{
    thread_local Converter converter("GBK", "UTF-8");
    return converter;
}

Converter& FromGbk()
{
    thread_local Converter converter("UTF-8", "GBK");
    return converter;
}

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// The bytes before the first zero.
std::string_view UpToZero(std::span<const std::uint8_t> bytes)
{
    std::size_t end = 0;
    while (end < bytes.size() && bytes[end] != 0)
        ++end;
    return std::string_view(reinterpret_cast<const char*>(bytes.data()), end);
}

// Length of the UTF-8 sequence that starts with `lead`, 1 for a stray byte.
std::size_t Utf8SequenceLength(std::string_view s)
{
    const auto lead = static_cast<unsigned char>(s[0]);
    std::size_t n = 1;
    if (lead >= 0xF0 && lead <= 0xF4)
        n = 4;
    else if (lead >= 0xE0)
        n = lead <= 0xEF ? 3 : 1;
    else if (lead >= 0xC2)
        n = 2;
    if (n > s.size())
        return 1;
    for (std::size_t i = 1; i < n; ++i)
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80)
            return 1;
    return n;
}

// Decodes UTF-8 into code points; an invalid byte gives U+FFFD.
template <class Sink>
void ForEachCodePoint(std::string_view s, Sink sink)
{
    while (!s.empty()) {
        const std::size_t n = Utf8SequenceLength(s);
        const auto lead = static_cast<unsigned char>(s[0]);
        char32_t cp = 0xFFFD;
        if (n == 1 && lead < 0x80)
            cp = lead;
        else if (n == 2)
            cp = (lead & 0x1Fu) << 6 | (static_cast<unsigned char>(s[1]) & 0x3Fu);
        else if (n == 3)
            cp = (lead & 0x0Fu) << 12 | (static_cast<unsigned char>(s[1]) & 0x3Fu) << 6 |
                 (static_cast<unsigned char>(s[2]) & 0x3Fu);
        else if (n == 4)
            cp = (lead & 0x07u) << 18 | (static_cast<unsigned char>(s[1]) & 0x3Fu) << 12 |
                 (static_cast<unsigned char>(s[2]) & 0x3Fu) << 6 | (static_cast<unsigned char>(s[3]) & 0x3Fu);
        sink(cp);
        s.remove_prefix(n);
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
    ForEachCodePoint(utf8, [&](char32_t cp) { out.push_back(cp < 0x80 ? static_cast<std::uint8_t>(cp) : '?'); });
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
    return ToGbk().Ok() && FromGbk().Ok();
}

Bytes ToAnsi(std::string_view utf8)
{
    Converter& gbk = ToGbk();
    if (!gbk.Ok())
        return detail::AsciiToAnsi(utf8);
    const auto invalid = [](std::string_view rest) {
        return std::pair{std::string_view("?"), Utf8SequenceLength(rest)};
    };
    Bytes out;
    out.reserve(utf8.size());  // no character takes more bytes in GBK
    // ASCII stays as it is in GBK, and a byte that starts no UTF-8 sequence
    // can only become '?': neither needs iconv, which typed text mostly is
    // and which costs a call of its own per invalid byte.
    const auto isAscii = [&](std::size_t i) { return static_cast<unsigned char>(utf8[i]) < 0x80; };
    std::size_t i = 0;
    while (i < utf8.size()) {
        std::size_t j = i;
        while (j < utf8.size() && isAscii(j))
            ++j;
        out.insert(out.end(), utf8.begin() + static_cast<std::ptrdiff_t>(i),
                   utf8.begin() + static_cast<std::ptrdiff_t>(j));
        i = j;
        std::size_t n = 0;
        while (j < utf8.size() && !isAscii(j) && (n = Utf8SequenceLength(utf8.substr(j))) > 1)
            j += n;
        if (j > i) {
            gbk.Run(utf8.substr(i, j - i), out, invalid);
            i = j;
        } else if (i < utf8.size()) {
            out.push_back('?');
            ++i;
        }
    }
    return out;
}

std::string FromAnsi(std::span<const std::uint8_t> bytes)
{
    Converter& utf8 = FromGbk();
    if (!utf8.Ok())
        return detail::AsciiFromAnsi(bytes);
    const std::string_view in = UpToZero(bytes);
    std::string out;
    out.reserve(in.size() + in.size() / 2);  // a double-byte character takes three
    utf8.Run(in, out, [](std::string_view) {
        // A lead byte with a bad or missing trail: drop the lead byte only,
        // so that an ASCII byte after it survives.
        return std::pair{kReplacement, std::size_t{1}};
    });
    return out;
}

Bytes CutAnsi(const Bytes& bytes, std::size_t limit)
{
    std::size_t end = 0;
    while (end < bytes.size()) {
        const std::size_t n = IsGbkLead(bytes[end]) && end + 1 < bytes.size() ? 2 : 1;
        if (end + n > limit)
            break;
        end += n;
    }
    return Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(end));
}

Bytes LowBytes(std::string_view utf8)
{
    Bytes out;
    out.reserve(utf8.size());  // never more code units than bytes
    ForEachCodePoint(utf8, [&](char32_t cp) {
        if (cp >= 0x10000) {
            // A surrogate pair: two code units.
            const char32_t v = cp - 0x10000;
            out.push_back(static_cast<std::uint8_t>((0xD800 + (v >> 10)) & 0xFF));
            out.push_back(static_cast<std::uint8_t>((0xDC00 + (v & 0x3FF)) & 0xFF));
        } else {
            out.push_back(static_cast<std::uint8_t>(cp & 0xFF));
        }
    });
    return out;
}

std::size_t Utf16Length(std::string_view utf8)
{
    std::size_t n = 0;
    ForEachCodePoint(utf8, [&](char32_t cp) { n += cp >= 0x10000 ? 2 : 1; });
    return n;
}

}  // namespace text
