// The driver's writing side: Write on the caller's thread, Post and the
// Telnet answers through the writer thread, all under the write lock.
#include "driver/serial/SerialPort.h"

#include <algorithm>
#include <cerrno>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

namespace {

// Errors by which a read or write says that the device itself is gone.
bool IsGone(int err)
{
    return err == EIO || err == ENXIO || err == ENODEV || err == EBADF || err == EPIPE || err == ECONNRESET ||
           err == ENOTCONN;
}

int OutputQueued(int fd)
{
    int queued = 0;
    return ::ioctl(fd, TIOCOUTQ, &queued) == 0 ? queued : -1;
}

}  // namespace

bool SerialPort::Write(const std::uint8_t* data, std::size_t length)
{
    const WriteResult result = Transmit(data, length);
    return result.ok() || Fail(result.error, result.err);
}

WriteResult SerialPort::Transmit(const std::uint8_t* frame, std::size_t frameLength)
{
    std::lock_guard lock(writeLock_);
    const int fd = fd_.load(std::memory_order_acquire);
    if (fd < 0)
        return {SerialError::Closed, 0};
    // The observer sees the frame; the wire carries it escaped.
    std::vector<std::uint8_t> escaped;
    if (telnet_)
        net::telnet::AppendEscaped(escaped, {frame, frameLength});
    const WriteResult result = telnet_ ? SendLocked(fd, escaped.data(), escaped.size())
                                       : SendLocked(fd, frame, frameLength);
    if (result.ok() && writeObserver_)
        writeObserver_->OnWritten(frame, frameLength);
    return result;
}

WriteResult SerialPort::SendLocked(int fd, const std::uint8_t* data, std::size_t length)
{
    std::size_t sent = 0;
    int stalledWaits = 0;
    int lastQueued = -1;
    while (sent < length) {
        if (PortLost())
            return {SerialError::Lost, EIO};
        const std::size_t chunk = std::min(length - sent, kChunk);
        // send() on a socket: a server gone away must not raise SIGPIPE.
        const ssize_t n = network_ ? ::send(fd, data + sent, chunk, MSG_NOSIGNAL) : ::write(fd, data + sent, chunk);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            stalledWaits = 0;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            return {IsGone(errno) ? SerialError::Lost : SerialError::Io, errno};

        // The kernel's output queue is full: wait for room, a bounded time.
        pollfd fds[2] = {{fd, POLLOUT, 0}, {cancelFd_, POLLIN, 0}};
        const int ready = ::poll(fds, 2, kWriteWaitMs);
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            return {SerialError::Io, errno};
        }
        if (ready == 0) {
            // A slow line still drains; only a queue that does not shrink
            // counts as stalled. Nothing the kernel has taken is thrown away
            // while the write can still succeed.
            const int queued = OutputQueued(fd);
            const bool draining = queued >= 0 && lastQueued >= 0 && queued < lastQueued;
            lastQueued = queued;
            stalledWaits = draining ? 0 : stalledWaits + 1;
            if (stalledWaits >= kMaxStalledWaits) {
                // Give up; drop what is queued so that closing the port
                // does not wait for it.
                if (!network_)
                    ::tcflush(fd, TCOFLUSH);
                return {SerialError::TimedOut, ETIMEDOUT};
            }
            continue;
        }
        if (fds[1].revents != 0) {
            if (!network_)
                ::tcflush(fd, TCOFLUSH);
            return {SerialError::Closed, 0};
        }
        if (fds[0].revents & (POLLERR | POLLHUP | POLLNVAL))
            return {SerialError::Lost, EIO};
    }
    return {};
}

void SerialPort::Post(std::vector<std::uint8_t> frame, WriteDone done)
{
    {
        std::lock_guard lock(queueLock_);
        if (writerThread_.joinable() && !writerStop_) {
            queue_.push_back({std::move(frame), std::move(done)});
            queueReady_.notify_one();
            return;
        }
    }
    if (done)
        done({SerialError::Closed, 0});
}

bool SerialPort::StartWriter()
{
    std::lock_guard lock(queueLock_);
    writerStop_ = false;
    answers_.clear();
    try {
        writerThread_ = std::thread(&SerialPort::WriterLoop, this);
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void SerialPort::StopWriter()
{
    std::deque<Pending> left;
    {
        std::lock_guard lock(queueLock_);
        if (!writerThread_.joinable())
            return;
        writerStop_ = true;
        left.swap(queue_);
        answers_.clear();
    }
    queueReady_.notify_one();
    // A write in progress may be waiting for room: cancel that wait.
    const std::uint64_t one = 1;
    [[maybe_unused]] ssize_t n = ::write(cancelFd_, &one, sizeof one);
    writerThread_.join();
    std::uint64_t count = 0;
    n = ::read(cancelFd_, &count, sizeof count);
    for (Pending& p : left)
        if (p.done)
            p.done({SerialError::Closed, 0});
}

void SerialPort::WriterLoop()
{
    for (;;) {
        std::vector<std::uint8_t> answers;
        Pending next;
        bool frame = false;
        {
            std::unique_lock lock(queueLock_);
            queueReady_.wait(lock, [this] { return writerStop_ || !queue_.empty() || !answers_.empty(); });
            if (writerStop_)
                return;
            answers.swap(answers_);
            if (!queue_.empty()) {
                next = std::move(queue_.front());
                queue_.pop_front();
                frame = true;
            }
        }
        WriteResult result;
        if (!answers.empty()) {
            // Telnet commands as they are, never escaped, and not frames
            // for the observer.
            std::lock_guard lock(writeLock_);
            const int fd = fd_.load(std::memory_order_acquire);
            result = fd < 0 ? WriteResult{SerialError::Closed, 0} : SendLocked(fd, answers.data(), answers.size());
        }
        if (frame && result.ok())
            result = Transmit(next.frame.data(), next.frame.size());
        if (!result.ok())
            Fail(result.error, result.err);
        std::deque<Pending> failed;
        if (!result.ok()) {
            std::lock_guard lock(queueLock_);
            failed.swap(queue_);
        }
        if (frame && next.done)
            next.done(result);
        for (Pending& p : failed)
            if (p.done)
                p.done(result);
    }
}

void SerialPort::SetWriteObserver(WriteObserver* observer)
{
    std::lock_guard lock(writeLock_);
    writeObserver_ = observer;
}

void SerialPort::RemoveWriteObserver(WriteObserver* observer)
{
    std::lock_guard lock(writeLock_);
    if (writeObserver_ == observer)
        writeObserver_ = nullptr;
}

void SerialPort::SetReadObserver(ReadObserver* observer)
{
    std::lock_guard lock(readObserverLock_);
    readObserver_ = observer;
}

void SerialPort::RemoveReadObserver(ReadObserver* observer)
{
    std::lock_guard lock(readObserverLock_);
    if (readObserver_ == observer)
        readObserver_ = nullptr;
}
