// Compiled into every test program: a test that hangs is killed by ctest at
// its time-out with nothing said of where it hung. Shortly before, every
// thread's stack is printed (through gdb, where the machine has it), so that
// a hang seen once on a loaded machine can be read, not guessed at.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <spawn.h>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

void Watch(int seconds)
{
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    std::fprintf(stderr, "\nwatchdog: still running after %d s; the stack of every thread follows\n", seconds);
    std::fflush(stderr);
    const std::string pid = std::to_string(::getpid());
    const char* argv[] = {"gdb", "-p", pid.c_str(), "-batch", "-nx", "-ex", "thread apply all bt", nullptr};
    pid_t child = -1;
    if (::posix_spawnp(&child, "gdb", nullptr, nullptr, const_cast<char* const*>(argv), environ) != 0) {
        std::fprintf(stderr, "watchdog: gdb is not installed (scripts/deps.sh test installs it)\n");
        return;
    }
    int status = 0;
    ::waitpid(child, &status, 0);
}

const bool watching = [] {
    const char* text = std::getenv("DTU_TEST_WATCHDOG_S");
    const int seconds = text ? std::atoi(text) : 0;
    if (seconds <= 0)
        return false;
    // The debugger is this process's child, which Yama lets trace only an
    // ancestor unless the process allows it.
    ::prctl(PR_SET_PTRACER, PR_SET_PTRACER_ANY, 0, 0, 0);
    std::thread(Watch, seconds).detach();
    return true;
}();

}  // namespace
