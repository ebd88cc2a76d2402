// Firmware upgrade benchmark: an APP image through the real driver to the
// simulated DTU on a paced line (each byte takes 10 bits at the baud rate,
// both ways), so the figures are what a user at that rate would wait.
// The same image goes twice, replies completed by silence on the 100 ms
// tick as the tool does by default, then with fast replies, and each run is
// compared with the time its bytes need on the wire.
// Usage: upgrade_bench [--kib N] [--baud B]...   (default: 115200 and 9600)
#include "driver/serial/BufferedPort.h"
#include "dtu-sim/sim/SimulatedDtu.h"
#include "tests/support/Ticker.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>

namespace {

struct Figures {
    bool ok = false;
    double seconds = 0;
    std::vector<double> blockMs;
};

Figures Run(const std::vector<std::uint8_t>& image, unsigned baud, bool fast)
{
    sim::SimulatedDtu::Options options;
    options.baudRate = baud;
    options.paceLine = true;
    sim::SimulatedDtu dtu(options);
    ReceiveBuffer rx;
    BufferedPort port(rx);
    if (!dtu.Start() || !port.Open(dtu.TerminalPath(), baud, 0)) {
        std::fprintf(stderr, "no simulated DTU: %s\n", dtu.error().c_str());
        return {};
    }
    const std::int64_t start = SteadyMs();
    const UpgradeRun run =
        RunUpgrade(port, rx, upgrade::Kind::App, image, upgrade::ReplyTimeoutMs(baud), 1000000, fast);
    Figures f;
    f.seconds = static_cast<double>(SteadyMs() - start) / 1000.0;
    f.ok = run.outcome == upgrade::Outcome::Succeeded;
    f.blockMs = run.blockMs;
    std::sort(f.blockMs.begin(), f.blockMs.end());
    return f;
}

}  // namespace

int main(int argc, char* argv[])
{
    std::size_t kib = 64;
    std::vector<unsigned> bauds;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--kib") == 0)
            kib = std::strtoul(argv[i + 1], nullptr, 10);
        else if (std::strcmp(argv[i], "--baud") == 0)
            bauds.push_back(static_cast<unsigned>(std::strtoul(argv[i + 1], nullptr, 10)));
    }
    if (bauds.empty())
        bauds = {115200, 9600};

    std::vector<std::uint8_t> image(kib * 1024);
    std::mt19937 random(1);
    for (auto& b : image)
        b = static_cast<std::uint8_t>(random());
    const std::size_t blocks = (image.size() + 1023) / 1024;
    // Every block frame (8 bytes around its data), the end frame, and a
    // 10-byte reply to each.
    const double lineBytes = static_cast<double>(image.size() + 8 * blocks + 16 + 10 * (blocks + 1));

    bool allOk = true;
    for (unsigned baud : bauds) {
        const double wire = lineBytes * 10.0 / baud;
        const double blockWireMs = (1032.0 + 10.0) * 10.0 * 1000.0 / baud;
        std::printf("%zu KiB APP image at %u baud: %.2f s on the wire\n", kib, baud, wire);
        for (bool fast : {false, true}) {
            const Figures f = Run(image, baud, fast);
            const double limit = fast ? 1.3 * wire : wire + 0.5 * static_cast<double>(blocks + 1);
            const bool ok = f.ok && f.seconds <= limit;
            allOk = allOk && ok;
            std::printf("  %-13s %s in %6.2f s = %.2f x wire (target %.2f x)", fast ? "fast replies" : "by silence",
                        f.ok ? "succeeded" : "FAILED   ", f.seconds, f.seconds / wire, limit / wire);
            if (!f.blockMs.empty())
                std::printf("; per block median %.0f ms, max %.0f ms (wire %.0f ms)", f.blockMs[f.blockMs.size() / 2],
                            f.blockMs.back(), blockWireMs);
            std::printf("%s\n", ok ? "" : "  <- over target");
        }
    }
    return allOk ? 0 : 1;
}
