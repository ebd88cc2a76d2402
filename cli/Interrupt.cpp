#include "cli/Interrupt.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace cli {

namespace {

// The write end of the listening command's pipe, and whether it was told.
std::atomic<int> g_wake{-1};
std::atomic<bool> g_interrupted{false};
static_assert(std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free);

}  // namespace

bool Interrupt()
{
    const int fd = g_wake.load();
    if (fd < 0)
        return false;
    g_interrupted.store(true);
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(fd, &byte, 1);
    errno = saved;
    return true;
}

InterruptScope::InterruptScope()
{
    if (::pipe2(fds_, O_CLOEXEC | O_NONBLOCK) != 0)
        fds_[0] = fds_[1] = -1;
    g_interrupted.store(false);
    g_wake.store(fds_[1]);
}

InterruptScope::~InterruptScope()
{
    g_wake.store(-1);
    for (const int fd : fds_)
        if (fd >= 0)
            ::close(fd);
}

bool InterruptScope::interrupted() const
{
    return g_interrupted.load();
}

}  // namespace cli
