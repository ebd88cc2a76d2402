#include "core/common/LocalTime.h"

namespace civil {

std::optional<std::tm> LocalTime(std::time_t seconds)
{
    std::tm tm{};
    if (localtime_r(&seconds, &tm) == nullptr)
        return std::nullopt;
    return tm;
}

}  // namespace civil
