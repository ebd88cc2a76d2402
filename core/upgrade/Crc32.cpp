#include "core/upgrade/Crc32.h"

#include <array>

namespace upgrade {

namespace {

constexpr std::array<std::uint32_t, 256> MakeTable()
{
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t c = i;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[i] = c;
    }
    return table;
}

constexpr auto kTable = MakeTable();

}  // namespace

void Crc32::Update(std::span<const std::uint8_t> bytes)
{
    std::uint32_t c = register_;
    for (std::uint8_t b : bytes)
        c = kTable[(c ^ b) & 0xFFu] ^ (c >> 8);
    register_ = c;
}

std::uint32_t Crc32Of(std::span<const std::uint8_t> bytes)
{
    Crc32 crc;
    crc.Update(bytes);
    return crc.Value();
}

}  // namespace upgrade
