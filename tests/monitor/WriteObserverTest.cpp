// The driver's write observer, which the line monitor hangs on: every whole
// write once, with its bytes, in the order of the wire, from any thread; no
// failed write; nothing once removed. Free of Qt, so that it runs under
// ThreadSanitizer.
#include "driver/serial/SerialPort.h"
#include "tests/support/Pty.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

class QuietSerial : public SerialPort {
public:
    ~QuietSerial() override { Close(); }
    void OnRxByte(std::uint8_t) override {}
};

class Recorder : public WriteObserver {
public:
    void OnWritten(const std::uint8_t* data, std::size_t length) override
    {
        std::lock_guard lock(mutex_);
        seen_.emplace_back(data, data + length);
    }
    std::vector<Bytes> Seen() const
    {
        std::lock_guard lock(mutex_);
        return seen_;
    }

private:
    mutable std::mutex mutex_;
    std::vector<Bytes> seen_;
};

}  // namespace

TEST(WriteObserver, SeesEveryWholeWriteInWireOrder)
{
    PtyPair pty;
    QuietSerial serial;
    ASSERT_TRUE(serial.Open(pty.terminalPath(), 115200, 0));
    Recorder recorder;
    serial.SetWriteObserver(&recorder);

    constexpr int kFrames = 200;
    std::atomic<bool> draining{true};
    Bytes wire;
    std::thread drain([&] {
        while (draining || wire.size() < 2 * kFrames * 4) {
            const Bytes more = pty.Receive(4096, 20ms);
            wire.insert(wire.end(), more.begin(), more.end());
            if (!draining && more.empty())
                break;
        }
    });
    auto writer = [&](std::uint8_t id) {
        for (int i = 0; i < kFrames; ++i) {
            const Bytes frame{0x7E, id, static_cast<std::uint8_t>(i), 0x7F};
            ASSERT_TRUE(serial.Write(frame.data(), frame.size()));
        }
    };
    std::thread a(writer, 1);
    std::thread b(writer, 2);
    a.join();
    b.join();
    draining = false;
    drain.join();

    const std::vector<Bytes> seen = recorder.Seen();
    ASSERT_EQ(seen.size(), std::size_t(2 * kFrames));
    Bytes observed;
    int next[3] = {0, 0, 0};
    for (const Bytes& frame : seen) {
        ASSERT_EQ(frame.size(), 4u);
        ASSERT_TRUE(frame[1] == 1 || frame[1] == 2);
        EXPECT_EQ(frame[2], next[frame[1]]++);
        observed.insert(observed.end(), frame.begin(), frame.end());
    }
    // The observer's order is the order on the wire.
    EXPECT_EQ(observed, wire);
    serial.RemoveWriteObserver(&recorder);
}

TEST(WriteObserver, FailedWritesAndRemovedObserversSeeNothing)
{
    PtyPair pty;
    QuietSerial serial;
    Recorder recorder;
    Recorder other;
    serial.SetWriteObserver(&recorder);
    const Bytes frame{0x41, 0x42};
    // Closed port: nothing went out, so nothing is seen.
    EXPECT_FALSE(serial.Write(frame.data(), frame.size()));
    EXPECT_TRUE(recorder.Seen().empty());

    ASSERT_TRUE(serial.Open(pty.terminalPath(), 115200, 0));
    EXPECT_TRUE(serial.Write(frame.data(), frame.size()));
    EXPECT_EQ(recorder.Seen(), std::vector<Bytes>{frame});

    // Removing another observer leaves this one; removing it ends it.
    serial.RemoveWriteObserver(&other);
    EXPECT_TRUE(serial.Write(frame.data(), frame.size()));
    EXPECT_EQ(recorder.Seen().size(), 2u);
    serial.RemoveWriteObserver(&recorder);
    EXPECT_TRUE(serial.Write(frame.data(), frame.size()));
    EXPECT_EQ(recorder.Seen().size(), 2u);
    EXPECT_EQ(pty.Receive(6, 2000ms).size(), 6u);
}
