// Firmware upgrade benchmark: an APP image through the real driver to the
// simulated DTU, replies completed by the 100 ms tick as in the tool.
// Reports the time of each block (write to completed reply) against what the
// protocol allows: the block's time on the wire plus 400 to 500 ms of silence.
// Usage: upgrade_bench [--kib N] [--baud B]
#include "serial/KVSerial.h"
#include "sim/SimulatedDtu.h"
#include "support/Ticker.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <numeric>
#include <random>

int main(int argc, char* argv[])
{
    std::size_t kib = 64;
    unsigned baud = 115200;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--kib") == 0)
            kib = std::strtoul(argv[i + 1], nullptr, 10);
        else if (std::strcmp(argv[i], "--baud") == 0)
            baud = static_cast<unsigned>(std::strtoul(argv[i + 1], nullptr, 10));
    }

    sim::SimulatedDtu::Options options;
    options.baudRate = baud;
    sim::SimulatedDtu dtu(options);
    if (!dtu.Start()) {
        std::fprintf(stderr, "%s\n", dtu.error().c_str());
        return 1;
    }
    ReceiveBuffer rx;
    KVSerial port(rx);
    if (!port.Open(dtu.TerminalPath(), baud, 0)) {
        std::fprintf(stderr, "cannot open %s\n", dtu.TerminalPath().c_str());
        return 1;
    }

    std::vector<std::uint8_t> image(kib * 1024);
    std::mt19937 random(1);
    for (auto& b : image)
        b = static_cast<std::uint8_t>(random());

    const std::int64_t start = SteadyMs();
    const UpgradeRun run = RunUpgrade(port, rx, upgrade::Kind::App, image, upgrade::ReplyTimeoutMs(baud), 100000);
    const double total = static_cast<double>(SteadyMs() - start) / 1000.0;

    std::vector<double> ms = run.blockMs;
    std::sort(ms.begin(), ms.end());
    // 10 bits a byte: a full block frame and the 10-byte reply.
    const double wireMs = (1032.0 + 10.0) * 10.0 * 1000.0 / baud;
    const double limit = wireMs + 500.0;
    const auto slower = std::count_if(ms.begin(), ms.end(), [&](double v) { return v > limit; });
    std::printf("upgrade of %zu KiB at %u baud: %s, %zu frames answered in %.1f s\n", kib, baud,
                run.outcome == upgrade::Outcome::Succeeded ? "succeeded" : "DID NOT SUCCEED", ms.size(), total);
    if (!ms.empty())
        std::printf("per block: min %.0f ms, median %.0f ms, max %.0f ms; allowed %.0f ms "
                    "(wire %.0f ms + 500 ms); slower than allowed: %ld\n",
                    ms.front(), ms[ms.size() / 2], ms.back(), limit, wireMs, static_cast<long>(slower));
    return run.outcome == upgrade::Outcome::Succeeded && slower == 0 ? 0 : 1;
}
