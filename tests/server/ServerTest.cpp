// The test server through its public calls, with real sockets on 127.0.0.1
// and the time passed in, so that packet gaps and heartbeat intervals are
// exact.
#include "driver/server/EventText.h"
#include "driver/server/ServerThread.h"
#include "driver/server/TestServer.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace {

using server::Bytes;
using server::EventKind;
using server::Match;
using server::Now;

Bytes B(std::string_view s)
{
    return Bytes(s.begin(), s.end());
}

// A client socket, closed with the object.
class Client {
public:
    explicit Client(std::uint16_t port)
    {
        fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(port);
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        connected_ = ::connect(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    }
    ~Client()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Client(const Client&) = delete;
    Client& operator=(const Client&) = delete;

    bool connected() const { return connected_; }
    int fd() const { return fd_; }
    void Write(std::string_view s) { ASSERT_EQ(::send(fd_, s.data(), s.size(), MSG_NOSIGNAL), static_cast<ssize_t>(s.size())); }
    // What arrives within `ms`; empty at EOF or time-out.
    std::string Read(int ms = 1000)
    {
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, ms) <= 0)
            return {};
        char buffer[4096];
        const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
        return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
    }

private:
    int fd_ = -1;
    bool connected_ = false;
};

class Server : public ::testing::Test {
protected:
    void SetUp() override
    {
        options_.host = "127.0.0.1";
        options_.registration = B("REG-1");
        options_.heartbeat = B("PING");
    }
    void Start()
    {
        ASSERT_EQ(server_.Start(options_, At(0)), "");
        Take();
    }
    Now At(std::int64_t ms) const { return {base_.steadyMs + ms, base_.wallMs + ms}; }
    // Lets the kernel deliver, then handles what is ready as at `ms`.
    void Pump(std::int64_t ms, int waitMs = 100)
    {
        pollfd p{server_.fd(), POLLIN, 0};
        ::poll(&p, 1, waitMs);
        server_.Process(At(ms));
    }
    std::vector<server::Event> Take()
    {
        auto events = server_.TakeEvents();
        taken_.insert(taken_.end(), events.begin(), events.end());
        return events;
    }
    std::vector<server::Event> Of(EventKind kind)
    {
        Take();
        std::vector<server::Event> out;
        for (const auto& e : taken_)
            if (e.kind == kind)
                out.push_back(e);
        return out;
    }

    Now base_ = Now::Current();
    server::Options options_;
    server::TestServer server_;
    std::vector<server::Event> taken_;
};

TEST_F(Server, PacketsAreRegistrationHeartbeatOrData)
{
    struct Send {
        std::int64_t atMs;
        const char* bytes;
    };
    struct Case {
        const char* name;
        std::vector<Send> sends;
        std::vector<EventKind> kinds;
        Match registration;
        std::vector<std::int64_t> intervals;  // of the heartbeats, -1 for the first
    };
    const Case cases[] = {
        {"registered and beating",
         {{0, "REG-1"}, {1000, "PING"}, {2000, "PING"}, {3000, "hello"}},
         {EventKind::Connected, EventKind::Registration, EventKind::Heartbeat, EventKind::Heartbeat, EventKind::Data},
         Match::Equal,
         {-1, 1000}},
        {"another registration", {{0, "REG-2"}}, {EventKind::Connected, EventKind::Registration}, Match::Different, {}},
        // Two writes within the gap are one packet; after it, two.
        {"bytes close together", {{0, "RE"}, {20, "G-1"}, {100, "PI"}, {200, "NG"}},
         {EventKind::Connected, EventKind::Registration, EventKind::Data, EventKind::Data}, Match::Equal, {}},
        {"a heartbeat as the first packet is the registration", {{0, "PING"}, {1000, "PING"}},
         {EventKind::Connected, EventKind::Registration, EventKind::Heartbeat}, Match::Different, {-1}},
    };
    Start();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Take();
        taken_.clear();
        Client client(server_.port());
        ASSERT_TRUE(client.connected());
        Pump(0);
        std::int64_t t = 0;
        for (const Send& s : c.sends) {
            t = s.atMs;
            client.Write(s.bytes);
            Pump(t);
        }
        Pump(t + options_.packetGapMs, 0);
        std::vector<EventKind> kinds;
        std::vector<std::int64_t> intervals;
        for (const auto& e : Take())
            kinds.push_back(e.kind);
        EXPECT_EQ(kinds, c.kinds);
        const auto registrations = Of(EventKind::Registration);
        ASSERT_EQ(registrations.size(), 1u);
        EXPECT_EQ(registrations[0].match, c.registration);
        for (const auto& e : Of(EventKind::Heartbeat))
            intervals.push_back(e.intervalMs);
        EXPECT_EQ(intervals, c.intervals);
        const server::Connection* row = server_.Find(registrations[0].id);
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(row->registrationMatch, c.registration);
        EXPECT_EQ(row->heartbeats, c.intervals.size());
        server_.Close(row->id, At(t));
    }
}

