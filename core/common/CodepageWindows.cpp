#include "core/common/CodepageNative.h"

#include <windows.h>

#include <algorithm>
#include <optional>
#include <string>

namespace text::native {

namespace {

// What Windows calls GBK: the code page of its Simplified Chinese ANSI.
constexpr UINT kGbk = 936;

// Code page 936 adds GBK's user-defined areas, mapped into Unicode's
// Private Use Area. Linux's GBK lacks them, so they are left out here too:
// the same bytes read as the same text on both systems, in a log as on the
// screen.
bool Added(char32_t cp)
{
    return cp >= 0xE000 && cp <= 0xF8FF;
}

// GBK's one single byte above ASCII. Wine's code page 936 writes it but
// does not read it.
constexpr unsigned char kEuroByte = 0x80;
constexpr char32_t kEuro = 0x20AC;

template <class Out>
void Reserve(Out& out, std::size_t at, std::size_t n)
{
    if (out.size() - at < n)
        out.resize(2 * out.size() + n);
}

// UTF-16 to GBK in one call; each unit the code page lacks becomes '?'.
// No best fit: an 'é' close to some GBK character is still not one.
void WideToGbk(const std::wstring& wide, Bytes& out, std::size_t& at)
{
    if (wide.empty())
        return;
    const int length = static_cast<int>(wide.size());
    const int n = WideCharToMultiByte(kGbk, WC_NO_BEST_FIT_CHARS, wide.data(), length, nullptr, 0, "?", nullptr);
    if (n <= 0) {
        // Only a missing code page fails, and Available() said it is there.
        Reserve(out, at, wide.size());
        for (std::size_t k = 0; k < wide.size(); ++k)
            out[at++] = '?';
        return;
    }
    Reserve(out, at, static_cast<std::size_t>(n));
    WideCharToMultiByte(kGbk, WC_NO_BEST_FIT_CHARS, wide.data(), length, reinterpret_cast<char*>(out.data() + at), n,
                        "?", nullptr);
    at += static_cast<std::size_t>(n);
}

// The code point of a sequence of `n` bytes (2 to 4), or nothing for one
// that spells no character: too long a form, a surrogate, past U+10FFFF.
std::optional<char32_t> Decode(std::string_view s, std::size_t n)
{
    char32_t cp = static_cast<unsigned char>(s[0]) & (0x7Fu >> n);
    for (std::size_t k = 1; k < n; ++k)
        cp = cp << 6 | (static_cast<unsigned char>(s[k]) & 0x3Fu);
    constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kSmallest[n] || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF)
        return std::nullopt;
    return cp;
}

void PutUtf8(char32_t cp, std::string& out, std::size_t& at)
{
    Reserve(out, at, 4);
    if (cp < 0x80) {
        out[at++] = static_cast<char>(cp);
    } else if (cp < 0x800) {
        out[at++] = static_cast<char>(0xC0 | cp >> 6);
        out[at++] = static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out[at++] = static_cast<char>(0xE0 | cp >> 12);
        out[at++] = static_cast<char>(0x80 | (cp >> 6 & 0x3F));
        out[at++] = static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out[at++] = static_cast<char>(0xF0 | cp >> 18);
        out[at++] = static_cast<char>(0x80 | (cp >> 12 & 0x3F));
        out[at++] = static_cast<char>(0x80 | (cp >> 6 & 0x3F));
        out[at++] = static_cast<char>(0x80 | (cp & 0x3F));
    }
}

void PutReplacement(std::string& out, std::size_t& at)
{
    Reserve(out, at, kReplacement.size());
    out.replace(at, kReplacement.size(), kReplacement);
    at += kReplacement.size();
}

void WideToUtf8(const WCHAR* wide, std::size_t n, std::string& out, std::size_t& at)
{
    for (std::size_t k = 0; k < n; ++k) {
        const char32_t unit = wide[k];
        if (unit >= 0xD800 && unit <= 0xDBFF && k + 1 < n && wide[k + 1] >= 0xDC00 && wide[k + 1] <= 0xDFFF) {
            PutUtf8(0x10000 + ((unit - 0xD800) << 10) + (wide[k + 1] - 0xDC00), out, at);
            ++k;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            PutReplacement(out, at);
        } else {
            PutUtf8(unit, out, at);
        }
    }
}

bool IsLead(unsigned char b)
{
    return b >= 0x81 && b <= 0xFE;
}

bool IsTrail(unsigned char b)
{
    return b >= 0x40 && b <= 0xFE && b != 0x7F;
}

// Whether `gbk` is ASCII and pairs alone, each lead byte with a trail that
// may follow it, so that the whole may go to Windows at once.
bool WholeCharacters(std::string_view gbk)
{
    for (std::size_t i = 0; i < gbk.size(); ++i) {
        const auto b = static_cast<unsigned char>(gbk[i]);
        if (b < 0x80)
            continue;
        if (!IsLead(b) || i + 1 == gbk.size() || !IsTrail(static_cast<unsigned char>(gbk[i + 1])))
            return false;
        ++i;
    }
    return true;
}

// GBK to UTF-16 through Windows, failing on any byte the code page does not
// map (rather than putting in its own stand-in) and on what it adds to GBK.
bool GbkToWide(std::string_view gbk, std::wstring& wide)
{
    const int length = static_cast<int>(gbk.size());
    const int n = MultiByteToWideChar(kGbk, MB_ERR_INVALID_CHARS, gbk.data(), length, nullptr, 0);
    if (n <= 0)
        return false;
    wide.resize(static_cast<std::size_t>(n));
    if (MultiByteToWideChar(kGbk, MB_ERR_INVALID_CHARS, gbk.data(), length, wide.data(), n) != n)
        return false;
    return std::none_of(wide.begin(), wide.end(), [](WCHAR unit) { return Added(unit); });
}

}  // namespace

