// A firmware image held in memory, with a read failure on request.
#pragma once

#include "core/upgrade/Transfer.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

class MemoryImage : public upgrade::ImageSource {
public:
    explicit MemoryImage(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}

    long Read(std::uint8_t* buffer, std::size_t max) override
    {
        if (failAt_ && at_ >= *failAt_)
            return -1;
        const std::size_t n = std::min(max, bytes_.size() - at_);
        if (n > 0)
            std::memcpy(buffer, bytes_.data() + at_, n);
        at_ += n;
        return static_cast<long>(n);
    }
    // Reads from `offset` on fail.
    void FailAt(std::size_t offset) { failAt_ = offset; }

private:
    std::vector<std::uint8_t> bytes_;
    std::size_t at_ = 0;
    std::optional<std::size_t> failAt_;
};
