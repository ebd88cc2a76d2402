// Fast replies: a whole response frame completes with its last byte;
// everything else still completes by silence.
#include "core/dtu/Frame.h"
#include "core/serial/ReceiveBuffer.h"
#include "tests/support/Bytes.h"

#include <gtest/gtest.h>

namespace {

// FA 00 EF 03 "ACK" sum 0D: the DTU's reply to a firmware block.
const Bytes kAck = H("FA 00 EF 03  41 43 4B  BB 0D");
// The DTU's version answer, a second frame of another length.
const Bytes kVersion = H("FA 00 F1 02  56 31  74 0D");

TEST(WholeResponse, OnlyAFrameWhoseLengthChecksumAndTailAgree)
{
    struct Case {
        const char* name;
        Bytes bytes;
        bool whole;
    };
    const Case cases[] = {
        {"firmware ACK", kAck, true},
        {"empty payload", *dtu::BuildResponse(0xE2, {}), true},
        {"longest payload", *dtu::BuildResponse(0xE9, Bytes(255, 0x0D)), true},
        {"bad checksum", H("FA 00 EF 03  41 43 4B  BC 0D"), false},
        {"wrong tail", H("FA 00 EF 03  41 43 4B  BB 00"), false},
        {"length says more", H("FA 00 EF 04  41 43 4B  BB 0D"), false},
        {"request echo", H("FA 80 F1 02  00 00  6D 0D"), false},
        {"data frame", H("7E 05  00 1A 2B 3C 4D 5E  41  7F"), false},
        {"whole frame and one byte more", kAck + H("FA"), false},
        {"nothing", {}, false},
    };
    ASSERT_EQ(kAck, *dtu::BuildResponse(0xEF, H("41 43 4B")));
    ASSERT_EQ(kVersion, *dtu::BuildResponse(0xF1, H("56 31")));
    for (const Case& c : cases)
        EXPECT_EQ(dtu::IsWholeResponse(c.bytes), c.whole) << c.name;
    for (std::size_t n = 0; n < kAck.size(); ++n)
        EXPECT_FALSE(dtu::IsWholeResponse(std::span(kAck.data(), n))) << "prefix of " << n;
}

struct Fast {
    ReceiveBuffer rx;
    std::vector<Bytes> frames;
    int signals = 0;

