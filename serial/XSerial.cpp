#include "serial/XSerial.h"

#include "serial/LineSettings.h"
#include "serial/NetPort.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>
#include <utility>

namespace {

SerialError ClassifyOpenError(int err)
{
    switch (err) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
    case ENOTDIR:
        return SerialError::NotFound;
    case EACCES:
    case EPERM:
        return SerialError::Permission;
    case EBUSY:
    case EWOULDBLOCK:
        return SerialError::Busy;
    default:
        return SerialError::Io;
    }
}

// Errors by which a read or write says that the device itself is gone.
bool IsGone(int err)
{
    return err == EIO || err == ENXIO || err == ENODEV || err == EBADF || err == EPIPE || err == ECONNRESET ||
           err == ENOTCONN;
}

int OpenDevice(const std::string& path)
{
    // O_NOCTTY: the port must never become our controlling terminal.
    // O_NONBLOCK: neither open nor I/O may wait for a carrier.
    return ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
}

void QuickAck(int fd)
{
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_QUICKACK, &on, sizeof on);
}

int OutputQueued(int fd)
{
    int queued = 0;
    return ::ioctl(fd, TIOCOUTQ, &queued) == 0 ? queued : -1;
}

}  // namespace

CXSerial::CXSerial() : cancelFd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

CXSerial::~CXSerial()
{
    Close();
    if (cancelFd_ >= 0)
        ::close(cancelFd_);
}

bool CXSerial::Fail(SerialError error, int err)
{
    std::lock_guard lock(errorLock_);
    lastError_ = error;
    lastErrno_ = err;
    lastServerText_.clear();
    return false;
}

void CXSerial::ClearError()
{
    std::lock_guard lock(errorLock_);
    lastError_ = SerialError::None;
    lastErrno_ = 0;
    lastServerText_.clear();
}

std::string CXSerial::LastServerText() const
{
    std::lock_guard lock(errorLock_);
    return lastServerText_;
}

SerialError CXSerial::LastError() const
{
    std::lock_guard lock(errorLock_);
    return lastError_;
}

int CXSerial::LastErrno() const
{
    std::lock_guard lock(errorLock_);
    return lastErrno_;
}

bool CXSerial::Open(const std::string& path, unsigned baudRate, unsigned parity)
{
    if (net::LooksLikeUrl(path)) {
        Close();
        const auto url = net::ParsePortUrl(path);
        if (!url) {
            portPath_ = path;
            return Fail(SerialError::BadUrl, EINVAL);
        }
        return Adopt(serial::ConnectPort(*url, baudRate, parity, -1, connectTimeoutMs_), path, baudRate, parity);
    }
    Close();
    portPath_ = path;
    baudRate_ = baudRate;
    parity_ = parity;
    network_ = telnet_ = false;
    lost_.store(false, std::memory_order_release);

    // Refuse unknown rates and parity codes before touching the device.
    if (!serial::BaudToSpeed(baudRate) || parity > serial::kParityEven)
        return Fail(SerialError::Settings, EINVAL);

    const int fd = OpenDevice(path);
    if (fd < 0)
        return Fail(ClassifyOpenError(errno), errno);

    auto fail = [&](SerialError error, int err, bool restore) {
        if (restore)
            ::tcsetattr(fd, TCSANOW, &saved_);
        ::close(fd);
        return Fail(error, err);
    };

    // Two instances of this tool, or this tool and another program, racing
    // for the port: the first lock wins, even against root.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
        return fail(SerialError::Busy, errno, false);
    // Also keep out programs that open without locking. Not every device
    // supports it, which is no reason to refuse the port.
    if (::ioctl(fd, TIOCEXCL) != 0 && errno != EINVAL && errno != ENOTTY)
        return fail(SerialError::Io, errno, false);

    if (::tcgetattr(fd, &saved_) != 0)
        return fail(errno == ENOTTY ? SerialError::NotATerminal : SerialError::Io, errno, false);

    termios wanted = saved_;
    serial::MakeRaw(wanted, baudRate, parity);
    termios actual{};
    if (::tcsetattr(fd, TCSANOW, &wanted) != 0)
        return fail(SerialError::Settings, errno, true);
    if (::tcgetattr(fd, &actual) != 0 || !serial::HoldsLine(wanted, actual))
        return fail(SerialError::Settings, EINVAL, true);

    // DTR and RTS inactive where the device has them; a pseudo-terminal has
    // no modem lines and says ENOTTY or EINVAL, which is fine.
    int lines = TIOCM_DTR | TIOCM_RTS;
    ::ioctl(fd, TIOCMBIC, &lines);

    // Whatever waited in either direction belongs to no frame of ours. Done
    // here, before the reader runs, so it can never race a first Write.
    ::tcflush(fd, TCIOFLUSH);
    return StartThreads(fd);
}

