// One thread stores bytes while another ticks as fast as it can, so that
// bytes land at every point of a completion. Run under ThreadSanitizer too.
#include "core/serial/ReceiveBuffer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <thread>
#include <vector>

namespace {

TEST(ReceiveBufferStress, EveryByteDeliveredOnceInOrderNoEmptyFrame)
{
    constexpr std::size_t kTotal = 200000;
    std::vector<std::uint8_t> sent(kTotal);
    std::mt19937 random(12345);
    for (auto& b : sent)
        b = static_cast<std::uint8_t>(random());

    ReceiveBuffer rx;
    std::atomic<bool> fed{false};
    std::thread feeder([&] {
        std::mt19937 pace(777);
        std::size_t i = 0;
        while (i < kTotal) {
            const std::size_t burst = std::min<std::size_t>(1 + pace() % 300, kTotal - i);
            // Bursts never overrun the buffer: wrapping would drop bytes by
            // design, and this test is about the hand-over, not the wrap.
            while (rx.RxLength() + static_cast<std::int32_t>(burst) > ReceiveBuffer::kCapacity)
                std::this_thread::yield();
            for (std::size_t k = 0; k < burst; ++k)
                rx.OnRxByte(sent[i++]);
            for (unsigned spin = pace() % 2000; spin > 0; --spin)
                std::atomic_signal_fence(std::memory_order_seq_cst);
        }
        fed = true;
    });

    std::vector<std::uint8_t> received;
    received.reserve(kTotal);
    std::size_t frames = 0;
    std::size_t emptyFrames = 0;
    auto deliver = [&](const ReceiveBuffer::Frame& f) {
        ++frames;
        if (f.length <= 0)
            ++emptyFrames;
        received.insert(received.end(), f.bytes.begin(), f.bytes.begin() + f.length);
    };
    while (!fed || rx.RxIdleTicks() >= 0)
        rx.Tick(deliver);
    feeder.join();

    EXPECT_EQ(emptyFrames, 0u);
    EXPECT_GT(frames, 10u);
    ASSERT_EQ(received.size(), sent.size());
    EXPECT_TRUE(received == sent);
}

}  // namespace
