// Network ports against the local port: dtuctl writes a full profile and
// reads it back, then upgrades a 64 KiB image, on a local pseudo-terminal,
// through ser2net's rfc2217:// port and through its socket:// port, each
// with answers completed by silence and with fast replies. The simulated
// DTUs are paced as real lines at 115200 baud; ser2net runs on 127.0.0.1.
// Target: a network port within 1.2 x the local port's time.
#include "bench/DtuctlRun.h"
#include "dtu-sim/sim/SimulatedDtu.h"
#include "tests/cli/Profiles.h"
#include "tests/support/Ser2net.h"

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

using namespace bench;

int main()
{
    sim::SimulatedDtu::Options options;
    options.paceLine = true;
    std::vector<std::unique_ptr<sim::SimulatedDtu>> dtus;
    for (int i = 0; i < 3; ++i) {
        dtus.push_back(std::make_unique<sim::SimulatedDtu>(options));
        if (!dtus.back()->Start()) {
            std::fprintf(stderr, "%s\n", dtus.back()->error().c_str());
            return 1;
        }
    }
    Ser2net server(dtus[1]->TerminalPath(), dtus[2]->TerminalPath(), "115200n81");
    if (!server.error().empty()) {
        std::fprintf(stderr, "%s\n", server.error().c_str());
        return 1;
    }
    char dir[] = "/tmp/network-bench-XXXXXX";
    if (::mkdtemp(dir) == nullptr)
        return 1;
    const std::string profile = std::string(dir) + "/profile.toml";
    const std::string image = std::string(dir) + "/app.bin";
    std::ofstream(profile) << kFullProfile;
    {
        std::ofstream out(image, std::ios::binary);
        for (int i = 0; i < 64 * 1024; ++i)
            out.put(static_cast<char>(i * 7 + i / 256));
    }

    const struct {
        const char* name;
        std::string port;
    } ports[] = {{"local", dtus[0]->TerminalPath()}, {"rfc2217", server.Rfc2217Url()}, {"socket", server.SocketUrl()}};
    const struct {
        const char* name;
        std::vector<std::string> args;
    } jobs[] = {{"profile with read-back", {"write", profile}}, {"64 KiB upgrade", {"upgrade", "--app", image}}};

    bool ok = true;
    std::printf("%-24s %-14s %9s %9s %9s %8s %8s\n", "job", "answers", "local", "rfc2217", "socket", "rfc/loc",
                "sock/loc");
    for (const auto& job : jobs) {
        for (const bool fast : {false, true}) {
            double seconds[3] = {};
            for (int i = 0; i < 3; ++i) {
                std::vector<std::string> args{"-p", ports[i].port};
                if (fast)
                    args.push_back("--fast");
                args.insert(args.end(), job.args.begin(), job.args.end());
                const Run run = Dtuctl(args);
                seconds[i] = run.seconds;
                if (run.exitCode != 0) {
                    std::fprintf(stderr, "%s on %s failed: exit %d\n", job.name, ports[i].name, run.exitCode);
                    ok = false;
                }
            }
            const double rfc = seconds[1] / seconds[0], sock = seconds[2] / seconds[0];
            std::printf("%-24s %-14s %8.2fs %8.2fs %8.2fs %7.2fx %7.2fx\n", job.name,
                        fast ? "fast replies" : "silence", seconds[0], seconds[1], seconds[2], rfc, sock);
            ok = ok && rfc <= 1.2 && sock <= 1.2;
        }
    }
    std::printf("target: a network port within 1.2 x the local port's time\n");
    std::remove(profile.c_str());
    std::remove(image.c_str());
    ::rmdir(dir);
    return ok ? 0 : 1;
}
