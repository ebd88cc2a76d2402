#include "core/monitor/TextParts.h"

#include "core/common/Tr.h"

namespace monitor::parts {

std::string Join(const std::vector<std::string>& parts, const char* separator)
{
    if (!separator)
        separator = DTU_TR("monitor clauses", ", ");
    std::string out;
    for (const std::string& part : parts) {
        if (part.empty())
            continue;
        if (!out.empty())
            out += separator;
        out += part;
    }
    return out;
}

std::string LowByteText(Span field)
{
    std::string out;
    for (const std::uint8_t b : field) {
        if (b == 0)
            break;
        out += b < 0x20 || b >= 0x7F ? '?' : static_cast<char>(b);
    }
    return out;
}

}  // namespace monitor::parts
