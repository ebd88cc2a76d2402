// The simulated DTU's link with the time passed in: real sockets on
// 127.0.0.1, so that a refused connect is the kernel's own answer.
#include "sim/Uplink.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// A listening socket on a free port; `Accept` takes one connection.
class Listener {
public:
    Listener() : fd_(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0))
    {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof a;
        ::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        ::listen(fd_, 4);
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &length);
        port_ = ntohs(a.sin_port);
    }
    ~Listener()
    {
        Close();
        if (peer_ >= 0)
            ::close(peer_);
    }
    std::uint16_t port() const { return port_; }
    void Close()
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }
    // What the DTU sent so far on the accepted connection.
    std::string Received()
    {
        if (peer_ < 0)
            peer_ = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        pollfd p{peer_, POLLIN, 0};
        std::string got;
        while (::poll(&p, 1, 200) > 0) {
            char buffer[256];
            const ssize_t n = ::recv(peer_, buffer, sizeof buffer, 0);
            if (n <= 0)
                break;
            got.append(buffer, static_cast<std::size_t>(n));
        }
        return got;
    }

private:
    int fd_;
    int peer_ = -1;
    std::uint16_t port_ = 0;
};

sim::LinkSettings Link(std::uint16_t port)
{
    sim::LinkSettings s;
    s.host = "127.0.0.1";
    s.port = port;
    s.tcp = true;
    s.custom = true;
    s.registration = {'R', 'E', 'G'};
    s.heartbeat = {'H', 'B'};
    return s;
}

// Waits for the socket as the simulated DTU's loop does, then services it at `nowMs`.
void Step(sim::Uplink& u, std::int64_t nowMs)
{
    short revents = 0;
    if (u.fd() >= 0) {
        // Only a connect is waited for: nothing else is expected to arrive.
        pollfd p{u.fd(), u.events(), 0};
        if (::poll(&p, 1, (u.events() & POLLOUT) ? 1000 : 0) > 0)
            revents = p.revents;
    }
    u.Service(revents, nowMs);
}

TEST(Uplink, PauseGrowsFromOneToThirtySeconds)
{
    std::uint16_t port;
    {
        Listener gone;
        port = gone.port();
    }
    sim::Uplink u(30000, nullptr);
    std::int64_t now = 0;
    u.Configure(Link(port), now);
    std::vector<std::int64_t> pauses;
    for (int i = 0; i < 7; ++i) {
        Step(u, now);  // refused
        ASSERT_FALSE(u.connected());
        pauses.push_back(u.Deadline() - now);
        now = u.Deadline();
        Step(u, now);  // the next attempt starts
    }
    EXPECT_EQ(pauses, (std::vector<std::int64_t>{1000, 2000, 4000, 8000, 16000, 30000, 30000}));
}

TEST(Uplink, RegistersFirstBeatsAndFollowsANewServer)
{
    Listener first, second;
    sim::Uplink u(1000, nullptr);
    u.Configure(Link(first.port()), 0);
    Step(u, 0);
    ASSERT_TRUE(u.connected());
    EXPECT_EQ(first.Received(), "REG");
    Step(u, 999);
    Step(u, 1000);
    Step(u, 2000);
    EXPECT_EQ(first.Received(), "HBHB");

    u.Configure(Link(second.port()), 2100);
    Step(u, 2100);
    ASSERT_TRUE(u.connected());
    EXPECT_EQ(second.Received(), "REG");

    sim::LinkSettings noTcp = Link(second.port());
    noTcp.tcp = false;
    u.Configure(noTcp, 2200);
    EXPECT_EQ(u.fd(), -1);
    EXPECT_EQ(u.Deadline(), -1);
}

}  // namespace
