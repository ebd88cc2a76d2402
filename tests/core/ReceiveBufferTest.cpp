#include "core/serial/ReceiveBuffer.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// Drives a buffer as the main window does: bytes, then 100 ms ticks.
struct Harness {
    ReceiveBuffer rx;
    std::vector<Bytes> frames;
    int tick = 0;
    std::vector<int> deliveredOnTick;

    void Feed(const Bytes& bytes)
    {
        for (std::uint8_t b : bytes)
            rx.OnRxByte(b);
    }
    void Feed(std::size_t count, std::uint8_t first = 0)
    {
        for (std::size_t i = 0; i < count; ++i)
            rx.OnRxByte(static_cast<std::uint8_t>(first + i));
    }
    void Ticks(int n)
    {
        for (int i = 0; i < n; ++i) {
            ++tick;
            rx.Tick([&](const ReceiveBuffer::Frame& f) {
                frames.emplace_back(f.bytes.begin(), f.bytes.begin() + f.length);
                deliveredOnTick.push_back(tick);
            });
        }
    }
};

TEST(ReceiveBuffer, NothingReceivedNothingDelivered)
{
    Harness h;
    h.Ticks(100);
    EXPECT_TRUE(h.frames.empty());
    EXPECT_EQ(h.rx.RxIdleTicks(), -1);
    EXPECT_EQ(h.rx.RxLength(), 0);
}

TEST(ReceiveBuffer, CompletesOnTheFifthTickOfSilence)
{
    Harness h;
    h.Feed(10, 0x30);
    EXPECT_EQ(h.rx.RxLength(), 10);
    EXPECT_EQ(h.rx.RxIdleTicks(), 0);
    h.Ticks(4);
    EXPECT_TRUE(h.frames.empty());
    EXPECT_EQ(h.rx.RxIdleTicks(), 4);
    h.Ticks(1);
    ASSERT_EQ(h.frames.size(), 1u);
    EXPECT_EQ(h.deliveredOnTick[0], 5);
    EXPECT_EQ(h.frames[0], (Bytes{0x30, 0x31, 0x32, 0x33, 0x34, 0x35, 0x36, 0x37, 0x38, 0x39}));
    // Released: the next frame starts at 0 and nothing is pending.
    EXPECT_EQ(h.rx.RxLength(), 0);
    EXPECT_EQ(h.rx.RxIdleTicks(), -1);
    h.Ticks(20);
    EXPECT_EQ(h.frames.size(), 1u);
}

TEST(ReceiveBuffer, SilenceBetweenRepliesDecidesHowManyFrames)
{
    struct Case {
        int silentTicks;  // ticks between the two replies, 100 ms each
        std::vector<std::size_t> lengths;
    };
    const Case cases[] = {
        {1, {7}},     // 100 ms apart: one frame
        {3, {7}},     // 300 ms apart: still one frame of the combined length
        {4, {7}},     // the fourth tick is not yet silence enough
        {5, {3, 4}},  // the fifth completes the first reply
        {6, {3, 4}},  // 600 ms apart: two frames
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.silentTicks);
        Harness h;
        h.Feed(3, 0xA0);
        h.Ticks(c.silentTicks);
        h.Feed(4, 0xB0);
        h.Ticks(10);
        std::vector<std::size_t> lengths;
        for (const Bytes& f : h.frames)
            lengths.push_back(f.size());
        EXPECT_EQ(lengths, c.lengths);
    }
}

TEST(ReceiveBuffer, EachByteRestartsTheSilence)
{
    Harness h;
    for (int i = 0; i < 20; ++i) {
        h.Feed(1, static_cast<std::uint8_t>(i));
        h.Ticks(4);
    }
    EXPECT_TRUE(h.frames.empty());
    h.Ticks(1);
    ASSERT_EQ(h.frames.size(), 1u);
    EXPECT_EQ(h.frames[0].size(), 20u);
}

TEST(ReceiveBuffer, AnUnbrokenBurstWrapsAtTheCapacity)
{
    Harness h;
    h.Feed(1024, 0);
    EXPECT_EQ(h.rx.RxLength(), 1024);
    h.rx.OnRxByte(0xEE);  // byte 1025
    EXPECT_EQ(h.rx.RxLength(), 1);
    h.Ticks(5);
    ASSERT_EQ(h.frames.size(), 1u);
    EXPECT_EQ(h.frames[0], Bytes{0xEE});
    // The rest of the buffer still holds the burst's earlier bytes.
    const auto buffer = h.rx.RxBuffer();
    EXPECT_EQ(buffer[0], 0xEE);
    EXPECT_EQ(buffer[1], 1);
    EXPECT_EQ(buffer[1023], static_cast<std::uint8_t>(1023));
}

