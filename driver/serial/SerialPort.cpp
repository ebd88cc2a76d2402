// The driver's device side: opening a device path with its line settings,
// changing them, closing, and the last error.
#include "driver/serial/SerialPort.h"

#include "driver/serial/LineSettings.h"
#include "driver/serial/NetPort.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

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

bool IsPtySlave(int fd)
{
    // Unix 98 pseudo-terminal slaves: majors 136 to 143.
    struct stat st {};
    return ::fstat(fd, &st) == 0 && S_ISCHR(st.st_mode) && major(st.st_rdev) >= 136 && major(st.st_rdev) <= 143;
}

// Sets the line and reads it back; errno on false. A pseudo-terminal drops
// PARENB, and glibc reports that as EINVAL only when nothing else changed:
// a line left raw with parity by an earlier run refused the same settings
// that a fresh one took. There, the read-back alone decides.
bool ApplyLine(int fd, const termios& wanted)
{
    if (::tcsetattr(fd, TCSANOW, &wanted) != 0 && !(errno == EINVAL && IsPtySlave(fd)))
        return false;
    termios actual{};
    if (::tcgetattr(fd, &actual) != 0)
        return false;
    if (!serial::HoldsLine(wanted, actual)) {
        errno = EINVAL;
        return false;
    }
    return true;
}

int OpenDevice(const std::string& path)
{
    // O_NOCTTY: the port must never become our controlling terminal.
    // O_NONBLOCK: neither open nor I/O may wait for a carrier.
    return ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
}

}  // namespace

SerialPort::SerialPort() : cancelFd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

SerialPort::~SerialPort()
{
    Close();
    if (cancelFd_ >= 0)
        ::close(cancelFd_);
}

bool SerialPort::Fail(SerialError error, int err)
{
    std::lock_guard lock(errorLock_);
    lastError_ = error;
    lastErrno_ = err;
    lastServerText_.clear();
    return false;
}

void SerialPort::ClearError()
{
    std::lock_guard lock(errorLock_);
    lastError_ = SerialError::None;
    lastErrno_ = 0;
    lastServerText_.clear();
}

std::string SerialPort::LastServerText() const
{
    std::lock_guard lock(errorLock_);
    return lastServerText_;
}

SerialError SerialPort::LastError() const
{
    std::lock_guard lock(errorLock_);
    return lastError_;
}

int SerialPort::LastErrno() const
{
    std::lock_guard lock(errorLock_);
    return lastErrno_;
}

bool SerialPort::Open(const std::string& path, unsigned baudRate, unsigned parity)
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
    if (!ApplyLine(fd, wanted))
        return fail(SerialError::Settings, errno, true);

    // DTR and RTS inactive where the device has them; a pseudo-terminal has
    // no modem lines and says ENOTTY or EINVAL, which is fine.
    int lines = TIOCM_DTR | TIOCM_RTS;
    ::ioctl(fd, TIOCMBIC, &lines);

    // Whatever waited in either direction belongs to no frame of ours. Done
    // here, before the reader runs, so it can never race a first Write.
    ::tcflush(fd, TCIOFLUSH);
    return StartThreads(fd);
}

bool SerialPort::StartThreads(int fd)
{
    {
        std::lock_guard lock(writeLock_);
        fd_.store(fd, std::memory_order_release);
    }
    // The writer first: the reader may hand it an answer at once.
    if (!StartWriter() || !StartReader()) {
        const int err = errno;
        StopWriter();
        StopReader();
        ReleasePort();
        return Fail(SerialError::Io, err);
    }
    ClearError();
    return true;
}

bool SerialPort::SetLine(unsigned baudRate, unsigned parity)
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
    if (!ApplyLine(fd, wanted))
        return Fail(SerialError::Settings, errno);
    baudRate_ = baudRate;
    parity_ = parity;
    return true;
}

bool SerialPort::Close()
{
    if (IsOpen()) {
        StopWriter();
        StopReader();
        ReleasePort();
    }
    lost_.store(false, std::memory_order_release);
    return true;
}

void SerialPort::ReleasePort()
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
