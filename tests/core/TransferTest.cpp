#include "core/upgrade/Crc32.h"
#include "core/upgrade/Transfer.h"
#include "tests/support/Bytes.h"
#include "tests/support/MemoryImage.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <random>

namespace {

using namespace upgrade;

struct Recorder : FrameSink {
    std::vector<Bytes> frames;
    void WriteFrame(std::span<const std::uint8_t> frame) override { frames.emplace_back(frame.begin(), frame.end()); }
};

// A reply as it lies in the receive buffer: byte 2 the command, 4 to 6 the letters.
std::vector<std::uint8_t> ReplyBuffer(std::uint8_t command, const char* letters)
{
    Bytes frame{0xFA, 0x00, command, 0x03};
    for (int i = 0; i < 3; ++i)
        frame.push_back(static_cast<std::uint8_t>(letters[i]));
    frame.push_back(0x00);
    frame.push_back(0x0D);
    return InBuffer(frame);
}

Bytes RandomImage(std::size_t size, unsigned seed)
{
    std::mt19937 random(seed);
    Bytes image(size);
    for (auto& b : image)
        b = static_cast<std::uint8_t>(random());
    return image;
}

std::uint32_t ZlibCrc(const Bytes& bytes)
{
    return static_cast<std::uint32_t>(crc32(crc32(0L, Z_NULL, 0), bytes.data(), static_cast<uInt>(bytes.size())));
}

TEST(Crc32, CheckValueAndIncremental)
{
    const std::string check = "123456789";
    EXPECT_EQ(Crc32Of(std::span(reinterpret_cast<const std::uint8_t*>(check.data()), check.size())), 0xCBF43926u);
    EXPECT_EQ(Crc32Of(H("01 02 03")), 0x55BC801Du);
    EXPECT_EQ(Crc32Of(Bytes{}), 0u);

    const Bytes image = RandomImage(5000, 1);
    Crc32 incremental;
    for (std::size_t at = 0; at < image.size(); at += 777)
        incremental.Update(std::span(image).subspan(at, std::min<std::size_t>(777, image.size() - at)));
    EXPECT_EQ(incremental.Value(), Crc32Of(image));
}

TEST(Crc32, AgreesWithZlibOnRandomImages)
{
    std::mt19937 sizes(99);
    for (unsigned seed = 0; seed < 50; ++seed) {
        const Bytes image = RandomImage(sizes() % 70000, seed);
        EXPECT_EQ(Crc32Of(image), ZlibCrc(image)) << image.size();
    }
}

TEST(FirmwareFrames, GoldenVectors)
{
    EXPECT_EQ(BuildBlockFrame(Kind::App, 0, H("01 02 03")), H("FA 80 EF 00  00 03  01 02 03  72 0D"));
    EXPECT_EQ(BuildBlockFrame(Kind::Iap, 0, H("01 02 03")), H("FB 80 F3 00  00 03  01 02 03  77 0A"));
    EXPECT_EQ(BuildEndFrame(Kind::App, 3, 0x55BC801D), H("FA 80 EF FF  00 08  00 00 00 03  55 BC 80 1D  21 0D"));
}

// Plays the DTU: acknowledges every block, checks counters and lengths, and
// answers the end frame with ECK when size and CRC match what it received.
struct ScriptedDtu {
    Bytes received;
    std::uint8_t expectedCounter = 0;
    int counterErrors = 0;
    std::vector<std::size_t> blockLengths;