    explicit Fast(bool on = true)
    {
        rx.SetFastReplies(on);
        rx.SetWholeFrameSignal([this] { ++signals; });
    }
    void Feed(const Bytes& bytes)
    {
        for (std::uint8_t b : bytes)
            rx.OnRxByte(b);
    }
    void Take(const ReceiveBuffer::Frame& f) { frames.emplace_back(f.bytes.begin(), f.bytes.begin() + f.length); }
    bool DeliverWhole()
    {
        return rx.DeliverWhole([this](const ReceiveBuffer::Frame& f) { Take(f); });
    }
    void Ticks(int n)
    {
        for (int i = 0; i < n; ++i)
            rx.Tick([this](const ReceiveBuffer::Frame& f) { Take(f); });
    }
};

TEST(FastReplies, WholeFrameNeedsNoTick)
{
    Fast f;
    f.Feed(kAck);
    EXPECT_EQ(f.signals, 1);
    EXPECT_EQ(f.rx.RxLength(), 0);
    EXPECT_EQ(f.rx.RxIdleTicks(), -1);
    EXPECT_TRUE(f.DeliverWhole());
    EXPECT_EQ(f.frames, std::vector<Bytes>{kAck});
    EXPECT_FALSE(f.DeliverWhole());
    f.Ticks(10);
    EXPECT_EQ(f.frames.size(), 1u);
}

TEST(FastReplies, SplitAtEveryPosition)
{
    for (std::size_t k = 1; k < kAck.size(); ++k) {
        Fast f;
        f.Feed(Bytes(kAck.begin(), kAck.begin() + static_cast<long>(k)));
        f.Ticks(3);  // a pause shorter than the silence rule
        EXPECT_TRUE(f.frames.empty()) << k;
        f.Feed(Bytes(kAck.begin() + static_cast<long>(k), kAck.end()));
        f.DeliverWhole();
        EXPECT_EQ(f.frames, std::vector<Bytes>{kAck}) << k;
    }
}

TEST(FastReplies, BackToBackFramesStayTwo)
{
    Fast f;
    f.Feed(kAck + kVersion);
    EXPECT_EQ(f.signals, 2);
    f.DeliverWhole();
    EXPECT_EQ(f.frames, (std::vector<Bytes>{kAck, kVersion}));
    // The second frame was read from index 0, leaving the first's tail.
    EXPECT_EQ(f.rx.RxBuffer()[8], kAck[8]);
}

TEST(FastReplies, WhatIsNotWholeWaitsForSilence)
{
    struct Case {
        const char* name;
        Bytes bytes;
    };
    const Case cases[] = {
        {"bad checksum", H("FA 00 EF 03  41 43 4B  BC 0D")},
        {"corrupt tail", H("FA 00 EF 03  41 43 4B  BB 00")},
        {"data frame", H("7E 04  41 42  7F")},
        {"partial reply", H("FA 00 E9 29  00 00")},
    };
    for (const Case& c : cases) {
        Fast f;
        f.Feed(c.bytes);
        EXPECT_FALSE(f.DeliverWhole()) << c.name;
        f.Ticks(4);
        EXPECT_TRUE(f.frames.empty()) << c.name;
        f.Ticks(1);
        EXPECT_EQ(f.frames, std::vector<Bytes>{c.bytes}) << c.name;
        EXPECT_EQ(f.signals, 0) << c.name;
    }
}

TEST(FastReplies, BytesAfterAWholeFrameAreAFrameOfTheirOwn)
{
    Fast f;
    f.Feed(kAck + H("7E 01 02"));
    f.Ticks(1);
    EXPECT_EQ(f.frames, std::vector<Bytes>{kAck});
    f.Ticks(4);
    EXPECT_EQ(f.frames, (std::vector<Bytes>{kAck, H("7E 01 02")}));
}

TEST(FastReplies, OffByDefault)
{
    Fast f(false);
    EXPECT_FALSE(ReceiveBuffer().FastReplies());
    f.Feed(kAck);
    EXPECT_FALSE(f.DeliverWhole());
    f.Ticks(4);
    EXPECT_TRUE(f.frames.empty());
    f.Ticks(1);
    EXPECT_EQ(f.frames, std::vector<Bytes>{kAck});
}

TEST(FastReplies, AFullQueueFallsBackToSilence)
{
    Fast f;
    for (std::size_t i = 0; i < ReceiveBuffer::kWholeQueue + 1; ++i)
        f.Feed(kAck);
    EXPECT_EQ(f.signals, int(ReceiveBuffer::kWholeQueue));
    EXPECT_EQ(f.rx.RxLength(), int(kAck.size()));
    f.Ticks(5);
    EXPECT_EQ(f.frames.size(), ReceiveBuffer::kWholeQueue + 1);
    for (const Bytes& frame : f.frames)
        EXPECT_EQ(frame, kAck);
}

TEST(FastReplies, NothingDeliveredWhileAFrameIsBeingRead)
{
    Fast f;
    int nested = 0;
    int outer = 0;
    f.Feed(kAck);
    f.rx.DeliverWhole([&](const ReceiveBuffer::Frame& frame) {
        if (outer++ > 0)
            return;
        f.Feed(kVersion);
        nested += f.DeliverWhole() ? 1 : 0;
        // The frame being read is untouched by the one that arrived.
        EXPECT_EQ(frame.bytes[2], 0xEF);
    });
    // The nested call delivered nothing; the outer loop took the new frame
    // once the first had been read.
    EXPECT_EQ(nested, 0);
    EXPECT_EQ(outer, 2);
}

}  // namespace
