#include "core/dtu/Rf.h"

#include "core/dtu/Commands.h"
#include "core/dtu/Requests.h"

#include <climits>
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
    // A step is 10^6 / 2^14 Hz, so the hundredths of a MHz are exactly
    // word * 25 / 4096, cut down. Floating point showed 88 words one
    // hundredth low (7A 40 00 is 489.00 MHz, not 488.99).
    const std::uint32_t hundredths = word * 25u / 4096u;
    char frequency[32];
    std::snprintf(frequency, sizeof frequency, "%u.%02u", hundredths / 100u, hundredths % 100u);
    char address[8];
    std::snprintf(address, sizeof address, "%02d", p[5]);
    return {frequency, p[3], p[4], address, p[6]};
}

}  // namespace dtu
