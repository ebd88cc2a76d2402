// CRC-32 as the DTU checks firmware images: reflected polynomial 0xEDB88320,
// register starting at 0xFFFFFFFF, complemented at the end (the CRC of zip
// and Ethernet; "123456789" gives 0xCBF43926).
#pragma once

#include <cstdint>
#include <span>

namespace upgrade {

class Crc32 {
public:
    void Update(std::span<const std::uint8_t> bytes);
    std::uint32_t Value() const { return ~register_; }
    void Reset() { register_ = 0xFFFFFFFFu; }

private:
    std::uint32_t register_ = 0xFFFFFFFFu;
};

std::uint32_t Crc32Of(std::span<const std::uint8_t> bytes);

}  // namespace upgrade
