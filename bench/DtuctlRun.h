// dtuctl run as a user runs it, for the benchmarks: a full profile to write
// and the child's wall and CPU time.
#pragma once

#include <chrono>
#include <fcntl.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace bench {

inline const char kProfile[] = R"(phones = ["13700001111", "15800002222", "13900003333"]
ids = ["A0B1C2D3E4F5", "0102030405FF"]
[own_id]
id = "AABBCCDDEEFF"
custom = true
[server]
ip = "203.0.113.7"
port = 6060
[mode]
transfer = "transparent"
sub_mode = "tcp"
[serial]
baud = 38400
parity = "odd"
interface = "rs485"
[apn]
apn = "CMNET"
[packets]
custom = true
heartbeat = "PING"
registration = "DTU-0042"
[rf]
frequency_mhz = 433
sleep = "6s"
breathing = "16ms"
address = 12
power = "Level5"
[clock]
set = "now"
)";

struct Run {
    int exitCode = -1;
    double seconds = 0;
    double cpuSeconds = 0;
};

// dtuctl as a child, its output discarded; its own CPU from wait4.
inline Run Dtuctl(const std::vector<std::string>& args)
{
    std::vector<char*> argv{const_cast<char*>(DTUCTL_PATH)};
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 1);
        ::dup2(null, 2);
        ::execv(DTUCTL_PATH, argv.data());
        ::_exit(127);
    }
    Run run;
    int status = 0;
    rusage usage{};
    if (child < 0 || ::wait4(child, &status, 0, &usage) != child)
        return run;
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const auto cpu = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
    run.cpuSeconds = cpu(usage.ru_utime) + cpu(usage.ru_stime);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

}  // namespace bench
