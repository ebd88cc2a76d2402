// The simulated DTU's link with the time passed in: real sockets on
// 127.0.0.1, so that a refused connect is the kernel's own answer.
#include "dtu-sim/sim/Uplink.h"
#include "tests/support/Listener.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

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
