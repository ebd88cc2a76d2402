// A TCP server for DTUs to connect to: it shows that a DTU reaches its
// server, registers, beats and carries data. The window and dtuctl both run
// this one; it knows no Qt and never blocks.
//
// Principles of operation
// - Everything the server waits on is behind one descriptor, fd(): an epoll
//   set holding the listening socket, every connection and a timerfd for
//   packet completion. A caller watches fd() for reading (poll(), a
//   QSocketNotifier) and calls Process() when it is readable; Process()
//   handles what is ready, never waits, and leaves events for TakeEvents().
// - One thread: every call comes from the thread that owns the server. A
//   caller whose thread may pause (a window) runs it in a ServerThread, so
//   that bytes are still stamped when they arrive.
// - A packet is what arrives without a pause of packetGapMs (cut at
//   maxPacketBytes): TCP keeps no boundaries, and a DTU sends each packet in
//   one burst. The first packet of a connection is its registration; a
//   later packet equal to the expected heartbeat is a heartbeat; the rest is
//   data.
// - Bounded: at most maxConnections connections (more are accepted and
//   closed at once, so that the backlog never fills); each connection keeps
//   the newest historyBytes of its packets and queues at most maxQueuedBytes
//   for sending; reads take at most 64 KiB per connection per turn, so a
//   flooding peer costs the others a turn, never their service.
// - Time comes in as a parameter (Now); the timerfd only wakes the caller.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <queue>
#include <string>
#include <vector>

namespace server {

using Bytes = std::vector<std::uint8_t>;

struct Now {
    std::int64_t steadyMs = 0;  // intervals
    std::int64_t wallMs = 0;    // what a person reads
    static Now Current();
};

struct Options {
    std::string host = "0.0.0.0";
    std::uint16_t port = 0;  // 0: any free port, see port()
    std::optional<Bytes> registration;
    std::optional<Bytes> heartbeat;
    std::size_t maxConnections = 1000;
    std::int64_t packetGapMs = 50;
    std::size_t maxPacketBytes = 4096;
    // Per connection, each packet counted with its bookkeeping, so that a
    // stream of tiny heartbeats is bounded in memory too, not in bytes only.
    std::size_t historyBytes = 64 * 1024;
    std::size_t maxQueuedBytes = 256 * 1024;
};

enum class EventKind { Listening, Connected, Refused, Registration, Heartbeat, Data, Sent, Closed, Stopped };
enum class Match { NotExpected, Equal, Different };

struct Event {
    EventKind kind = EventKind::Data;
    std::uint64_t id = 0;  // the connection; 0 for the server's own events
    std::string peer;      // "a.b.c.d:port"; the listening address for Listening
    std::int64_t wallMs = 0;
    Bytes bytes;                 // the packet, or what was sent
    Match match = Match::NotExpected;  // Registration
    std::uint64_t heartbeats = 0;      // Heartbeat: its number on the connection
    std::int64_t intervalMs = -1;      // Heartbeat: since the previous one
    std::string reason;                // Refused, Closed
    std::uint64_t bytesIn = 0, bytesOut = 0;  // Closed
};

struct Packet {
    std::int64_t wallMs = 0;
    bool sent = false;  // by the server
    EventKind kind = EventKind::Data;
    Bytes bytes;
};

struct Connection {
    std::uint64_t id = 0;
    std::string peer;
    std::int64_t connectedWallMs = 0;
    std::int64_t lastActivityWallMs = 0;
    std::uint64_t bytesIn = 0, bytesOut = 0;
    std::optional<Bytes> registration;
    Match registrationMatch = Match::NotExpected;
    std::uint64_t heartbeats = 0;
    std::int64_t lastIntervalMs = -1;
    std::deque<Packet> history;  // newest last
    std::size_t historyBytes = 0;  // what history holds, bookkeeping included
};

// Adds `packet` to the history and lets the oldest go beyond `budget`
// (Options::historyBytes); the newest packet always stays.
void Remember(Connection& c, Packet packet, std::size_t budget);

class TestServer {
public:
    TestServer();
    ~TestServer();
    TestServer(const TestServer&) = delete;
    TestServer& operator=(const TestServer&) = delete;

    // The one descriptor to watch for reading, for the server's whole life.
    int fd() const { return epoll_; }

    // Empty on success, else why it cannot listen.
    std::string Start(const Options& options, Now now);
    // Closes every connection and the listening socket.
    void Stop(Now now);
    bool running() const { return listen_ >= 0; }
    std::uint16_t port() const { return boundPort_; }
    const Options& options() const { return options_; }
    // Applies to packets from now on.
    void SetExpected(std::optional<Bytes> registration, std::optional<Bytes> heartbeat);

    void Process(Now now);
    std::vector<Event> TakeEvents();
    // The open connections whose Connection changed since the last call
    // (also by bytes that complete no packet yet, or go out late).
    std::vector<std::uint64_t> TakeChanged();

    // Queues bytes for one connection; empty on success, else why not.
    std::string Send(std::uint64_t id, const Bytes& bytes, Now now);
    // To every connection; the number that took it.
    std::size_t SendAll(const Bytes& bytes, Now now);
    void Close(std::uint64_t id, Now now, const std::string& reason = "closed by the server");

    // Open connections, oldest first.
    std::vector<std::uint64_t> Ids() const;
    const Connection* Find(std::uint64_t id) const;
    std::size_t size() const { return slots_.size(); }

private:
    struct Slot {
        Connection info;
        int fd = -1;
        Bytes pending;  // the packet being gathered
        std::int64_t lastByteSteadyMs = 0;
        std::int64_t lastHeartbeatSteadyMs = -1;
        bool gotFirst = false;
        Bytes out;
        std::size_t outSent = 0;
        bool watchingOut = false;
        bool changed = false;  // listed in changed_
    };
    using Deadline = std::pair<std::int64_t, std::uint64_t>;  // steady ms, connection

    void Accept(Now now);
    void Refuse(int fd, const std::string& peer, const std::string& reason, Now now);
    void Read(Slot& s, Now now);
    void Flush(Slot& s, Now now);
    void CompletePacket(Slot& s, Now now);
    void CompleteDue(Now now);
    void Record(Slot& s, Packet packet);
    void Drop(std::uint64_t id, Now now, const std::string& reason);
    void Watch(Slot& s, bool out);
    void Touch(Slot& s);
    void ArmTimer(Now now);
    Event Base(EventKind kind, const Slot& s, Now now) const;

    Options options_;
    int epoll_ = -1;
    int timer_ = -1;
    int listen_ = -1;
    int spare_ = -1;  // given up to accept and refuse when descriptors run out
    std::uint16_t boundPort_ = 0;
    std::uint64_t nextId_ = 1;
    std::map<std::uint64_t, Slot> slots_;
    std::priority_queue<Deadline, std::vector<Deadline>, std::greater<>> deadlines_;
    std::int64_t armedMs_ = -1;
    std::vector<Event> events_;
    std::vector<std::uint64_t> changed_;
};

// Raises the soft limit of open descriptors towards `wanted`, past the hard
// limit only where the process may raise that; the limit in force afterwards.
std::size_t RaiseDescriptorLimit(std::size_t wanted);

}  // namespace server
