// SHA-256 of what a record names, a profile or an image, so that one can
// tell later which bytes went to a unit.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace records {

// Lower-case hex, as sha256sum prints it.
std::string Sha256(std::span<const std::uint8_t> bytes);

// Of a regular file's bytes; nothing, with `error` naming the path, when it
// cannot be read.
std::optional<std::string> FileSha256(const std::string& path, std::string& error);

}  // namespace records
