#include "core/common/CodepageNative.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>
#include <utility>

namespace text::native {

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

    // Converts all of `in` into `out` from `at` on and moves `at` past what
    // it wrote; `out` grows when it runs short. `onInvalid` replaces what
    // cannot be converted (it returns the replacement and how many input
    // bytes to skip).
    template <class Out, class OnInvalid>
    void Run(std::string_view in, Out& out, std::size_t& at, OnInvalid onInvalid)
    {
        char* src = const_cast<char*>(in.data());
        std::size_t srcLeft = in.size();
        while (srcLeft > 0) {
            char* const base = reinterpret_cast<char*>(out.data());
            char* dst = base + at;
            std::size_t dstLeft = out.size() - at;
            const std::size_t r = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
            at = static_cast<std::size_t>(dst - base);
            if (r != static_cast<std::size_t>(-1))
                continue;
            if (errno == E2BIG) {
                out.resize(2 * out.size() + 16);
                continue;
            }
            // EILSEQ or EINVAL (a sequence cut at the end): replace and skip.
            // Only a cut sequence may have left bytes in the state, and they
            // go before anything can throw, so that every call starts clean.
            if (errno == EINVAL)
                iconv(cd_, nullptr, nullptr, nullptr, nullptr);
            const auto [replacement, skip] = onInvalid(std::string_view(src, srcLeft));
            if (out.size() - at < replacement.size())
                out.resize(2 * out.size() + replacement.size());
            std::copy(replacement.begin(), replacement.end(), out.begin() + static_cast<std::ptrdiff_t>(at));
            at += replacement.size();
            src += skip;
            srcLeft -= skip;
        }
    }

private:
    iconv_t cd_;
};

Converter& Utf8ToGbk()
{
    thread_local Converter converter("GBK", "UTF-8");
    return converter;
}

Converter& GbkToUtf8()
{
    thread_local Converter converter("UTF-8", "GBK");
    return converter;
}

}  // namespace

bool Available()
{
    return Utf8ToGbk().Ok() && GbkToUtf8().Ok();
}

void ToGbk(std::string_view utf8, Bytes& out, std::size_t& at)
{
    Utf8ToGbk().Run(utf8, out, at, [](std::string_view rest) {
        return std::pair{std::string_view("?"), Utf8SequenceLength(rest)};
    });
}

void ToUtf8(std::string_view gbk, std::string& out, std::size_t& at)
{
    GbkToUtf8().Run(gbk, out, at, [](std::string_view) {
        // A lead byte with a bad or missing trail: drop the lead byte only,
        // so that an ASCII byte after it survives.
        return std::pair{kReplacement, std::size_t{1}};
    });
}

}  // namespace text::native