TEST_F(Server, ListensOnNumericAddressesOnly)
{
    struct Case {
        const char* host;
        const char* refusal;  // part of it; null when it listens
    };
    const Case cases[] = {
        {"127.0.0.1", nullptr},
        {"0.0.0.0", nullptr},
        // A name is never looked up, which could block for seconds.
        {"localhost", "not a numeric address"},
        {"127.0.0.300", "not a numeric address"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.host);
        options_.host = c.host;
        const std::string error = server_.Start(options_, At(0));
        if (c.refusal)
            EXPECT_NE(error.find(c.refusal), std::string::npos) << error;
        else
            EXPECT_EQ(error, "");
        EXPECT_EQ(server_.running(), c.refusal == nullptr);
        server_.Stop(At(0));
    }
}

TEST_F(Server, SendsToOneOrAllAndCloses)
{
    Start();
    Client a(server_.port()), b(server_.port());
    Pump(0);
    Pump(0, 10);
    const auto ids = server_.Ids();
    ASSERT_EQ(ids.size(), 2u);
    EXPECT_EQ(server_.Send(ids[0], B("to a"), At(1)), "");
    EXPECT_EQ(a.Read(), "to a");
    EXPECT_EQ(server_.SendAll(B("to all"), At(2)), 2u);
    EXPECT_EQ(a.Read(), "to all");
    EXPECT_EQ(b.Read(), "to all");
    EXPECT_EQ(server_.Find(ids[0])->bytesOut, 10u);
    EXPECT_EQ(server_.Find(ids[0])->history.back().sent, true);

    server_.Close(ids[1], At(3));
    EXPECT_EQ(b.Read(), "") << "the DTU sees the connection end";
    const auto closed = Of(EventKind::Closed);
    ASSERT_EQ(closed.size(), 1u);
    EXPECT_EQ(closed[0].bytesOut, 6u);
    EXPECT_EQ(server_.Ids(), std::vector<std::uint64_t>{ids[0]});

    // Stopped and started again, the port is free at once.
    const std::uint16_t port = server_.port();
    server_.Stop(At(4));
    options_.port = port;
    Start();
    Client again(port);
    EXPECT_TRUE(again.connected());
}

TEST_F(Server, ThousandConnectionsAndNoMore)
{
    ASSERT_GE(server::RaiseDescriptorLimit(2200), 2200u) << "the test needs 2,200 descriptors";
    Start();
    std::vector<std::unique_ptr<Client>> clients;
    for (std::size_t i = 0; i < options_.maxConnections + 3; ++i) {
        clients.push_back(std::make_unique<Client>(server_.port()));
        if (i % 50 == 0)
            Pump(0, 0);
    }
    for (int i = 0; i < 100 && server_.size() + Of(EventKind::Refused).size() < clients.size(); ++i)
        Pump(0, 10);
    EXPECT_EQ(server_.size(), options_.maxConnections);
    const auto refused = Of(EventKind::Refused);
    ASSERT_EQ(refused.size(), 3u);
    EXPECT_EQ(refused[0].reason, "1000 connections already open");
    EXPECT_EQ(clients.back()->Read(), "") << "a refused DTU sees its connection end";
}

