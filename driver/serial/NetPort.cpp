#include "driver/serial/NetPort.h"

#include "driver/serial/NetLookup.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>
#include <utility>

namespace serial {

namespace {

using Clock = std::chrono::steady_clock;

// What a closing server said, as one line of printable text.
constexpr std::size_t kMaxSaid = 200;

std::string Said(const std::vector<std::uint8_t>& data)
{
    std::string text;
    for (const std::uint8_t b : data)
        text += b >= 0x20 && b < 0x7F ? static_cast<char>(b) : ' ';
    const auto first = text.find_first_not_of(' ');
    const auto last = text.find_last_not_of(' ');
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

void KeepAlive(int fd)
{
    // A server that vanishes without a word (a pulled network cable, a
    // powered-off device server) is noticed in about half a minute.
    // Probes only run on an idle connection; data that goes unacknowledged
    // for as long counts the same.
    const int on = 1, idle = 15, interval = 5, count = 3, unacknowledgedMs = 30000;
    ::setsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on);
    ::setsockopt(fd, IPPROTO_TCP, TCP_USER_TIMEOUT, &unacknowledgedMs, sizeof unacknowledgedMs);
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &idle, sizeof idle);
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPINTVL, &interval, sizeof interval);
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPCNT, &count, sizeof count);
    // Frames are small and every one is awaited: send each at once.
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

bool SendAll(int fd, const std::vector<std::uint8_t>& bytes, int cancelFd, Clock::time_point deadline)
{
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (Await(fd, POLLOUT, cancelFd, deadline) <= 0)
                return false;
        } else {
            return false;
        }
    }
    return true;
}

NetConnection Failed(NetConnection& c, SerialError error, int err)
{
    c.error = error;
    c.err = err;
    if (c.fd >= 0)
        ::close(c.fd);
    c.fd = -1;
    return std::move(c);
}

// The server's side after connecting, for rfc2217://: the negotiation until
// every setting is answered. A server that closes meanwhile has turned us
// away. What the DTU sent meanwhile is dropped, as a serial port drops what
// waited before it was opened.
NetConnection Settle(NetConnection c, unsigned baud, unsigned parity, int cancelFd, Clock::time_point deadline)
{
    std::vector<std::uint8_t> data;
    std::vector<net::telnet::Event> events;
    // A server that closes before the line is set has turned us away.
    const auto sendFailed = [&c, &data] {
        const int err = errno;
        if (err != EPIPE && err != ECONNRESET)
            return Failed(c, SerialError::Io, err);
        c.serverSaid = Said(data);
        return Failed(c, SerialError::ServerClosed, err);
    };
    if (!SendAll(c.fd, c.client.Greeting(baud, parity), cancelFd, deadline))
        return sendFailed();
    for (;;) {
        switch (c.client.State()) {
        case net::telnet::ComPortClient::Line::Agreed:
            return c;
        case net::telnet::ComPortClient::Line::Refused:
            return Failed(c, SerialError::LineRefused, static_cast<int>(c.client.ServerBaud()));
        case net::telnet::ComPortClient::Line::NoComPort:
            return Failed(c, SerialError::NoComPort, 0);
        case net::telnet::ComPortClient::Line::Waiting:
            break;
        }
        const int seen = Await(c.fd, POLLIN, cancelFd, deadline);
        if (seen < 0)
            return Failed(c, SerialError::Closed, ECANCELED);
        if (seen == 0)
            return Failed(c, SerialError::LineUnconfirmed, ETIMEDOUT);
        std::uint8_t buffer[SerialPort::kChunk];
        const ssize_t n = ::recv(c.fd, buffer, sizeof buffer, 0);
        if (n < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (n <= 0) {
            c.serverSaid = Said(data);
            return Failed(c, SerialError::ServerClosed, n == 0 ? 0 : errno);
        }
        events.clear();
        c.decoder.Feed({buffer, static_cast<std::size_t>(n)}, data, events);
        // Kept, bounded, for a server that says why it closes.
        if (data.size() > kMaxSaid)
            data.erase(data.begin(), data.end() - kMaxSaid);
        for (const auto& event : events) {
            const auto answer = c.client.Answer(event);
            if (!answer.empty() && !SendAll(c.fd, answer, cancelFd, deadline))
                return sendFailed();
        }
    }
}

// A socket:// server says nothing before data flows, except to turn us
// away: then it closes at once, often with a line that says why. Waiting a
// moment for that tells it from a connection that works; the refusal comes
// a round trip after connecting (ser2net on the same machine: under 1 ms),
// so the wait is short, and grows with the time the connect took. What
// the DTU sent meanwhile is dropped, as above.
NetConnection Linger(NetConnection c, int cancelFd, Clock::duration connecting, Clock::time_point deadline)
{
    constexpr auto kLinger = std::chrono::milliseconds(10);
    const auto until = std::min(deadline, Clock::now() + kLinger + 2 * connecting);
    std::vector<std::uint8_t> data;
    for (;;) {
        const int seen = Await(c.fd, POLLIN, cancelFd, until);
        if (seen < 0)
            return Failed(c, SerialError::Closed, ECANCELED);
        if (seen == 0)
            return c;
        std::uint8_t buffer[SerialPort::kChunk];
        const ssize_t n = ::recv(c.fd, buffer, sizeof buffer, 0);
        if (n < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (n <= 0) {
            c.serverSaid = Said(data);
            return Failed(c, SerialError::ServerClosed, n == 0 ? 0 : errno);
        }
        data.insert(data.end(), buffer, buffer + n);
        if (data.size() > kMaxSaid)
            data.erase(data.begin(), data.end() - kMaxSaid);
    }
}

// Turned away by a server whose port or device is still in use: it closed
// without a word, or said so. Anything else it says is a reason that
// asking again will not change.
bool Busy(const NetConnection& c)
{
    if (c.error != SerialError::ServerClosed)
        return false;
    std::string said = c.serverSaid;
    for (char& ch : said)
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return said.empty() || said.find("in use") != std::string::npos || said.find("busy") != std::string::npos;
}

// Sleeps `ms`; false when cancelled meanwhile.
bool Pause(int cancelFd, int ms)
{
    const auto until = Clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
        pollfd cancel{cancelFd, POLLIN, 0};
        const int ready = ::poll(&cancel, cancelFd >= 0 ? 1 : 0, MsLeft(until));
        if (ready < 0 && errno == EINTR)
            continue;
        return ready <= 0;
    }
}

NetConnection Attempt(const net::PortUrl& url, std::span<const NetAddress> addresses, unsigned baud,
                      unsigned parity, int cancelFd, Clock::time_point deadline)
{
    const auto start = Clock::now();
    NetConnection c = ConnectAny(addresses, cancelFd, deadline);
    c.telnet = url.scheme == net::Scheme::Rfc2217;
    if (c.fd < 0)
        return c;
    KeepAlive(c.fd);
    return c.telnet ? Settle(std::move(c), baud, parity, cancelFd, deadline)
                    : Linger(std::move(c), cancelFd, Clock::now() - start, deadline);
}

}  // namespace

