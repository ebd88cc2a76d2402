// Serial driver benchmark on a pseudo-terminal pair.
//   1. Throughput: a sender streams a counting pattern into the far end; the
//      driver's reader hands every byte to the sink (the tool's own, which
//      feeds the receive buffer), which checks that each arrives once and in
//      order. Reports bytes per second.
//   2. Idle cost: the port stays open with a silent line; reports the CPU time
//      the whole process used, as a share of one core.
// Usage: serial_bench [--mib N] [--idle-seconds S]
#include "driver/serial/BufferedPort.h"
#include "tests/support/Pty.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

namespace {

std::uint8_t PatternByte(std::uint64_t i)
{
    return static_cast<std::uint8_t>(i % 251);
}

class CheckingSerial : public BufferedPort {
public:
    using BufferedPort::BufferedPort;
    ~CheckingSerial() override { Close(); }

    void OnRxByte(std::uint8_t b) override
    {
        const std::uint64_t i = count_.load(std::memory_order_relaxed);
        if (b != PatternByte(i))
            errors_.fetch_add(1, std::memory_order_relaxed);
        BufferedPort::OnRxByte(b);
        count_.store(i + 1, std::memory_order_release);
    }
    std::uint64_t Count() const { return count_.load(std::memory_order_acquire); }
    std::uint64_t Errors() const { return errors_.load(std::memory_order_relaxed); }

private:
    std::atomic<std::uint64_t> count_{0};
    std::atomic<std::uint64_t> errors_{0};
};

double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

}  // namespace

int main(int argc, char* argv[])
{
    std::uint64_t mib = 64;
    int idleSeconds = 10;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--mib") == 0)
            mib = std::strtoull(argv[i + 1], nullptr, 10);
        else if (std::strcmp(argv[i], "--idle-seconds") == 0)
            idleSeconds = std::atoi(argv[i + 1]);
    }

    PtyPair pty;
    ReceiveBuffer rx;
    CheckingSerial port(rx);
    if (!port.Open(pty.terminalPath(), 115200, 0)) {
        std::fprintf(stderr, "cannot open %s\n", pty.terminalPath().c_str());
        return 1;
    }

    const std::uint64_t total = mib * 1024 * 1024;
    const auto start = std::chrono::steady_clock::now();
    std::thread sender([&] {
        std::vector<std::uint8_t> chunk(4096);
        for (std::uint64_t sent = 0; sent < total;) {
            const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(chunk.size(), total - sent));
            for (std::size_t k = 0; k < n; ++k)
                chunk[k] = PatternByte(sent + k);
            pty.Send(std::vector<std::uint8_t>(chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(n)));
            sent += n;
        }
    });
    const bool all = WaitFor([&] { return port.Count() >= total; }, std::chrono::seconds(600));
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    sender.join();
    std::printf("throughput: %llu bytes in %.3f s = %.1f MB/s (%.0fx a 115200 baud line); "
                "delivered %llu, out of order %llu%s\n",
                static_cast<unsigned long long>(total), seconds, double(total) / seconds / 1e6,
                double(total) / seconds / 11520.0, static_cast<unsigned long long>(port.Count()),
                static_cast<unsigned long long>(port.Errors()), all ? "" : " (INCOMPLETE)");

    const double cpuBefore = CpuSeconds();
    const auto idleStart = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(idleSeconds));
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - idleStart).count();
    const double cpu = CpuSeconds() - cpuBefore;
    std::printf("idle: port open, line silent for %.1f s: %.4f s CPU = %.3f %% of one core\n", wall, cpu,
                100.0 * cpu / wall);

    const auto closeStart = std::chrono::steady_clock::now();
    port.Close();
    std::printf("close: %.2f ms\n",
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - closeStart).count());
    return all && port.Errors() == 0 ? 0 : 1;
}