bool CXSerial::Adopt(serial::NetConnection&& connection, const std::string& url, unsigned baudRate, unsigned parity)
{
    Close();
    portPath_ = url;
    baudRate_ = baudRate;
    parity_ = parity;
    lost_.store(false, std::memory_order_release);
    network_ = connection.fd >= 0;
    telnet_ = network_ && connection.telnet;
    if (connection.fd < 0) {
        Fail(connection.error == SerialError::None ? SerialError::Io : connection.error, connection.err);
        std::lock_guard lock(errorLock_);
        lastServerText_ = connection.serverSaid;
        return false;
    }
    telnetIn_ = connection.decoder;
    comPort_ = connection.client;
    return StartThreads(std::exchange(connection.fd, -1));
}

bool CXSerial::StartThreads(int fd)
{
    {
        std::lock_guard lock(writeLock_);
        fd_.store(fd, std::memory_order_release);
    }
    if (!StartReader() || !StartWriter()) {
        const int err = errno;
        StopReader();
        ReleasePort();
        return Fail(SerialError::Io, err);
    }
    ClearError();
    return true;
}

bool CXSerial::SetLine(unsigned baudRate, unsigned parity)
{
    const int fd = fd_.load(std::memory_order_acquire);
    if (fd < 0)
        return Fail(SerialError::Closed, 0);
    if (network_)
        return Fail(SerialError::Settings, EOPNOTSUPP);
    termios wanted{};
    if (::tcgetattr(fd, &wanted) != 0)
        return Fail(SerialError::Io, errno);
    if (!serial::MakeRaw(wanted, baudRate, parity))
        return Fail(SerialError::Settings, EINVAL);
    termios actual{};
    if (::tcsetattr(fd, TCSANOW, &wanted) != 0)
        return Fail(SerialError::Settings, errno);
    if (::tcgetattr(fd, &actual) != 0 || !serial::HoldsLine(wanted, actual))
        return Fail(SerialError::Settings, EINVAL);
    baudRate_ = baudRate;
    parity_ = parity;
    return true;
}

bool CXSerial::Close()
{
    if (IsOpen()) {
        StopWriter();
        StopReader();
        ReleasePort();
    }
    lost_.store(false, std::memory_order_release);
    return true;
}

void CXSerial::ReleasePort()
{
    // A write waiting for room on another thread gives up now rather than
    // after its time-out: it holds the lock taken below.
    const std::uint64_t one = 1;
    [[maybe_unused]] ssize_t n = ::write(cancelFd_, &one, sizeof one);
    // Under the write lock: a Write on another thread never sees its
    // descriptor closed (or reused) under it.
    std::lock_guard lock(writeLock_);
    std::uint64_t count = 0;
    n = ::read(cancelFd_, &count, sizeof count);
    const int fd = fd_.exchange(-1, std::memory_order_acq_rel);
    if (fd < 0)
        return;
    // Unsent output would make close() wait for it (for up to 30 s on a
    // serial port); it belongs to nobody once the port closes.
    if (!network_) {
        ::tcflush(fd, TCOFLUSH);
        ::tcsetattr(fd, TCSANOW, &saved_);
    }
    ::close(fd);
}

bool CXSerial::Write(const std::uint8_t* data, std::size_t length)
{
    const WriteResult result = Transmit(data, length);
    return result.ok() || Fail(result.error, result.err);
}

