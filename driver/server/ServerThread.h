// The test server on a thread of its own, for a caller whose own thread may
// pause (the window: a dialog, a slow redraw). A packet ends after a quiet
// of the line, so the bytes must be stamped when they arrive, not when the
// caller next looks: this thread sleeps in poll() on the server and a
// wake-up eventfd, and handles every byte at once.
//
// The server is this thread's alone. The caller asks through the calls
// below, which queue the request and return at once; what happened comes
// back as News, gathered until the caller takes them. `ready` says, on this
// thread, that News wait where none waited: the window posts itself a
// queued call there and takes them on its own thread.
//
// Bounded: past kMaxBacklog events not taken, the thread stops reading the
// sockets (the kernel holds the bytes, TCP slows the DTUs) until the caller
// takes them.
#pragma once

#include "driver/server/TestServer.h"

#include <functional>
#include <map>
#include <mutex>
#include <thread>

namespace server {

struct News {
    std::vector<Event> events;  // in order
    // The newest counters of the connections that changed, their history
    // left out: the events carry every packet.
    std::map<std::uint64_t, Connection> rows;
    std::optional<std::string> startFailed;  // why a Start did not listen
    std::vector<std::string> notSent;        // why sends did not go
    // The server as it is when taken.
    bool running = false;
    std::uint16_t port = 0;
};

class ServerThread {
public:
    static constexpr std::size_t kMaxBacklog = 20000;

    explicit ServerThread(std::function<void()> ready);
    // Stops the server and joins the thread.
    ~ServerThread();
    ServerThread(const ServerThread&) = delete;
    ServerThread& operator=(const ServerThread&) = delete;

    void Start(Options options);
    void Stop();
    void SetExpected(std::optional<Bytes> registration, std::optional<Bytes> heartbeat);
    // To one connection, or to every one with id 0.
    void Send(std::uint64_t id, Bytes bytes);
    void Close(std::uint64_t id);

    News Take();

private:
    using Request = std::function<void(TestServer&, Now, News&)>;

    void Ask(Request request);
    void Wake();
    void Run();
    // What the server has to tell, added to `news`.
    void Gather(News& news);
    // `news` handed over; `ready` called where none waited.
    void Publish(News news, bool quit);

    std::function<void()> ready_;
    TestServer server_;  // this thread's only
    int wake_ = -1;
    std::mutex mutex_;
    std::vector<Request> requests_;
    News news_;
    bool running_ = false;
    std::uint16_t port_ = 0;
    bool waiting_ = false;  // news_ not taken since `ready` was called
    bool quit_ = false;
    std::thread thread_;
};

}  // namespace server
