#include "tests/support/Ticker.h"

#include "tests/support/MemoryImage.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kTick = std::chrono::milliseconds(100);

class PortSink : public upgrade::FrameSink {
public:
    explicit PortSink(SerialPort& port) : port_(port) {}
    void WriteFrame(std::span<const std::uint8_t> frame) override
    {
        port_.Write(frame.data(), frame.size());
        writtenAt = SteadyMs();
    }
    std::int64_t writtenAt = 0;

private:
    SerialPort& port_;
};

}  // namespace

std::int64_t SteadyMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch()).count();
}

std::vector<Received> CollectFrames(ReceiveBuffer& rx, std::size_t count, int maxTicks)
{
    std::vector<Received> frames;
    auto next = Clock::now();
    for (int tick = 0; tick < maxTicks && frames.size() < count; ++tick) {
        next += kTick;
        std::this_thread::sleep_until(next);
        rx.Tick([&](const ReceiveBuffer::Frame& f) {
            frames.push_back({std::vector<std::uint8_t>(f.bytes.begin(), f.bytes.end()), f.length});
        });
    }
    return frames;
}

UpgradeRun RunUpgrade(SerialPort& port, ReceiveBuffer& rx, upgrade::Kind kind, const std::vector<std::uint8_t>& image,
                      std::int64_t replyTimeoutMs, int maxTicks, bool fast)
{
    // The whole-frame signal wakes the loop between ticks, as it wakes the
    // main window.
    std::mutex mutex;
    std::condition_variable wake;
    bool whole = false;
    rx.SetFastReplies(fast);
    rx.SetWholeFrameSignal([&] {
        std::lock_guard lock(mutex);
        whole = true;
        wake.notify_one();
    });
    using upgrade::Outcome;
    PortSink sink(port);
    MemoryImage source(image);
    upgrade::Transfer transfer(sink);
    transfer.SetReplyTimeout(replyTimeoutMs);
    UpgradeRun run;
    run.outcome = transfer.Start(kind, source, SteadyMs());
    const auto running = [&] { return run.outcome == Outcome::BlockWritten || run.outcome == Outcome::EndFrameWritten; };
    const auto reply = [&](const ReceiveBuffer::Frame& f) {
        const std::int64_t now = SteadyMs();
        const std::int64_t sentAt = sink.writtenAt;
        const Outcome outcome = transfer.OnReply(f.bytes[2], f.bytes, now);
        if (outcome != Outcome::Ignored) {
            run.blockMs.push_back(static_cast<double>(now - sentAt));
            run.outcome = outcome;
        }
    };
    auto next = Clock::now() + kTick;
    for (int tick = 0; tick < maxTicks && running();) {
        bool signalled = false;
        {
            std::unique_lock lock(mutex);
            signalled = wake.wait_until(lock, next, [&] { return whole; });
            whole = false;
        }
        if (signalled) {
            const std::size_t before = run.blockMs.size();
            rx.DeliverWhole(reply);
            run.wholeReplies += run.blockMs.size() - before;
            continue;
        }
        next += kTick;
        ++tick;
        rx.Tick(reply);
        const Outcome late = transfer.Poll(SteadyMs());
        if (late != Outcome::Ignored)
            run.outcome = late;
    }
    rx.SetWholeFrameSignal(nullptr);
    rx.SetFastReplies(false);
    return run;
}