NetConnection::NetConnection(NetConnection&& other) noexcept
    : fd(std::exchange(other.fd, -1)),
      error(other.error),
      err(other.err),
      telnet(other.telnet),
      serverSaid(std::move(other.serverSaid)),
      decoder(other.decoder),
      client(other.client)
{
}

NetConnection& NetConnection::operator=(NetConnection&& other) noexcept
{
    if (this != &other) {
        if (fd >= 0)
            ::close(fd);
        fd = std::exchange(other.fd, -1);
        error = other.error;
        err = other.err;
        telnet = other.telnet;
        serverSaid = std::move(other.serverSaid);
        decoder = other.decoder;
        client = other.client;
    }
    return *this;
}

NetConnection::~NetConnection()
{
    if (fd >= 0)
        ::close(fd);
}

Canceller::Canceller() : fd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

Canceller::~Canceller()
{
    if (fd_ >= 0)
        ::close(fd_);
}

void Canceller::Cancel()
{
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = ::write(fd_, &one, sizeof one);
}

void Canceller::Reset()
{
    std::uint64_t count = 0;
    [[maybe_unused]] const ssize_t n = ::read(fd_, &count, sizeof count);
}

NetConnection ConnectAny(std::span<const NetAddress> addresses, int cancelFd, Clock::time_point deadline)
{
    NetConnection c;
    // Every address in turn, as a browser does; the last failure is the
    // one told.
    SerialError error = SerialError::NotFound;
    int err = 0;
    for (std::size_t i = 0; i < addresses.size(); ++i) {
        const NetAddress& a = addresses[i];
        // The time left shared among the addresses left; the last has all
        // of it.
        const auto left = static_cast<int>(addresses.size() - i);
        const auto until = left == 1 ? deadline : Clock::now() + std::chrono::milliseconds(MsLeft(deadline) / left);
        const int fd = ::socket(a.address.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (fd < 0) {
            error = SerialError::Io;
            err = errno;
            continue;
        }
        int result = ::connect(fd, reinterpret_cast<const sockaddr*>(&a.address), a.length) == 0 ? 0 : errno;
        if (result == EINPROGRESS) {
            const int seen = Await(fd, POLLOUT, cancelFd, until);
            if (seen < 0) {
                ::close(fd);
                return Failed(c, SerialError::Closed, ECANCELED);
            }
            socklen_t size = sizeof result;
            if (seen == 0)
                result = ETIMEDOUT;
            else if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &result, &size) != 0)
                result = errno;
        }
        if (result == 0) {
            c.fd = fd;
            return c;
        }
        ::close(fd);
        err = result;
        error = result == ECONNREFUSED ? SerialError::Refused
                : result == ETIMEDOUT  ? SerialError::ConnectTimedOut
                                       : SerialError::Io;
    }
    return Failed(c, error, err);
}

NetConnection ConnectPort(const net::PortUrl& url, unsigned baud, unsigned parity, int cancelFd, int timeoutMs)
{
    // ser2net lets a device go a moment after a connection ends and turns
    // the next one away until then: a script's next command asks again.
    constexpr int kRetryPauseMs = 100;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    const Resolved resolved = Resolve(url.host, std::to_string(url.port), cancelFd, deadline);
    NetConnection c;
    if (resolved.error != SerialError::None)
        return Failed(c, resolved.error, resolved.err);
    NetConnection busy;
    for (;;) {
        c = Attempt(url, resolved.addresses, baud, parity, cancelFd, deadline);
        if (!Busy(c)) {
            // Out of time after a refusal: the refusal is what happened.
            const bool late = c.error == SerialError::ConnectTimedOut || c.error == SerialError::LineUnconfirmed;
            return late && busy.error != SerialError::None ? std::move(busy) : std::move(c);
        }
        busy = std::move(c);
        if (MsLeft(deadline) <= kRetryPauseMs)
            return busy;
        if (!Pause(cancelFd, kRetryPauseMs))
            return Failed(busy, SerialError::Closed, ECANCELED);
    }
}

}  // namespace serial
