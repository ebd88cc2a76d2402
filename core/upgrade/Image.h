// A firmware image read whole before its transfer starts: what the DTU gets
// cannot change under it when the file is rewritten or removed, and the end
// frame's size and CRC describe exactly these bytes.
#pragma once

#include "core/upgrade/Transfer.h"

#include <cstdint>
#include <vector>

namespace upgrade {

class ImageBytes : public ImageSource {
public:
    explicit ImageBytes(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}

    long Read(std::uint8_t* buffer, std::size_t max) override;
    std::size_t size() const { return bytes_.size(); }

private:
    std::vector<std::uint8_t> bytes_;
    std::size_t at_ = 0;
};

}  // namespace upgrade
