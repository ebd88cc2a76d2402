#include "driver/server/TestServer.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/epoll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/timerfd.h>
#include <unistd.h>

namespace server {

namespace {

// epoll's data for the two descriptors that are no connection.
constexpr std::uint64_t kListenKey = 0;
constexpr std::uint64_t kTimerKey = ~std::uint64_t{0};
constexpr int kEventsPerTurn = 64;

std::string PeerText(const sockaddr_storage& a)
{
    char host[INET6_ADDRSTRLEN] = {};
    if (a.ss_family == AF_INET) {
        const auto& v4 = reinterpret_cast<const sockaddr_in&>(a);
        ::inet_ntop(AF_INET, &v4.sin_addr, host, sizeof host);
        return std::string(host) + ":" + std::to_string(ntohs(v4.sin_port));
    }
    if (a.ss_family == AF_INET6) {
        const auto& v6 = reinterpret_cast<const sockaddr_in6&>(a);
        ::inet_ntop(AF_INET6, &v6.sin6_addr, host, sizeof host);
        // Appended, not "[" + ...: GCC 12 sees an overlapping copy in the
        // temporary that is none (-Wrestrict, Release builds).
        std::string text = "[";
        text.append(host).append("]:").append(std::to_string(ntohs(v6.sin6_port)));
        return text;
    }
    return "?";
}

void SetOption(int fd, int level, int name, int value)
{
    ::setsockopt(fd, level, name, &value, sizeof value);
}

}  // namespace

Now Now::Current()
{
    using namespace std::chrono;
    return {duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count(),
            duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count()};
}

std::size_t RaiseDescriptorLimit(std::size_t wanted)
{
    rlimit r{};
    if (::getrlimit(RLIMIT_NOFILE, &r) != 0)
        return 0;
    if (r.rlim_cur < wanted) {
        // Past the hard limit only with the privilege to raise it.
        rlimit raised{wanted, std::max<rlim_t>(wanted, r.rlim_max)};
        if (r.rlim_max == RLIM_INFINITY)
            raised.rlim_max = RLIM_INFINITY;
        if (::setrlimit(RLIMIT_NOFILE, &raised) != 0) {
            r.rlim_cur = std::min<rlim_t>(wanted, r.rlim_max);
            ::setrlimit(RLIMIT_NOFILE, &r);
        }
        ::getrlimit(RLIMIT_NOFILE, &r);
    }
    return static_cast<std::size_t>(r.rlim_cur);
}

TestServer::TestServer()
{
    epoll_ = ::epoll_create1(EPOLL_CLOEXEC);
    timer_ = ::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    if (epoll_ >= 0 && timer_ >= 0) {
        epoll_event e{};
        e.events = EPOLLIN;
        e.data.u64 = kTimerKey;
        ::epoll_ctl(epoll_, EPOLL_CTL_ADD, timer_, &e);
    }
}

TestServer::~TestServer()
{
    Stop(Now::Current());
    if (timer_ >= 0)
        ::close(timer_);
    if (epoll_ >= 0)
        ::close(epoll_);
}

std::string TestServer::Start(const Options& options, Now now)
{
    Stop(now);
    events_.clear();
    if (epoll_ < 0 || timer_ < 0)
        return std::string("cannot wait on sockets: ") + std::strerror(errno);
    options_ = options;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    // Numeric only: a name would be looked up here, and the look-up may
    // block for seconds the window or dtuctl cannot spare.
    hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV | AI_NUMERICHOST;
    addrinfo* found = nullptr;
    const std::string port = std::to_string(options.port);
    const int rc = ::getaddrinfo(options.host.empty() ? nullptr : options.host.c_str(), port.c_str(), &hints, &found);
    if (rc == EAI_NONAME)
        return "cannot listen on " + options.host +
               ": not a numeric address (such as 0.0.0.0, 127.0.0.1 or ::); host names are not looked up";
    if (rc != 0)
        return "cannot listen on " + options.host + ": " + ::gai_strerror(rc);
    std::string error;
    for (addrinfo* a = found; a && listen_ < 0; a = a->ai_next) {
        const int fd = ::socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol);
        if (fd < 0) {
            error = std::strerror(errno);
            continue;
        }
        // A restarted server takes its port back while old connections
        // linger in TIME_WAIT.
        SetOption(fd, SOL_SOCKET, SO_REUSEADDR, 1);
        if (::bind(fd, a->ai_addr, a->ai_addrlen) != 0 || ::listen(fd, 128) != 0) {
            error = std::strerror(errno);
            ::close(fd);
            continue;
        }
        listen_ = fd;
    }
    ::freeaddrinfo(found);
    if (listen_ < 0)
        return "cannot listen on " + options.host + ":" + port + ": " + error;

    sockaddr_storage bound{};
    socklen_t length = sizeof bound;
    ::getsockname(listen_, reinterpret_cast<sockaddr*>(&bound), &length);
    boundPort_ = ntohs(bound.ss_family == AF_INET6 ? reinterpret_cast<sockaddr_in6&>(bound).sin6_port
                                                   : reinterpret_cast<sockaddr_in&>(bound).sin_port);
    epoll_event e{};
    e.events = EPOLLIN;
    e.data.u64 = kListenKey;
    ::epoll_ctl(epoll_, EPOLL_CTL_ADD, listen_, &e);
    spare_ = ::open("/dev/null", O_RDONLY | O_CLOEXEC);

    Event listening;
    listening.kind = EventKind::Listening;
    listening.peer = PeerText(bound);
    listening.wallMs = now.wallMs;
    events_.push_back(std::move(listening));
    return {};
}

