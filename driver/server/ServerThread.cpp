#include "driver/server/ServerThread.h"

#include "core/common/Tr.h"

#include <cerrno>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <utility>

namespace server {

namespace {

// A row's counters: its history is the events' to carry, and copying it
// on every packet would cost the whole budget each time.
Connection Counters(const Connection& c)
{
    Connection row;
    row.id = c.id;
    row.peer = c.peer;
    row.connectedWallMs = c.connectedWallMs;
    row.lastActivityWallMs = c.lastActivityWallMs;
    row.bytesIn = c.bytesIn;
    row.bytesOut = c.bytesOut;
    row.registration = c.registration;
    row.registrationMatch = c.registrationMatch;
    row.heartbeats = c.heartbeats;
    row.lastIntervalMs = c.lastIntervalMs;
    return row;
}

}  // namespace

ServerThread::ServerThread(std::function<void()> ready)
    : ready_(std::move(ready)), wake_(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)), thread_([this] { Run(); })
{
}

ServerThread::~ServerThread()
{
    {
        const std::lock_guard lock(mutex_);
        quit_ = true;
    }
    Wake();
    thread_.join();
    if (wake_ >= 0)
        ::close(wake_);
}

void ServerThread::Ask(Request request)
{
    {
        const std::lock_guard lock(mutex_);
        requests_.push_back(std::move(request));
    }
    Wake();
}

void ServerThread::Wake()
{
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = ::write(wake_, &one, sizeof one);
}

void ServerThread::Start(Options options)
{
    Ask([options = std::move(options)](TestServer& s, Now now, News& news) {
        if (std::string failed = s.Start(options, now); !failed.empty())
            news.startFailed = std::move(failed);
    });
}

void ServerThread::Stop()
{
    Ask([](TestServer& s, Now now, News&) { s.Stop(now); });
}

void ServerThread::SetExpected(std::optional<Bytes> registration, std::optional<Bytes> heartbeat)
{
    Ask([registration = std::move(registration), heartbeat = std::move(heartbeat)](TestServer& s, Now, News&) {
        s.SetExpected(registration, heartbeat);
    });
}

void ServerThread::Send(std::uint64_t id, Bytes bytes)
{
    Ask([id, bytes = std::move(bytes)](TestServer& s, Now now, News& news) {
        if (id == 0) {
            if (s.SendAll(bytes, now) == 0)
                news.notSent.push_back(DTU_TR("server", "no DTU is connected"));
        } else if (std::string refusal = s.Send(id, bytes, now); !refusal.empty()) {
            news.notSent.push_back(std::move(refusal));
        }
    });
}

void ServerThread::Close(std::uint64_t id)
{
    Ask([id](TestServer& s, Now now, News&) { s.Close(id, now); });
}

News ServerThread::Take()
{
    News out;
    bool resume = false;
    {
        const std::lock_guard lock(mutex_);
        resume = news_.events.size() >= kMaxBacklog;
        out = std::exchange(news_, {});
        out.running = running_;
        out.port = port_;
        waiting_ = false;
    }
    if (resume)
        Wake();
    return out;
}

void ServerThread::Gather(News& news)
{
    for (Event& e : server_.TakeEvents())
        news.events.push_back(std::move(e));
    for (const std::uint64_t id : server_.TakeChanged())
        if (const Connection* c = server_.Find(id))
            news.rows[id] = Counters(*c);
}

void ServerThread::Publish(News news, bool quit)
{
    bool call = false;
    {
        const std::lock_guard lock(mutex_);
        running_ = server_.running();
        port_ = server_.port();
        const bool any = !news.events.empty() || !news.rows.empty() || news.startFailed || !news.notSent.empty();
        if (!any)
            return;
        news_.events.insert(news_.events.end(), std::make_move_iterator(news.events.begin()),
                            std::make_move_iterator(news.events.end()));
        for (auto& [id, row] : news.rows)
            news_.rows[id] = std::move(row);
        if (news.startFailed)
            news_.startFailed = std::move(news.startFailed);
        news_.notSent.insert(news_.notSent.end(), news.notSent.begin(), news.notSent.end());
        call = !waiting_ && !quit;
        waiting_ = waiting_ || call;
    }
    if (call && ready_)
        ready_();
}

void ServerThread::Run()
{
    for (;;) {
        bool paused = false;
        {
            const std::lock_guard lock(mutex_);
            paused = news_.events.size() >= kMaxBacklog;
        }
        // Paused, the sockets wait in the kernel; the timer that ends
        // packets waits with them, as their bytes are not read yet.
        pollfd fds[2] = {{wake_, POLLIN, 0}, {server_.fd(), POLLIN, 0}};
        // Without its eventfd (none to be had) the thread looks for
        // requests ten times a second instead.
        if (::poll(fds, paused ? 1 : 2, wake_ >= 0 ? -1 : 100) < 0 && errno != EINTR)
            break;
        if (fds[0].revents & POLLIN) {
            std::uint64_t count = 0;
            [[maybe_unused]] const ssize_t n = ::read(wake_, &count, sizeof count);
        }
        std::vector<Request> requests;
        bool quit = false;
        {
            const std::lock_guard lock(mutex_);
            requests.swap(requests_);
            quit = quit_;
        }
        News news;
        // Gathered after each: a Start drops the events it finds.
        for (const Request& r : requests) {
            r(server_, Now::Current(), news);
            Gather(news);
        }
        if (quit)
            server_.Stop(Now::Current());
        else if (!paused && (fds[1].revents & POLLIN))
            server_.Process(Now::Current());
        Gather(news);
        Publish(std::move(news), quit);
        if (quit)
            return;
    }
}

}  // namespace server
