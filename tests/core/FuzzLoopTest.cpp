// Every length from 0 to 300 of random bytes, each in a buffer of exactly
// that size: under AddressSanitizer a read past the received bytes fails.
#include "tests/fuzz/Decoders.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

TEST(FuzzLoop, DecodersStayInsideTheReceivedBytes)
{
    std::mt19937 random(2024);
    for (int round = 0; round < 20; ++round) {
        for (std::size_t size = 0; size <= 300; ++size) {
            // Heap block of exactly `size` bytes so that ASan sees its end.
            std::unique_ptr<std::uint8_t[]> bytes(new std::uint8_t[size]);
            for (std::size_t i = 0; i < size; ++i)
                bytes[i] = static_cast<std::uint8_t>(random());
            if (size >= 2 && round % 2 == 0) {
                bytes[0] = 0xFA;  // half the time a plausible envelope
                bytes[1] = 0x00;
                bytes[size - 1] = 0x0D;
            }
            LLVMFuzzerTestOneInput(bytes.get(), size);
        }
    }
    SUCCEED();
}

}  // namespace
