#include "core/common/Tr.h"

#include <atomic>

namespace text {

namespace {

std::atomic<Translator> g_translator{nullptr};

}  // namespace

void SetTranslator(Translator translator)
{
    g_translator = translator;
}

const char* Translate(const char* context, const char* source)
{
    const Translator translator = g_translator;
    return translator ? translator(context, source) : source;
}

std::string Fill(const char* pattern, std::initializer_list<std::string> values)
{
    std::string out;
    for (const char* p = pattern; *p; ++p) {
        const std::size_t index = p[0] == '%' && p[1] >= '1' && p[1] <= '9' ? std::size_t(p[1] - '1') : values.size();
        if (index < values.size()) {
            out += values.begin()[index];
            ++p;
        } else if (p[0] == '%' && p[1] == '%') {
            out += '%';
            ++p;
        } else {
            out += *p;
        }
    }
    return out;
}

}  // namespace text
