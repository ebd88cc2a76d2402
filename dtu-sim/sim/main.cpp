// dtu-sim: a simulated DTU on a pseudo-terminal. Prints the terminal's path
// alone on the first line, then answers until SIGINT or SIGTERM.
#include "dtu-sim/sim/SimulatedDtu.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

namespace {

const char kUsage[] =
    "usage: dtu-sim [options]\n"
    "  --baud N            baud rate the DTU expects (default 115200)\n"
    "  --parity P          none, odd or even (default none)\n"
    "  --log               log every byte in and out, as hex, on standard error\n"
    "  --pace              take the time a real line takes: 10 bits a byte at the baud rate\n"
    "  --delay MS          answer MS milliseconds late\n"
    "  --split MS          answer in two pieces, MS milliseconds apart\n"
    "  --no-reply          answer nothing\n"
    "  --corrupt           end every answer with 0x00 instead of 0x0D\n"
    "  --fail-upgrade      answer DCK at the end of every APP upgrade\n"
    "  --drop-ack N        leave every Nth firmware block unanswered\n"
    "  --hangup-after N    close the line after N firmware blocks\n"
    "  --online            connect to the configured server while the mode includes TCP,\n"
    "                      as a DTU with a cellular link does\n"
    "  --heartbeat S       online: seconds between heartbeat packets (default 30)\n"
    "  --version TEXT      the version the unit reports\n"
    "  --signal TEXT       the signal report the unit gives (default \"+CSQ: 24,99\")\n"
    "  --lose-data         online: register and beat, but lose the data to carry both ways\n";

bool Number(const char* text, int& out)
{
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || v < 0 || v > 100000000)
        return false;
    out = static_cast<int>(v);
    return true;
}

}  // namespace

int main(int argc, char* argv[])
{
    sim::SimulatedDtu::Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        int n = 0;
        bool ok = true;
        if (arg == "--log") {
            options.log = &std::cerr;
        } else if (arg == "--online") {
            options.online = true;
        } else if (arg == "--pace") {
            options.paceLine = true;
        } else if (arg == "--no-reply") {
            options.faults.noReply = true;
        } else if (arg == "--corrupt") {
            options.faults.corruptEnvelope = true;
        } else if (arg == "--fail-upgrade") {
            options.faults.failUpgrade = true;
        } else if (arg == "--lose-data") {
            options.loseData = true;
        } else if ((arg == "--version" || arg == "--signal") && value) {
            (arg == "--version" ? options.version : options.signal) = value;
            ++i;
        } else if (arg == "--parity" && value) {
            const std::string p = value;
            options.parity = p == "none" ? 0 : p == "odd" ? 1 : p == "even" ? 2 : 3;
            ok = options.parity <= 2;
            ++i;
        } else if (value && Number(value, n) &&
                   (arg == "--baud" || arg == "--delay" || arg == "--split" || arg == "--drop-ack" ||
                    arg == "--hangup-after" || arg == "--heartbeat")) {
            if (arg == "--heartbeat") {
                ok = n >= 1 && n <= 86400;
                options.heartbeatMs = std::int64_t{n} * 1000;
            } else if (arg == "--baud")
                options.baudRate = static_cast<unsigned>(n);
            else if (arg == "--delay")
                options.faults.delayMs = n;
            else if (arg == "--split")
                options.faults.splitPauseMs = n;
            else if (arg == "--drop-ack")
                options.faults.dropAckEvery = n;
            else
                options.faults.hangupAfterBlocks = n;
            ++i;
        } else {
            ok = arg == "--help" || arg == "-h";
            std::fputs(kUsage, ok ? stdout : stderr);
            return ok ? 0 : 2;
        }
        if (!ok) {
            std::fprintf(stderr, "dtu-sim: bad value for %s\n%s", arg.c_str(), kUsage);
            return 2;
        }
    }

    // The signals are taken by sigwait below, never by a thread.
    sigset_t stop;
    sigemptyset(&stop);
    sigaddset(&stop, SIGINT);
    sigaddset(&stop, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stop, nullptr);

    sim::SimulatedDtu dtu(options);
    if (!dtu.Start()) {
        std::fprintf(stderr, "dtu-sim: %s\n", dtu.error().c_str());
        return 1;
    }
    std::printf("%s\n", dtu.TerminalPath().c_str());
    std::fflush(stdout);

    int signal = 0;
    sigwait(&stop, &signal);
    dtu.Stop();
    return 0;
}
