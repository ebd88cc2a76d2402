// The fields of a well-formed configuration frame's payload, as the line
// monitor shows them after the command's name.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace monitor {

// `frame` is the whole frame, `payload` its payload.
std::string RequestFields(std::uint8_t code, std::span<const std::uint8_t> frame,
                          std::span<const std::uint8_t> payload);
std::string ResponseFields(std::uint8_t code, std::span<const std::uint8_t> frame,
                           std::span<const std::uint8_t> payload);

}  // namespace monitor
