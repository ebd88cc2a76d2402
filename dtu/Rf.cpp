#include "dtu/Rf.h"

#include "dtu/Commands.h"
#include "dtu/Requests.h"

#include <climits>
#include <cmath>
#include <cstdio>

namespace dtu {

int LeadingInteger(std::string_view text)
{
    long long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            break;
        value = std::min<long long>(value * 10 + (c - '0'), INT_MAX);
    }
    return static_cast<int>(value);
}

std::uint32_t FrequencyWord(std::string_view frequencyText)
{
    const std::uint32_t hertz = static_cast<std::uint32_t>(LeadingInteger(frequencyText)) * 1000000u;
    const double steps = static_cast<double>(hertz) / 61.035;
    return static_cast<std::uint32_t>(steps) & 0xFFFFFFu;
}

Bytes BuildWriteRf(const RfSettings& s)
{
    const std::uint32_t word = FrequencyWord(s.frequency);
    const Bytes payload{
        static_cast<std::uint8_t>(word >> 16),
        static_cast<std::uint8_t>(word >> 8),
        static_cast<std::uint8_t>(word),
        IndexByte(s.sleepIndex),
        IndexByte(s.breathIndex),
        static_cast<std::uint8_t>(LeadingInteger(s.address) & 0xFF),
        IndexByte(s.powerIndex),
    };
    return *BuildRequest(cmd::kWriteRf, payload);
}

RfRecord DecodeRf(std::span<const std::uint8_t, 7> p)
{
    const std::uint32_t word = static_cast<std::uint32_t>(p[0]) << 16 | static_cast<std::uint32_t>(p[1]) << 8 | p[2];
    double mhz = static_cast<double>(word) / 1000000.0 * 61.03515625;
    // Cut to two decimals, never rounding up: 433.9199 shows 433.91.
    const double whole = std::trunc(mhz);
    const double hundredths = std::trunc((mhz - whole) * 100.0);
    mhz = whole + hundredths / 100.0;
    char frequency[32];
    std::snprintf(frequency, sizeof frequency, "%.2f", mhz);
    char address[8];
    std::snprintf(address, sizeof address, "%02d", p[5]);
    return {frequency, p[3], p[4], address, p[6]};
}

}  // namespace dtu