bool Available()
{
    static const bool available = IsValidCodePage(kGbk) != 0;
    return available;
}

void ToGbk(std::string_view utf8, Bytes& out, std::size_t& at)
{
    // Characters go to Windows in runs. What it must not see goes in between
    // as '?': a sequence that spells no character, anything past U+FFFF
    // (code page 936 has none), the user-defined areas.
    std::wstring run;
    for (std::size_t i = 0; i < utf8.size();) {
        const std::size_t n = Utf8SequenceLength(utf8.substr(i));
        const std::optional<char32_t> cp = Decode(utf8.substr(i), n);
        if (cp && *cp < 0x10000 && !Added(*cp)) {
            run.push_back(static_cast<WCHAR>(*cp));
        } else {
            WideToGbk(run, out, at);
            run.clear();
            Reserve(out, at, 1);
            out[at++] = '?';
        }
        i += n;
    }
    WideToGbk(run, out, at);
}

void ToUtf8(std::string_view gbk, std::string& out, std::size_t& at)
{
    std::wstring wide;
    if (WholeCharacters(gbk) && GbkToWide(gbk, wide)) {
        WideToUtf8(wide.data(), wide.size(), out, at);
        return;
    }
    // Character by character, so that one that is not GBK spoils only
    // itself.
    for (std::size_t i = 0; i < gbk.size();) {
        const auto b = static_cast<unsigned char>(gbk[i]);
        if (b < 0x80) {
            PutUtf8(b, out, at);
            ++i;
            continue;
        }
        if (b == kEuroByte) {
            PutUtf8(kEuro, out, at);
            ++i;
            continue;
        }
        // A byte that starts no pair, or a pair the table lacks, spoils its
        // first byte alone.
        if (IsLead(b) && i + 1 < gbk.size() && IsTrail(static_cast<unsigned char>(gbk[i + 1])) &&
            GbkToWide(gbk.substr(i, 2), wide) && wide.size() == 1) {
            WideToUtf8(wide.data(), 1, out, at);
            i += 2;
        } else {
            PutReplacement(out, at);
            ++i;
        }
    }
}

}  // namespace text::native
