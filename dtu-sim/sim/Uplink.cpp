#include "dtu-sim/sim/Uplink.h"

#include <algorithm>
#include <arpa/inet.h>
#include <chrono>
#include <cerrno>
#include <cstring>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace sim {

namespace {

constexpr std::int64_t kResolvePollMs = 50;

std::string Resolve(const std::string& host)
{
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || !found)
        return {};
    char text[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr, text, sizeof text);
    ::freeaddrinfo(found);
    return text;
}

}  // namespace

Uplink::Uplink(std::int64_t heartbeatMs, std::ostream* log) : heartbeatMs_(heartbeatMs), log_(log) {}

Uplink::~Uplink()
{
    CloseSocket();
    // A lookup still running is waited for: its thread must not outlive us.
    if (resolving_.valid())
        resolving_.wait();
}

void Uplink::Log(const std::string& line)
{
    if (log_)
        *log_ << "online: " << line << "\n" << std::flush;
}

void Uplink::Configure(const LinkSettings& settings, std::int64_t nowMs)
{
    if (settings == settings_)
        return;
    // A new server, a mode without TCP or a new registration ends the
    // connection: a DTU registers as it connects. A new heartbeat or
    // sub-mode applies from now on.
    const bool startOver = settings.host != settings_.host || settings.port != settings_.port ||
                           settings.tcp != settings_.tcp || settings.custom != settings_.custom ||
                           settings.registration != settings_.registration;
    settings_ = settings;
    if (startOver)
        StartOver(nowMs, true);
}

void Uplink::StartOver(std::int64_t nowMs, bool freshPause)
{
    CloseSocket();
    if (freshPause)
        pauseMs_ = kFirstPauseMs;
    if (!settings_.tcp || settings_.host.empty()) {
        state_ = State::Idle;
        return;
    }
    in_addr numeric{};
    if (::inet_pton(AF_INET, settings_.host.c_str(), &numeric) == 1) {
        Connect(settings_.host, nowMs);
        return;
    }
    if (resolving_.valid())
        resolving_.wait();  // a lookup of the old name; never long on a DTU's network
    resolving_ = std::async(std::launch::async, Resolve, settings_.host);
    resolveCheckMs_ = nowMs + kResolvePollMs;
    state_ = State::Resolving;
}

void Uplink::Connect(const std::string& address, std::int64_t nowMs)
{
    CloseSocket();
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(settings_.port);
    ::inet_pton(AF_INET, address.c_str(), &a.sin_addr);
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd_ < 0) {
        Fail(std::strerror(errno), nowMs);
        return;
    }
    Log("connecting to " + address + ":" + std::to_string(settings_.port));
    if (::connect(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 || errno == EINPROGRESS) {
        state_ = State::Connecting;
        return;
    }
    Fail(std::strerror(errno), nowMs);
}

void Uplink::Fail(const std::string& why, std::int64_t nowMs)
{
    CloseSocket();
    state_ = State::Waiting;
    retryAtMs_ = nowMs + pauseMs_;
    Log(why + "; again in " + std::to_string(pauseMs_ / 1000) + " s");
    pauseMs_ = std::min(pauseMs_ * 2, kLongestPauseMs);
}

void Uplink::CloseSocket()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    out_.clear();
}

short Uplink::events() const
{
    if (state_ == State::Connecting)
        return POLLOUT;
    return static_cast<short>(POLLIN | (out_.empty() ? 0 : POLLOUT));
}

std::int64_t Uplink::Deadline() const
{
    switch (state_) {
    case State::Resolving:
        return resolveCheckMs_;
    case State::Waiting:
        return retryAtMs_;
    case State::Connected:
        return settings_.custom && !settings_.heartbeat.empty() ? nextBeatMs_ : -1;
    default:
        return -1;
    }
}

bool Uplink::Send(const Bytes& bytes)
{
    if (state_ != State::Connected || out_.size() + bytes.size() > kMaxQueued)
        return false;
    Queue(bytes);
    return true;
}

void Uplink::Queue(const Bytes& bytes)
{
    out_.insert(out_.end(), bytes.begin(), bytes.end());
}

void Uplink::Flush(std::int64_t nowMs)
{
    while (!out_.empty()) {
        const ssize_t n = ::send(fd_, out_.data(), out_.size(), MSG_NOSIGNAL);
        if (n > 0) {
            out_.erase(out_.begin(), out_.begin() + n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            return;
        } else {
            Fail(std::string("send: ") + std::strerror(errno), nowMs);
            return;
        }
    }
}

Bytes Uplink::Service(short revents, std::int64_t nowMs)
{
    Bytes down;
    switch (state_) {
    case State::Idle:
        break;
    case State::Resolving:
        if (resolving_.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
            resolveCheckMs_ = nowMs + kResolvePollMs;
        } else if (const std::string address = resolving_.get(); address.empty()) {
            Fail("cannot resolve " + settings_.host, nowMs);
        } else {
            Connect(address, nowMs);
        }
        break;
    case State::Waiting:
        // Still failing: the pause keeps growing.
        if (nowMs >= retryAtMs_)
            StartOver(nowMs, false);
        break;
    case State::Connecting: {
        if (revents == 0)
            break;
        int error = 0;
        socklen_t length = sizeof error;
        ::getsockopt(fd_, SOL_SOCKET, SO_ERROR, &error, &length);
        if (error != 0) {
            Fail(std::string("connect: ") + std::strerror(error), nowMs);
            break;
        }
        state_ = State::Connected;
        pauseMs_ = kFirstPauseMs;
        Log("connected");
        if (settings_.custom && !settings_.registration.empty())
            Queue(settings_.registration);
        nextBeatMs_ = nowMs + heartbeatMs_;
        Flush(nowMs);
        break;
    }
    case State::Connected: {
        if (revents & (POLLIN | POLLHUP | POLLERR)) {
            std::uint8_t buffer[4096];
            const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
            if (n > 0) {
                down.assign(buffer, buffer + n);
            } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
                Fail(n == 0 ? "the server closed the connection" : std::string("recv: ") + std::strerror(errno), nowMs);
                break;
            }
        }
        if (Deadline() >= 0 && nowMs >= nextBeatMs_) {
            Queue(settings_.heartbeat);
            nextBeatMs_ += heartbeatMs_;
            if (nextBeatMs_ <= nowMs)
                nextBeatMs_ = nowMs + heartbeatMs_;
        }
        Flush(nowMs);
        break;
    }
    }
    return down;
}

}  // namespace sim