    const char* Answer(const Bytes& frame)
    {
        if (frame[3] == 0xFF && frame.size() == kEndFrameSize) {
            const std::uint32_t size = static_cast<std::uint32_t>(frame[6] << 24 | frame[7] << 16 | frame[8] << 8 | frame[9]);
            const std::uint32_t crc =
                static_cast<std::uint32_t>(frame[10]) << 24 | frame[11] << 16 | frame[12] << 8 | frame[13];
            return size == received.size() && crc == ZlibCrc(received) ? "ECK" : "DCK";
        }
        if (frame[3] != expectedCounter)
            ++counterErrors;
        ++expectedCounter;
        const std::size_t n = static_cast<std::size_t>(frame[4] << 8 | frame[5]);
        blockLengths.push_back(n);
        EXPECT_EQ(frame.size(), n + 8);
        received.insert(received.end(), frame.begin() + 6, frame.begin() + 6 + static_cast<long>(n));
        return "ACK";
    }
};

TEST(FirmwareTransfer, WholeImagesEndToEnd)
{
    struct Case {
        std::size_t size;
        Kind kind;
        std::size_t blocks;
        std::size_t lastBlock;
    };
    const Case cases[] = {
        {3, Kind::App, 1, 3},
        {1024, Kind::App, 1, 1024},
        {1025, Kind::App, 2, 1},
        {2048, Kind::App, 2, 1024},
        {2500, Kind::App, 3, 452},
        {256 * 1024 + 1, Kind::App, 257, 1},
        {2500, Kind::Iap, 3, 452},
        {256 * 1024 + 1, Kind::Iap, 257, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.size << (c.kind == Kind::App ? " APP" : " IAP"));
        const Bytes image = RandomImage(c.size, static_cast<unsigned>(c.size));
        MemoryImage source(image);
        Recorder sink;
        Transfer transfer(sink);
        ScriptedDtu dtu;
        const Framing f = FramingOf(c.kind);

        Outcome outcome = transfer.Start(c.kind, source, 0);
        ASSERT_EQ(outcome, Outcome::BlockWritten);
        std::int64_t now = 0;
        while (outcome == Outcome::BlockWritten || outcome == Outcome::EndFrameWritten) {
            const Bytes& frame = sink.frames.back();
            EXPECT_EQ(frame.front(), f.head);
            EXPECT_EQ(frame.back(), f.tail);
            outcome = transfer.OnReply(f.command, ReplyBuffer(f.command, dtu.Answer(frame)), now += 10);
        }
        EXPECT_EQ(outcome, Outcome::Succeeded);
        EXPECT_EQ(transfer.state(), State::Idle);
        EXPECT_TRUE(dtu.received == image);
        EXPECT_EQ(dtu.counterErrors, 0);
        EXPECT_EQ(dtu.blockLengths.size(), c.blocks);
        EXPECT_EQ(dtu.blockLengths.back(), c.lastBlock);
        EXPECT_EQ(transfer.blocksWritten(), c.blocks);
        // APP closes with an end frame, IAP with nothing.
        EXPECT_EQ(sink.frames.size(), c.blocks + (c.kind == Kind::App ? 1 : 0));
    }
}

TEST(FirmwareTransfer, CounterWrapsAfter255)
{
    MemoryImage source(RandomImage(300 * 1024, 5));
    Recorder sink;
    Transfer transfer(sink);
    transfer.Start(Kind::App, source, 0);
    for (int i = 1; i < 258; ++i)
        transfer.OnReply(0xEF, ReplyBuffer(0xEF, "ACK"), 0);
    EXPECT_EQ(sink.frames[255][3], 255);
    EXPECT_EQ(sink.frames[256][3], 0);
    EXPECT_EQ(sink.frames[257][3], 1);
}

TEST(FirmwareTransfer, RepliesThatChangeNothing)
{
    struct Case {
        const char* what;
        std::uint8_t command;
        const char* letters;
    };
    const Case cases[] = {
        {"other letters", 0xEF, "NAK"},
        {"IAP command during APP", 0xF3, "ACK"},
        {"a configuration answer", 0xE9, "ACK"},
        {"lower case", 0xEF, "ack"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MemoryImage source(RandomImage(3000, 2));
        Recorder sink;
        Transfer transfer(sink);
        transfer.Start(Kind::App, source, 0);
        EXPECT_EQ(transfer.OnReply(c.command, ReplyBuffer(c.command, c.letters), 0), Outcome::Ignored);
        EXPECT_EQ(sink.frames.size(), 1u);
        EXPECT_EQ(transfer.state(), State::Sending);
    }
    // IAP takes no verdicts and no APP acknowledgements.
    MemoryImage source(RandomImage(3000, 2));
    Recorder sink;
    Transfer iap(sink);
    iap.Start(Kind::Iap, source, 0);
    for (const char* letters : {"DCK", "ECK"})
        EXPECT_EQ(iap.OnReply(0xF3, ReplyBuffer(0xF3, letters), 0), Outcome::Ignored);
    EXPECT_EQ(iap.OnReply(0xEF, ReplyBuffer(0xEF, "ACK"), 0), Outcome::Ignored);
    EXPECT_EQ(sink.frames.size(), 1u);

    // Nothing running: every reply is ignored.
    Transfer idle(sink);
    EXPECT_EQ(idle.OnReply(0xEF, ReplyBuffer(0xEF, "ACK"), 0), Outcome::Ignored);
    EXPECT_EQ(idle.OnReply(0xEF, ReplyBuffer(0xEF, "ECK"), 0), Outcome::Ignored);
}

TEST(FirmwareTransfer, VerdictsAndTheRepeatedEndFrame)
{
    MemoryImage source(H("01 02 03"));
    Recorder sink;
    Transfer transfer(sink);
    EXPECT_EQ(transfer.Start(Kind::App, source, 0), Outcome::BlockWritten);
    EXPECT_EQ(transfer.OnReply(0xEF, ReplyBuffer(0xEF, "ACK"), 0), Outcome::EndFrameWritten);
    EXPECT_EQ(transfer.state(), State::AwaitingVerdict);
    EXPECT_EQ(transfer.OnReply(0xEF, ReplyBuffer(0xEF, "ACK"), 0), Outcome::EndFrameWritten);
    ASSERT_EQ(sink.frames.size(), 3u);
    EXPECT_EQ(sink.frames[1], H("FA 80 EF FF  00 08  00 00 00 03  55 BC 80 1D  21 0D"));
    EXPECT_EQ(sink.frames[2], sink.frames[1]);
    EXPECT_EQ(transfer.OnReply(0xEF, ReplyBuffer(0xEF, "DCK"), 0), Outcome::Failed);
    EXPECT_EQ(transfer.state(), State::Idle);
    // The counter stays until the next start or stop.
    EXPECT_EQ(transfer.counter(), 1);

    MemoryImage again(H("01 02 03"));
    transfer.Start(Kind::App, again, 0);
    EXPECT_EQ(transfer.counter(), 1);
    EXPECT_EQ(transfer.OnReply(0xEF, ReplyBuffer(0xEF, "ECK"), 0), Outcome::Succeeded);
}

TEST(FirmwareTransfer, EmptyImageSendsNothing)
{
    for (Kind kind : {Kind::App, Kind::Iap}) {
        MemoryImage source({});
        Recorder sink;
        Transfer transfer(sink);
        EXPECT_EQ(transfer.Start(kind, source, 0), Outcome::Empty);
        EXPECT_TRUE(sink.frames.empty());
        EXPECT_EQ(transfer.state(), State::Idle);
    }
}

TEST(FirmwareTransfer, ReplyTimeOutEndsTheTransfer)
{
    MemoryImage source(RandomImage(3000, 3));
    Recorder sink;
    Transfer transfer(sink);
    transfer.SetReplyTimeout(4000);
    transfer.Start(Kind::App, source, 1000);
    EXPECT_EQ(transfer.Poll(4999), Outcome::Ignored);
    EXPECT_EQ(transfer.OnReply(0xEF, ReplyBuffer(0xEF, "ACK"), 4500), Outcome::BlockWritten);
    EXPECT_EQ(transfer.Poll(8000), Outcome::Ignored);  // the reply restarted the wait
    EXPECT_EQ(transfer.Poll(8500), Outcome::TimedOut);
    EXPECT_EQ(transfer.state(), State::Idle);
    EXPECT_EQ(transfer.Poll(20000), Outcome::Ignored);
    EXPECT_EQ(ReplyTimeoutMs(115200), 89 + 3500);
    EXPECT_EQ(ReplyTimeoutMs(1200), 8600 + 3500);
}

TEST(FirmwareTransfer, ReadFailureStopsInsteadOfClosingWithAWrongSize)
{
    MemoryImage source(RandomImage(3000, 4));
    source.FailAt(2048);
    Recorder sink;
    Transfer transfer(sink);
    transfer.Start(Kind::App, source, 0);
    EXPECT_EQ(transfer.OnReply(0xEF, ReplyBuffer(0xEF, "ACK"), 0), Outcome::BlockWritten);
    EXPECT_EQ(transfer.OnReply(0xEF, ReplyBuffer(0xEF, "ACK"), 0), Outcome::ReadFailed);
    EXPECT_EQ(sink.frames.size(), 2u);
    EXPECT_EQ(transfer.state(), State::Idle);
}

TEST(FirmwareTransfer, StopResets)
{
    MemoryImage source(RandomImage(3000, 6));
    Recorder sink;
    Transfer transfer(sink);
    transfer.Start(Kind::App, source, 0);
    transfer.OnReply(0xEF, ReplyBuffer(0xEF, "ACK"), 0);
    transfer.Stop();
    EXPECT_EQ(transfer.state(), State::Idle);
    EXPECT_EQ(transfer.counter(), 0);
    EXPECT_EQ(transfer.OnReply(0xEF, ReplyBuffer(0xEF, "ACK"), 0), Outcome::Ignored);
}

}  // namespace