TEST_F(Server, FloodAndSilenceHarmNobodyElse)
{
    options_.historyBytes = 16 * 1024;
    options_.maxQueuedBytes = 64 * 1024;
    Start();
    Client flood(server_.port()), silent(server_.port()), dtu(server_.port());
    Pump(0);
    Pump(0, 10);
    const auto ids = server_.Ids();
    ASSERT_EQ(ids.size(), 3u);

    // The flood goes on while the DTU registers.
    const std::string block(64 * 1024, 'x');
    ::fcntl(flood.fd(), F_SETFL, O_NONBLOCK);
    for (int i = 0; i < 64; ++i) {
        [[maybe_unused]] const ssize_t n = ::send(flood.fd(), block.data(), block.size(), MSG_NOSIGNAL);
        if (i == 10)
            dtu.Write("REG-1");
        Pump(i, 0);
    }
    for (int i = 0; i < 400; ++i)
        Pump(100 + i, 0);
    Pump(1000, 0);
    bool registered = false;
    for (const auto& e : Of(EventKind::Registration))
        registered = registered || (e.id == ids[2] && e.match == Match::Equal);
    EXPECT_TRUE(registered);
    EXPECT_LE(server_.Find(ids[0])->historyBytes, options_.historyBytes);
    EXPECT_GT(server_.Find(ids[0])->bytesIn, 1024u * 1024u);

    // A peer that never reads fills its queue, and only its own.
    std::string refusal;
    for (int i = 0; i < 1000 && refusal.empty(); ++i) {
        refusal = server_.Send(ids[1], Bytes(block.begin(), block.end()), At(2000 + i));
        Pump(2000 + i, 0);
    }
    EXPECT_NE(refusal.find("not reading"), std::string::npos) << refusal;
    EXPECT_EQ(server_.Send(ids[2], B("still served"), At(3000)), "");
    EXPECT_EQ(dtu.Read(), "still served");
}

TEST_F(Server, HistoryKeepsTheNewestWithinItsBudget)
{
    options_.historyBytes = 4096;
    Start();
    Client dtu(server_.port());
    Pump(0);
    for (int i = 0; i <= 300; ++i) {
        dtu.Write(i == 300 ? "LAST" : "PING");
        Pump(i * 100);
    }
    Pump(300 * 100 + options_.packetGapMs, 0);
    const server::Connection* c = server_.Find(server_.Ids().at(0));
    EXPECT_EQ(c->heartbeats, 299u);
    EXPECT_LE(c->historyBytes, options_.historyBytes);
    EXPECT_LT(c->history.size(), 4096u / (4 + sizeof(server::Packet)));
    EXPECT_EQ(c->history.back().bytes, B("LAST"));
}

