// What the upgrade page shows of a transfer, and the image read whole
// before it: values in, values out.
#include "core/upgrade/Crc32.h"
#include "core/upgrade/Image.h"
#include "core/upgrade/Progress.h"
#include "core/upgrade/Transfer.h"

#include <gtest/gtest.h>

namespace {

using namespace upgrade;

TEST(Progress, BlocksAndSize)
{
    const struct {
        std::uint64_t bytes;
        std::uint64_t blocks;
        const char* size;
    } cases[] = {
        {0, 0, "0.000 kb"},
        {1, 1, "0.001 kb"},
        {1023, 1, "1.023 kb"},
        {1024, 1, "1.024 kb"},       // exactly one block: no empty second one
        {1025, 2, "1.025 kb"},       // a last block of one byte
        {2500, 3, "2.500 kb"},       // 1024 + 1024 + 452
        {12345, 13, "12.345 kb"},
        {65536, 64, "65.536 kb"},
        {262145, 257, "262.145 kb"}, // past the 8-bit block counter
    };
    for (const auto& c : cases) {
        EXPECT_EQ(BlocksFor(c.bytes), c.blocks) << c.bytes;
        EXPECT_EQ(SizeText(c.bytes), c.size) << c.bytes;
    }
}

TEST(Progress, RemainingTime)
{
    // Frames written, frames in all, first and last write, now.
    const struct {
        Pace pace;
        std::int64_t nowMs;
        std::optional<std::int64_t> left;
    } cases[] = {
        {{0, 10, 0, 0}, 0, std::nullopt},          // nothing sent yet
        {{3, 10, 0, 1000}, 1000, std::nullopt},    // two answers: too few to tell
        {{4, 10, 0, 1500}, 1500, 7 * 500},         // 500 ms a frame, seven to be answered
        {{4, 10, 0, 1500}, 1700, 7 * 500 - 200},   // time since the last write counts
        {{4, 10, 0, 1500}, 99999, 0},              // overdue: never below zero
        {{10, 10, 0, 4500}, 4600, 400},            // only the last one is outstanding
        {{12, 10, 0, 5500}, 5500, 0},              // the end frame again after a repeated ACK
        {{4, 10, 2000, 1000}, 1000, std::nullopt}, // a clock that went back says nothing
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RemainingMs(c.pace, c.nowMs), c.left)
            << c.pace.framesWritten << " of " << c.pace.framesTotal << " at " << c.nowMs;
    }
}

TEST(Progress, Duration)
{
    const std::pair<std::int64_t, const char*> cases[] = {
        {0, "0:00"}, {999, "0:00"}, {1000, "0:01"}, {59999, "0:59"}, {60000, "1:00"}, {3725000, "62:05"}, {-5, "0:00"},
    };
    for (const auto& [ms, text] : cases)
        EXPECT_EQ(DurationText(ms), text) << ms;
}

TEST(ImageBytes, ReadsInOrderThenEnds)
{
    std::vector<std::uint8_t> bytes(2500);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 31);
    ImageBytes image(bytes);
    EXPECT_EQ(image.size(), 2500u);
    std::vector<std::uint8_t> got;
    std::uint8_t block[1024];
    std::vector<long> reads;
    for (long n; (n = image.Read(block, sizeof block)) > 0;) {
        reads.push_back(n);
        got.insert(got.end(), block, block + n);
    }
    EXPECT_EQ(reads, (std::vector<long>{1024, 1024, 452}));
    EXPECT_EQ(got, bytes);
    EXPECT_EQ(image.Read(block, sizeof block), 0);
}

struct Recorder : FrameSink {
    std::vector<std::vector<std::uint8_t>> frames;
    void WriteFrame(std::span<const std::uint8_t> frame) override { frames.emplace_back(frame.begin(), frame.end()); }
};

TEST(ImageBytes, EndFrameDescribesWhatWasSent)
{
    std::vector<std::uint8_t> bytes(1500, 0xA5);
    ImageBytes image(bytes);
    Recorder sink;
    Transfer transfer(sink);
    std::vector<std::uint8_t> ack(1024, 0);
    ack[2] = 0xEF;
    ack[4] = 'A';
    ack[5] = 'C';
    ack[6] = 'K';
    ASSERT_EQ(transfer.Start(Kind::App, image, 0), Outcome::BlockWritten);
    ASSERT_EQ(transfer.OnReply(0xEF, ack, 1), Outcome::BlockWritten);
    ASSERT_EQ(transfer.OnReply(0xEF, ack, 2), Outcome::EndFrameWritten);
    ASSERT_EQ(sink.frames.size(), 3u);
    EXPECT_EQ(sink.frames[2], BuildEndFrame(Kind::App, 1500, Crc32Of(bytes)));
}

}  // namespace
