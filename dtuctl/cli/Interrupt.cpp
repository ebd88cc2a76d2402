#include "dtuctl/cli/Interrupt.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace cli {

namespace {

std::atomic<bool> g_listening{false};
std::atomic<bool> g_interrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free);

// One pipe for the life of the process: a signal may arrive while a command
// stops listening, and must never write to a descriptor being closed.
struct WakePipe {
    int fds[2] = {-1, -1};
    WakePipe()
    {
        if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0)
            fds[0] = fds[1] = -1;
    }
};

const WakePipe& Pipe()
{
    static const WakePipe pipe;
    return pipe;
}

// Created before any handler can run: Interrupt must not construct it.
const int g_wakeWrite = Pipe().fds[1];

void Drain()
{
    char buffer[64];
    while (::read(Pipe().fds[0], buffer, sizeof buffer) > 0) {
    }
}

}  // namespace

bool Interrupt()
{
    if (!g_listening.load())
        return false;
    g_interrupted.store(true);
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_wakeWrite, &byte, 1);
    errno = saved;
    return true;
}

InterruptScope::InterruptScope()
{
    Drain();
    g_interrupted.store(false);
    g_listening.store(true);
}

InterruptScope::~InterruptScope()
{
    g_listening.store(false);
}

int InterruptScope::fd() const
{
    return Pipe().fds[0];
}

bool InterruptScope::interrupted() const
{
    return g_interrupted.load();
}

}  // namespace cli
