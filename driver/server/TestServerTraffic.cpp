// A connection's traffic: reading and completing packets, the history,
// sending, and closing.
#include "driver/server/TestServer.h"

#include "core/common/Tr.h"

#include <cerrno>
#include <cstring>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <sys/timerfd.h>
#include <unistd.h>

namespace server {

namespace {

constexpr std::size_t kReadChunk = 64 * 1024;
// What a packet of the history costs beyond its bytes: its record and the
// allocator's header of its buffer.
constexpr std::size_t kPacketOverhead = sizeof(Packet) + 16;

}  // namespace

void TestServer::Read(Slot& s, Now now)
{
    static thread_local std::uint8_t buffer[kReadChunk];
    const ssize_t n = ::recv(s.fd, buffer, sizeof buffer, 0);
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
        return;
    if (n <= 0) {
        const std::string reason = n == 0 ? "closed by the DTU" : std::strerror(errno);
        CompletePacket(s, now);
        Drop(s.info.id, now, reason);
        return;
    }
    // Bytes after the gap start a new packet, even when they are read in
    // the same turn as the timer that would have ended the old one.
    if (!s.pending.empty() && now.steadyMs - s.lastByteSteadyMs >= options_.packetGapMs)
        CompletePacket(s, now);
    s.info.bytesIn += static_cast<std::uint64_t>(n);
    s.info.lastActivityWallMs = now.wallMs;
    Touch(s);
    const bool wasEmpty = s.pending.empty();
    for (ssize_t at = 0; at < n;) {
        const std::size_t room = options_.maxPacketBytes - s.pending.size();
        const std::size_t take = std::min(room, static_cast<std::size_t>(n - at));
        s.pending.insert(s.pending.end(), buffer + at, buffer + at + take);
        at += static_cast<ssize_t>(take);
        if (s.pending.size() >= options_.maxPacketBytes)
            CompletePacket(s, now);
    }
    s.lastByteSteadyMs = now.steadyMs;
    // One deadline per gathering packet; a later byte moves it on when it
    // falls due (CompleteDue).
    if (wasEmpty && !s.pending.empty())
        deadlines_.push({now.steadyMs + options_.packetGapMs, s.info.id});
}

void TestServer::CompleteDue(Now now)
{
    while (!deadlines_.empty() && deadlines_.top().first <= now.steadyMs) {
        const std::uint64_t id = deadlines_.top().second;
        deadlines_.pop();
        const auto it = slots_.find(id);
        if (it == slots_.end() || it->second.pending.empty())
            continue;
        Slot& s = it->second;
        const std::int64_t due = s.lastByteSteadyMs + options_.packetGapMs;
        if (due > now.steadyMs)
            deadlines_.push({due, id});
        else
            CompletePacket(s, now);
    }
}

void TestServer::ArmTimer(Now now)
{
    const std::int64_t next = deadlines_.empty() ? -1 : deadlines_.top().first;
    if (next == armedMs_)
        return;
    armedMs_ = next;
    itimerspec t{};
    if (next >= 0) {
        const std::int64_t in = std::max<std::int64_t>(1, next - now.steadyMs);
        t.it_value.tv_sec = static_cast<time_t>(in / 1000);
        t.it_value.tv_nsec = static_cast<long>(in % 1000) * 1000000L;
    }
    ::timerfd_settime(timer_, 0, &t, nullptr);
}

void TestServer::CompletePacket(Slot& s, Now now)
{
    if (s.pending.empty())
        return;
    Event e = Base(EventKind::Data, s, now);
    e.bytes.swap(s.pending);
    if (!s.gotFirst) {
        s.gotFirst = true;
        e.kind = EventKind::Registration;
        e.match = !options_.registration ? Match::NotExpected
                  : *options_.registration == e.bytes ? Match::Equal
                                                      : Match::Different;
        s.info.registration = e.bytes;
        s.info.registrationMatch = e.match;
    } else if (options_.heartbeat && !options_.heartbeat->empty() && *options_.heartbeat == e.bytes) {
        e.kind = EventKind::Heartbeat;
        e.heartbeats = ++s.info.heartbeats;
        if (s.lastHeartbeatSteadyMs >= 0)
            e.intervalMs = s.info.lastIntervalMs = now.steadyMs - s.lastHeartbeatSteadyMs;
        s.lastHeartbeatSteadyMs = now.steadyMs;
    }
    Record(s, {now.wallMs, false, e.kind, e.bytes});
    events_.push_back(std::move(e));
}

void Remember(Connection& c, Packet packet, std::size_t budget)
{
    c.historyBytes += packet.bytes.size() + kPacketOverhead;
    c.history.push_back(std::move(packet));
    while (c.historyBytes > budget && c.history.size() > 1) {
        c.historyBytes -= c.history.front().bytes.size() + kPacketOverhead;
        c.history.pop_front();
    }
}

void TestServer::Record(Slot& s, Packet packet)
{
    Remember(s.info, std::move(packet), options_.historyBytes);
    Touch(s);
}

std::string TestServer::Send(std::uint64_t id, const Bytes& bytes, Now now)
{
    const auto it = slots_.find(id);
    if (it == slots_.end())
        return DTU_TR("server", "the DTU has disconnected");
    if (bytes.empty())
        return {};
    Slot& s = it->second;
    if (s.out.size() - s.outSent + bytes.size() > options_.maxQueuedBytes)
        return text::Fill(DTU_TR("server", "the DTU is not reading: %1 bytes still wait"),
                          {std::to_string(s.out.size() - s.outSent)});
    s.out.insert(s.out.end(), bytes.begin(), bytes.end());
    Event e = Base(EventKind::Sent, s, now);
    e.bytes = bytes;
    Record(s, {now.wallMs, true, EventKind::Sent, bytes});
    events_.push_back(std::move(e));
    Flush(s, now);
    return {};
}

std::size_t TestServer::SendAll(const Bytes& bytes, Now now)
{
    std::size_t took = 0;
    for (const std::uint64_t id : Ids())
        took += Send(id, bytes, now).empty() ? 1 : 0;
    return took;
}

void TestServer::Flush(Slot& s, Now now)
{
    while (s.outSent < s.out.size()) {
        const ssize_t n = ::send(s.fd, s.out.data() + s.outSent, s.out.size() - s.outSent, MSG_NOSIGNAL);
        if (n > 0) {
            s.outSent += static_cast<std::size_t>(n);
            s.info.bytesOut += static_cast<std::uint64_t>(n);
            s.info.lastActivityWallMs = now.wallMs;
            Touch(s);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            Watch(s, true);
            return;
        }
        Drop(s.info.id, now, std::strerror(errno));
        return;
    }
    s.out.clear();
    s.outSent = 0;
    Watch(s, false);
}

void TestServer::Watch(Slot& s, bool out)
{
    if (s.watchingOut == out)
        return;
    s.watchingOut = out;
    epoll_event e{};
    e.events = EPOLLIN | EPOLLRDHUP | (out ? EPOLLOUT : 0u);
    e.data.u64 = s.info.id;
    ::epoll_ctl(epoll_, EPOLL_CTL_MOD, s.fd, &e);
}

void TestServer::Close(std::uint64_t id, Now now, const std::string& reason)
{
    const auto it = slots_.find(id);
    if (it == slots_.end())
        return;
    CompletePacket(it->second, now);
    Drop(id, now, reason);
}

void TestServer::Drop(std::uint64_t id, Now now, const std::string& reason)
{
    const auto it = slots_.find(id);
    if (it == slots_.end())
        return;
    Slot& s = it->second;
    // So that the list stays within the open connections for a caller
    // that never takes it.
    if (s.changed)
        std::erase(changed_, id);
    ::epoll_ctl(epoll_, EPOLL_CTL_DEL, s.fd, nullptr);
    ::close(s.fd);
    Event e = Base(EventKind::Closed, s, now);
    e.reason = reason;
    e.bytesIn = s.info.bytesIn;
    e.bytesOut = s.info.bytesOut;
    events_.push_back(std::move(e));
    slots_.erase(it);
}

}  // namespace server