void TestServer::Stop(Now now)
{
    if (listen_ < 0)
        return;
    while (!slots_.empty())
        Drop(slots_.begin()->first, now, "server stopped");
    ::epoll_ctl(epoll_, EPOLL_CTL_DEL, listen_, nullptr);
    ::close(listen_);
    listen_ = -1;
    if (spare_ >= 0)
        ::close(spare_);
    spare_ = -1;
    deadlines_ = {};
    armedMs_ = -1;
    const itimerspec off{};
    ::timerfd_settime(timer_, 0, &off, nullptr);
    Event stopped;
    stopped.kind = EventKind::Stopped;
    stopped.wallMs = now.wallMs;
    events_.push_back(std::move(stopped));
}

void TestServer::SetExpected(std::optional<Bytes> registration, std::optional<Bytes> heartbeat)
{
    options_.registration = std::move(registration);
    options_.heartbeat = std::move(heartbeat);
}

std::vector<Event> TestServer::TakeEvents()
{
    std::vector<Event> out;
    out.swap(events_);
    return out;
}

std::vector<std::uint64_t> TestServer::TakeChanged()
{
    for (const std::uint64_t id : changed_)
        if (const auto it = slots_.find(id); it != slots_.end())
            it->second.changed = false;
    std::vector<std::uint64_t> out;
    out.swap(changed_);
    return out;
}

void TestServer::Touch(Slot& s)
{
    if (!s.changed)
        changed_.push_back(s.info.id);
    s.changed = true;
}

std::vector<std::uint64_t> TestServer::Ids() const
{
    std::vector<std::uint64_t> ids;
    ids.reserve(slots_.size());
    for (const auto& [id, slot] : slots_)
        ids.push_back(id);
    return ids;
}

const Connection* TestServer::Find(std::uint64_t id) const
{
    const auto it = slots_.find(id);
    return it == slots_.end() ? nullptr : &it->second.info;
}

Event TestServer::Base(EventKind kind, const Slot& s, Now now) const
{
    Event e;
    e.kind = kind;
    e.id = s.info.id;
    e.peer = s.info.peer;
    e.wallMs = now.wallMs;
    return e;
}

void TestServer::Process(Now now)
{
    if (epoll_ < 0)
        return;
    epoll_event ready[kEventsPerTurn];
    const int n = ::epoll_wait(epoll_, ready, kEventsPerTurn, 0);
    for (int i = 0; i < n; ++i) {
        const std::uint64_t key = ready[i].data.u64;
        if (key == kTimerKey) {
            std::uint64_t expirations = 0;
            [[maybe_unused]] const ssize_t r = ::read(timer_, &expirations, sizeof expirations);
            armedMs_ = -1;
            continue;
        }
        if (key == kListenKey) {
            Accept(now);
            continue;
        }
        const auto it = slots_.find(key);
        if (it == slots_.end())
            continue;  // closed earlier in this turn
        if (ready[i].events & EPOLLOUT)
            Flush(it->second, now);
        if (ready[i].events & (EPOLLIN | EPOLLHUP | EPOLLERR)) {
            const auto again = slots_.find(key);
            if (again != slots_.end())
                Read(again->second, now);
        }
    }
    CompleteDue(now);
    ArmTimer(now);
}

void TestServer::Accept(Now now)
{
    for (int i = 0; i < kEventsPerTurn && listen_ >= 0; ++i) {
        sockaddr_storage peer{};
        socklen_t length = sizeof peer;
        const int fd = ::accept4(listen_, reinterpret_cast<sockaddr*>(&peer), &length, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            if ((errno == EMFILE || errno == ENFILE) && spare_ >= 0) {
                // Out of descriptors: the pending peer would stay in the
                // backlog and keep the socket readable for ever. Take it
                // with the spare descriptor and tell it no.
                ::close(spare_);
                const int taken = ::accept4(listen_, reinterpret_cast<sockaddr*>(&peer), &length, SOCK_CLOEXEC);
                if (taken >= 0)
                    Refuse(taken, PeerText(peer), "no descriptors left", now);
                spare_ = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
                continue;
            }
            return;  // EAGAIN, or a peer that left before we took it
        }
        const std::string text = PeerText(peer);
        if (slots_.size() >= options_.maxConnections) {
            Refuse(fd, text, std::to_string(options_.maxConnections) + " connections already open", now);
            continue;
        }
        // A peer that vanished without a word (a DTU losing its cell) is
        // found by keepalive rather than held for ever.
        SetOption(fd, SOL_SOCKET, SO_KEEPALIVE, 1);
        SetOption(fd, IPPROTO_TCP, TCP_KEEPIDLE, 120);
        SetOption(fd, IPPROTO_TCP, TCP_KEEPINTVL, 10);
        SetOption(fd, IPPROTO_TCP, TCP_KEEPCNT, 3);
        SetOption(fd, IPPROTO_TCP, TCP_NODELAY, 1);
        const std::uint64_t id = nextId_++;
        Slot& s = slots_[id];
        s.fd = fd;
        s.info.id = id;
        s.info.peer = text;
        s.info.connectedWallMs = s.info.lastActivityWallMs = now.wallMs;
        epoll_event e{};
        e.events = EPOLLIN | EPOLLRDHUP;
        e.data.u64 = id;
        ::epoll_ctl(epoll_, EPOLL_CTL_ADD, fd, &e);
        events_.push_back(Base(EventKind::Connected, s, now));
        Touch(s);
    }
}

void TestServer::Refuse(int fd, const std::string& peer, const std::string& reason, Now now)
{
    ::close(fd);
    Event e;
    e.kind = EventKind::Refused;
    e.peer = peer;
    e.wallMs = now.wallMs;
    e.reason = reason;
    events_.push_back(std::move(e));
}

}  // namespace server
