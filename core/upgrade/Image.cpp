#include "core/upgrade/Image.h"

#include <algorithm>
#include <cstring>

namespace upgrade {

long ImageBytes::Read(std::uint8_t* buffer, std::size_t max)
{
    const std::size_t n = std::min(max, bytes_.size() - at_);
    if (n > 0)
        std::memcpy(buffer, bytes_.data() + at_, n);
    at_ += n;
    return static_cast<long>(n);
}

}  // namespace upgrade
