// Line monitor benchmark: frames through the monitor as the tool meets them,
// requests written with g_Serial.Write to a pseudo-terminal (so through the
// write observer) and answers handed over as the main window hands them.
// Configuration exchanges mixed with firmware blocks, one in ten.
//
// Reports, for the visible window and for the hidden one, the time per row
// added (recording plus the table catching up, once per 100 frames as the
// event loop would) in ten slices of the run, and at the end the rows kept,
// the bytes the log holds and the process's resident memory before and after.
//
// Usage: monitor_bench [--frames N] [--bound B]   (offscreen unless told)
#include "core/dtu/Frame.h"
#include "core/upgrade/Transfer.h"
#include "driver/serial/BufferedPort.h"
#include "tests/support/Pty.h"
#include "ui/monitor/MonitorWindow.h"

#include <QApplication>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <poll.h>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Resident memory now, in KiB.
long ResidentKb()
{
    long pages = 0;
    long resident = 0;
    std::ifstream statm("/proc/self/statm");
    if (!(statm >> pages >> resident))
        return -1;
    return resident * (::sysconf(_SC_PAGESIZE) / 1024);
}

// Reads the far side of the line so that writes never wait for room.
class Drain {
public:
    explicit Drain(int fd) : thread_([this, fd] { Run(fd); }) {}
    ~Drain()
    {
        stop_ = true;
        thread_.join();
    }

private:
    void Run(int fd)
    {
        std::vector<char> buffer(65536);
        while (!stop_) {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, 20) > 0 && ::read(fd, buffer.data(), buffer.size()) < 0)
                break;
        }
    }
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

void Run(const char* label, std::size_t frames, std::size_t bound, bool visible)
{
    MonitorWindow monitor(nullptr, bound);
    if (visible)
        monitor.show();
    QApplication::processEvents();

    const dtu::Bytes request = *dtu::BuildQuery(0xE9);
    dtu::Bytes net(41, 0);
    net[32] = 192, net[33] = 168, net[34] = 1, net[35] = 100, net[36] = 0x1F, net[37] = 0x90, net[38] = 2;
    const dtu::Bytes answer = *dtu::BuildResponse(0xE9, net);
    const dtu::Bytes block = upgrade::BuildBlockFrame(upgrade::Kind::App, 1, std::vector<std::uint8_t>(1024, 0x5A));
    const dtu::Bytes ack = *dtu::BuildResponse(0xEF, dtu::Bytes{'A', 'C', 'K'});

    const long rssBefore = ResidentKb();
    const std::size_t slice = frames / 10;
    std::printf("%s: %zu frames, bound %zu\n  slice   us/row\n", label, frames, bound);
    auto sliceStart = Clock::now();
    for (std::size_t i = 0; i < frames; i += 2) {
        const bool firmware = (i / 2) % 10 == 9;
        const dtu::Bytes& out = firmware ? block : request;
        g_Serial.Write(out.data(), out.size());
        monitor.OnReceived(firmware ? ack : answer);
        if (i % 100 == 0)
            QApplication::processEvents();
        if ((i + 2) % slice == 0) {
            QApplication::processEvents();
            const double us = std::chrono::duration<double, std::micro>(Clock::now() - sliceStart).count();
            std::printf("  %5zu  %7.2f\n", (i + 2) / slice, us / static_cast<double>(slice));
            sliceStart = Clock::now();
        }
    }
    QApplication::processEvents();
    monitor.Refresh();
    std::printf("  rows in the table %d, entries kept %zu, bytes kept %.1f MiB\n", monitor.model()->rowCount(),
                monitor.log().size(), static_cast<double>(monitor.log().bytes()) / (1 << 20));
    std::printf("  resident before %ld KiB, after %ld KiB\n", rssBefore, ResidentKb());
}

}  // namespace

int main(int argc, char* argv[])
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    std::size_t frames = 100000;
    std::size_t bound = monitor::LineLog::kDefaultFrames;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--frames") == 0)
            frames = std::strtoul(argv[i + 1], nullptr, 10);
        else if (std::strcmp(argv[i], "--bound") == 0)
            bound = std::strtoul(argv[i + 1], nullptr, 10);
    }
    frames = std::max<std::size_t>(frames / 20 * 20, 20);
    QApplication app(argc, argv);
    PtyPair pty;
    if (!g_Serial.Open(pty.terminalPath(), 115200, 0)) {
        std::fprintf(stderr, "cannot open %s\n", pty.terminalPath().c_str());
        return 1;
    }
    {
        Drain drain(pty.master());
        Run("visible", frames, bound, true);
        Run("hidden", frames, bound, false);
        // Twice as many frames as the log keeps: the oldest leave as new ones come.
        Run("visible, twice the bound", 2 * frames, frames, true);
    }
    g_Serial.Close();
    return 0;
}