// The window's thread may pause past the packet gap; the server's own
// thread stamps the bytes as they come, so two packets stay two.
TEST(ServerThread, PacketsStayApartWhileTheCallerPauses)
{
    using namespace std::chrono_literals;
    std::mutex mutex;
    std::condition_variable told;
    bool ready = false;
    server::ServerThread thread([&] {
        const std::lock_guard lock(mutex);
        ready = true;
        told.notify_one();
    });
    // What the thread told, or nothing within two seconds.
    const auto next = [&]() -> std::optional<server::News> {
        std::unique_lock lock(mutex);
        if (!told.wait_for(lock, 2s, [&] { return ready; }))
            return std::nullopt;
        ready = false;
        lock.unlock();
        return thread.Take();
    };
    server::Options options;
    options.host = "127.0.0.1";
    options.registration = B("REG-1");
    options.heartbeat = B("PING");
    thread.Start(options);
    const auto started = next();
    ASSERT_TRUE(started && started->running);

    Client dtu(started->port);
    dtu.Write("REG-1");
    std::this_thread::sleep_for(150ms);
    dtu.Write("PING");
    std::this_thread::sleep_for(150ms);
    std::vector<server::Event> events;
    server::Connection row;
    while (events.size() < 3) {
        const auto news = next();
        if (!news)
            break;
        events.insert(events.end(), news->events.begin(), news->events.end());
        for (const auto& [id, r] : news->rows)
            row = r;
    }
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[1].kind, EventKind::Registration);
    EXPECT_EQ(events[1].match, Match::Equal);
    EXPECT_EQ(events[2].kind, EventKind::Heartbeat);
    EXPECT_EQ(row.bytesIn, 9u);
    EXPECT_EQ(row.heartbeats, 1u);
    EXPECT_TRUE(row.history.empty());
}

TEST(ServerText, EventsAndPacketsReadAsText)
{
    server::Event e;
    e.kind = EventKind::Heartbeat;
    e.id = 3;
    e.peer = "127.0.0.1:40122";
    e.wallMs = 0;
    e.bytes = B("PING");
    e.heartbeats = 2;
    e.intervalMs = 1002;
    const std::string line = server::FormatEvent(e, text::Encoding::Gbk);
    EXPECT_EQ(line.substr(12), "  #3 127.0.0.1:40122  heartbeat 2 after 1.002 s  4 bytes  50 49 4E 47  \"PING\"");

    struct Case {
        Bytes bytes;
        text::Encoding encoding;
        const char* text;
    };
    const Case cases[] = {
        {{0xC4, 0xE3, 0xBA, 0xC3}, text::Encoding::Gbk, "你好"},
        {B("你好"), text::Encoding::Utf8, "你好"},
        // Every byte can be read back: the terminal's escapes.
        {{'A', 0x00, '\\', 'B', '\r', '\n'}, text::Encoding::Gbk, "A\\0\\\\B\\r\\n"},
        {{'A', 0xFF, 'B', 0xC2, 0x85}, text::Encoding::Utf8, "A\\xFFB\\xC2\\x85"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(server::PacketText(c.bytes, c.encoding), c.text);
}

TEST(ServerText, WhatIsTypedToSend)
{
    struct Case {
        const char* typed;
        bool hex;
        text::Encoding encoding;
        Bytes bytes;     // when taken
        const char* refusal;  // part of it, when refused
    };
    const Case cases[] = {
        {"01 ab FF", true, text::Encoding::Gbk, {0x01, 0xAB, 0xFF}, nullptr},
        {"01A", true, text::Encoding::Gbk, {}, "odd number"},
        {"01 G2", true, text::Encoding::Gbk, {}, "character 4, “G”"},
        {"你好", false, text::Encoding::Gbk, {0xC4, 0xE3, 0xBA, 0xC3}, nullptr},
        {"你", false, text::Encoding::Utf8, {0xE4, 0xBD, 0xA0}, nullptr},
        // GBK has no emoji: never a '?' in its place, sent or expected.
        {"A?\U0001F600", false, text::Encoding::Gbk, {}, "Character 3, “\U0001F600”"},
        {"A?\U0001F600", false, text::Encoding::Utf8, {'A', '?', 0xF0, 0x9F, 0x98, 0x80}, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        const auto parsed = server::ParseSendText(c.typed, c.hex, c.encoding);
        if (c.refusal) {
            ASSERT_TRUE(std::holds_alternative<std::string>(parsed));
            EXPECT_NE(std::get<std::string>(parsed).find(c.refusal), std::string::npos) << std::get<std::string>(parsed);
        } else {
            ASSERT_TRUE(std::holds_alternative<Bytes>(parsed));
            EXPECT_EQ(std::get<Bytes>(parsed), c.bytes);
        }
    }
}

}  // namespace
