// Provisioning benchmark: dtuctl writes a full profile and reads every
// setting back, on one simulated DTU and then on N at once. Reports the
// wall time of each run and the CPU time dtuctl itself used (measured on
// the child process, so the simulated DTUs' own work is not counted).
// Target: N ports in at most 1.5 times the time of one. Runs once with
// answers completed by silence and once with fast replies.
// Usage: provision_bench [--ports N]
#include "bench/DtuctlRun.h"
#include "dtu-sim/sim/SimulatedDtu.h"
#include "tests/cli/Profiles.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

using namespace bench;

int main(int argc, char* argv[])
{
    std::size_t ports = 16;
    for (int i = 1; i + 1 < argc; i += 2)
        if (std::strcmp(argv[i], "--ports") == 0)
            ports = std::strtoul(argv[i + 1], nullptr, 10);
    if (ports < 1)
        ports = 1;

    std::vector<std::unique_ptr<sim::SimulatedDtu>> dtus;
    for (std::size_t i = 0; i < ports; ++i) {
        // Paced as a real line at 115200 baud, so that times are a user's.
        sim::SimulatedDtu::Options options;
        options.paceLine = true;
        dtus.push_back(std::make_unique<sim::SimulatedDtu>(options));
        if (!dtus.back()->Start()) {
            std::fprintf(stderr, "%s\n", dtus.back()->error().c_str());
            return 1;
        }
    }
    char dir[] = "/tmp/provision-bench-XXXXXX";
    if (::mkdtemp(dir) == nullptr)
        return 1;
    const std::string profile = std::string(dir) + "/profile.toml";
    std::ofstream(profile) << kFullProfile;

    std::vector<std::string> one{"-p", dtus[0]->TerminalPath()};
    std::vector<std::string> all;
    for (const auto& dtu : dtus)
        all.insert(all.end(), {"-p", dtu->TerminalPath()});

    // Answers completed by silence, as the window does by default, then
    // with fast replies.
    bool ok = true;
    for (const bool fast : {false, true}) {
        std::vector<std::string> tail{"write", profile};
        if (fast)
            tail.insert(tail.begin(), "--fast");
        std::vector<std::string> a = one, b = all;
        a.insert(a.end(), tail.begin(), tail.end());
        b.insert(b.end(), tail.begin(), tail.end());
        const Run single = Dtuctl(a);
        const Run many = Dtuctl(b);
        const double ratio = single.seconds > 0 ? many.seconds / single.seconds : 0;
        const char* mode = fast ? "fast replies" : "silence";
        std::printf("%s: full profile with read-back, 1 port:  %.3f s wall, %.3f s CPU (dtuctl), exit %d\n", mode,
                    single.seconds, single.cpuSeconds, single.exitCode);
        std::printf("%s: full profile with read-back, %zu ports: %.3f s wall, %.3f s CPU (dtuctl), exit %d\n", mode,
                    ports, many.seconds, many.cpuSeconds, many.exitCode);
        std::printf("%s: %zu ports take %.2f x the time of one (target: at most 1.5 x)\n", mode, ports, ratio);
        ok = ok && single.exitCode == 0 && many.exitCode == 0 && ratio <= 1.5;
    }
    std::remove(profile.c_str());
    ::rmdir(dir);
    return ok ? 0 : 1;
}
