// The driver's reader thread.
#include "driver/serial/SerialPort.h"

#include <cerrno>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

void QuickAck(int fd)
{
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_QUICKACK, &on, sizeof on);
}

}  // namespace

bool SerialPort::StartReader()
{
    const int fd = fd_.load(std::memory_order_acquire);
    if (fd < 0)
        return false;
    StopReader();
    wakeFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wakeFd_ < 0)
        return false;
    try {
        readerThread_ = std::thread(&SerialPort::ReaderLoop, this, fd, wakeFd_);
    } catch (const std::system_error&) {
        ::close(wakeFd_);
        wakeFd_ = -1;
        return false;
    }
    return true;
}

bool SerialPort::StopReader()
{
    if (readerThread_.joinable()) {
        const std::uint64_t one = 1;
        // Cannot fail short of a full counter, which one write never reaches.
        [[maybe_unused]] const ssize_t n = ::write(wakeFd_, &one, sizeof one);
        readerThread_.join();
    }
    if (wakeFd_ >= 0) {
        ::close(wakeFd_);
        wakeFd_ = -1;
    }
    return true;
}

void SerialPort::MarkLost()
{
    if (!lost_.exchange(true, std::memory_order_acq_rel))
        OnPortLost();
}

void SerialPort::ReaderLoop(int fd, int wakeFd)
{
    std::uint8_t buffer[kChunk];
    pollfd fds[2] = {{wakeFd, POLLIN, 0}, {fd, POLLIN, 0}};
    for (;;) {
        // Sleeps until a byte arrives, the device goes away or StopReader
        // wakes us: no CPU at all while the line is idle.
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            MarkLost();
            return;
        }
        // A stop request wins over waiting data.
        if (fds[0].revents != 0)
            return;
        const short events = fds[1].revents;
        if (events & POLLIN) {
            // Bytes that arrived before a hang-up are still delivered.
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n > 0) {
                // Acknowledge at once: a server that sends an answer in
                // small pieces (Nagle's algorithm) waits for our ACK
                // before each next piece, and a delayed ACK costs 40 ms.
                if (network_)
                    QuickAck(fd);
                Deliver(buffer, static_cast<std::size_t>(n));
                continue;
            }
            if (n < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK))
                continue;
            // Readable but nothing to read, or a read error: the device is
            // gone. Reading again would spin for ever.
            MarkLost();
            return;
        }
        if (events & (POLLHUP | POLLERR | POLLNVAL)) {
            MarkLost();
            return;
        }
    }
}