WriteResult CXSerial::Transmit(const std::uint8_t* frame, std::size_t frameLength)
{
    std::lock_guard lock(writeLock_);
    const int fd = fd_.load(std::memory_order_acquire);
    if (fd < 0)
        return {SerialError::Closed, 0};
    // The observer sees the frame; the wire carries it escaped.
    std::vector<std::uint8_t> escaped;
    if (telnet_)
        net::telnet::AppendEscaped(escaped, {frame, frameLength});
    const std::uint8_t* data = telnet_ ? escaped.data() : frame;
    const std::size_t length = telnet_ ? escaped.size() : frameLength;

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
    if (writeObserver_)
        writeObserver_->OnWritten(frame, frameLength);
    return {};
}

void CXSerial::Post(std::vector<std::uint8_t> frame, WriteDone done)
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

bool CXSerial::StartWriter()
{
    std::lock_guard lock(queueLock_);
    writerStop_ = false;
    try {
        writerThread_ = std::thread(&CXSerial::WriterLoop, this);
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void CXSerial::StopWriter()
{
    std::deque<Pending> left;
    {
        std::lock_guard lock(queueLock_);
        if (!writerThread_.joinable())
            return;
        writerStop_ = true;
        left.swap(queue_);
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

void CXSerial::WriterLoop()
{
    for (;;) {
        Pending next;
        {
            std::unique_lock lock(queueLock_);
            queueReady_.wait(lock, [this] { return writerStop_ || !queue_.empty(); });
            if (writerStop_)
                return;
            next = std::move(queue_.front());
            queue_.pop_front();
        }
        const WriteResult result = Transmit(next.frame.data(), next.frame.size());
        if (!result.ok())
            Fail(result.error, result.err);
        std::deque<Pending> failed;
        if (!result.ok()) {
            std::lock_guard lock(queueLock_);
            failed.swap(queue_);
        }
        if (next.done)
            next.done(result);
        for (Pending& p : failed)
            if (p.done)
                p.done(result);
    }
}

void CXSerial::SetWriteObserver(WriteObserver* observer)
{
    std::lock_guard lock(writeLock_);
    writeObserver_ = observer;
}

void CXSerial::RemoveWriteObserver(WriteObserver* observer)
{
    std::lock_guard lock(writeLock_);
    if (writeObserver_ == observer)
        writeObserver_ = nullptr;
}

bool CXSerial::StartReader()
{
    const int fd = fd_.load(std::memory_order_acquire);
    if (fd < 0)
        return false;
    StopReader();
    wakeFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wakeFd_ < 0)
        return false;
    try {
        readerThread_ = std::thread(&CXSerial::ReaderLoop, this, fd, wakeFd_);
    } catch (const std::system_error&) {
        ::close(wakeFd_);
        wakeFd_ = -1;
        return false;
    }
    return true;
}

bool CXSerial::StopReader()
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

void CXSerial::MarkLost()
{
    if (!lost_.exchange(true, std::memory_order_acq_rel))
        OnPortLost();
}

void CXSerial::ReaderLoop(int fd, int wakeFd)
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

void CXSerial::Deliver(const std::uint8_t* data, std::size_t length)
{
    if (!telnet_) {
        for (std::size_t i = 0; i < length; ++i)
            OnRxByte(data[i]);
        return;
    }
    received_.clear();
    events_.clear();
    telnetIn_.Feed({data, length}, received_, events_);
    for (const std::uint8_t b : received_)
        OnRxByte(b);
    for (const auto& event : events_)
        if (const auto answer = comPort_.Answer(event); !answer.empty())
            AnswerServer(answer);
}

void CXSerial::AnswerServer(const std::vector<std::uint8_t>& answer)
{
    // Between frames, never inside one: under the write lock. A few bytes
    // that find no room are dropped; the server asks again if it must.
    std::lock_guard lock(writeLock_);
    const int fd = fd_.load(std::memory_order_acquire);
    if (fd < 0)
        return;
    [[maybe_unused]] const ssize_t n = ::send(fd, answer.data(), answer.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
}
