#include "core/common/LocalTime.h"

namespace civil {

std::optional<std::tm> LocalTime(std::time_t seconds)
{
    // localtime_s takes its arguments the other way round from C11's.
    std::tm tm{};
    if (localtime_s(&tm, &seconds) != 0)
        return std::nullopt;
    return tm;
}

}  // namespace civil