TEST(ReceiveBuffer, ShortFrameLeavesEarlierBytesBehindIt)
{
    Harness h;
    h.Feed(20, 0x40);
    h.Ticks(5);
    h.Feed(5, 0x90);
    h.Ticks(5);
    ASSERT_EQ(h.frames.size(), 2u);
    EXPECT_EQ(h.frames[1], (Bytes{0x90, 0x91, 0x92, 0x93, 0x94}));
    const auto buffer = h.rx.RxBuffer();
    for (std::size_t i = 5; i < 20; ++i)
        EXPECT_EQ(buffer[i], 0x40 + i) << i;
}

TEST(ReceiveBuffer, ByteArrivingDuringDeliveryStartsTheNextFrame)
{
    ReceiveBuffer rx;
    for (std::uint8_t b : {0x01, 0x02, 0x03})
        rx.OnRxByte(b);
    std::vector<std::int32_t> lengths;
    Bytes firstFrame;
    auto deliver = [&](const ReceiveBuffer::Frame& f) {
        lengths.push_back(f.length);
        // The reader stores a byte while the pages read this frame.
        if (lengths.size() == 1) {
            rx.OnRxByte(0x7E);
            firstFrame.assign(f.bytes.begin(), f.bytes.begin() + f.length);
        }
    };
    for (int i = 0; i < 5; ++i)
        rx.Tick(deliver);
    ASSERT_EQ(lengths, std::vector<std::int32_t>{3});
    // The page read its frame undisturbed, the byte waits in the next one.
    EXPECT_EQ(firstFrame, (Bytes{0x01, 0x02, 0x03}));
    EXPECT_EQ(rx.RxLength(), 1);
    EXPECT_EQ(rx.RxIdleTicks(), 0);
    for (int i = 0; i < 5; ++i)
        rx.Tick(deliver);
    EXPECT_EQ(lengths, (std::vector<std::int32_t>{3, 1}));
    EXPECT_EQ(rx.RxBuffer()[0], 0x7E);
}

TEST(ReceiveBuffer, TickDuringDeliveryIsSkipped)
{
    // A page that runs a modal message box lets the timer tick again inside
    // its notification; that tick must not deliver over the frame being read.
    ReceiveBuffer rx;
    rx.OnRxByte(0x11);
    int deliveries = 0;
    int nestedCompleted = 0;
    std::function<void(const ReceiveBuffer::Frame&)> deliver = [&](const ReceiveBuffer::Frame& f) {
        ++deliveries;
        if (deliveries == 1) {
            rx.OnRxByte(0x22);
            for (int i = 0; i < 10; ++i)
                nestedCompleted += rx.Tick(deliver) ? 1 : 0;
            EXPECT_EQ(f.bytes[0], 0x11);
            EXPECT_EQ(f.length, 1);
        }
    };
    for (int i = 0; i < 5; ++i)
        rx.Tick(deliver);
    EXPECT_EQ(deliveries, 1);
    EXPECT_EQ(nestedCompleted, 0);
    // Once the delivery returned, the waiting frame completes normally.
    for (int i = 0; i < 5; ++i)
        rx.Tick(deliver);
    EXPECT_EQ(deliveries, 2);
    EXPECT_EQ(rx.RxBuffer()[0], 0x22);
}

TEST(ReceiveBuffer, FrameWithNoListenerIsDropped)
{
    ReceiveBuffer rx;
    rx.OnRxByte(0x55);
    for (int i = 0; i < 5; ++i)
        rx.Tick([](const ReceiveBuffer::Frame&) {});
    EXPECT_EQ(rx.RxLength(), 0);
    EXPECT_EQ(rx.RxIdleTicks(), -1);
}

// A piece read whole cuts frames as byte by byte does, and each frame says
// where it ends in the stream of every byte received.
TEST(ReceiveBuffer, PiecesCutAsBytesDoAndFramesKnowTheirEnd)
{
    // Two whole answers back to back, then the start of a third.
    const Bytes stream = {0xFA, 0x00, 0xF1, 0x01, 0x41, 0x2D, 0x0D, 0xFA, 0x00, 0xF1, 0x01, 0x42, 0x2E, 0x0D, 0xFA};
    for (const bool whole : {false, true}) {
        SCOPED_TRACE(whole);
        ReceiveBuffer rx;
        rx.SetFastReplies(true);
        if (whole)
            rx.OnRxBytes(stream);
        else
            for (const std::uint8_t b : stream)
                rx.OnRxByte(b);
        std::vector<std::pair<std::int32_t, std::uint64_t>> frames;
        const auto keep = [&](const ReceiveBuffer::Frame& f) { frames.emplace_back(f.length, f.end); };
        rx.DeliverWhole(keep);
        for (int i = 0; i < ReceiveBuffer::kSilenceTicks; ++i)
            rx.Tick(keep);
        EXPECT_EQ(rx.Received(), stream.size());
        EXPECT_EQ(frames, (std::vector<std::pair<std::int32_t, std::uint64_t>>{{7, 7}, {7, 14}, {1, 15}}));
    }
}

}  // namespace
