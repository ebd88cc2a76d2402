// The test server of a production run, shared by the units tested at once:
// each unit registers with a token of its own, so its connection is told
// from the others' whatever its own ID says, and the unit's job then waits
// for its heartbeat and its data on that connection alone.
//
// The server runs on its own thread (server::ServerThread), which files
// its news by connection as they come and wakes the jobs that wait: no job
// waits longer than its own deadline, and an observer sees every news.
#pragma once

#include "driver/server/ServerThread.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>

namespace jobs {

class Station {
public:
    using Clock = std::chrono::steady_clock;
    // The heartbeat every unit of a run is given: one for all, so the
    // server tells it from data on any connection.
    static constexpr std::string_view kHeartbeat = "HB";

    // `observer`, when given, sees every News as the station took it (a
    // window's server page shows the connections), on the server's thread.
    explicit Station(std::function<void(const server::News&)> observer = {});
    ~Station();
    Station(const Station&) = delete;
    Station& operator=(const Station&) = delete;

    // Listens; empty on success, else why not.
    std::string Start(const std::string& host, std::uint16_t port);
    std::uint16_t port() const;
    // Stops listening and closes every connection; the observer sees it
    // (waits a moment for the server's thread to say so).
    void Stop();

    struct Arrival {
        std::uint64_t connection = 0;
        std::int64_t wallMs = 0;  // when the packet ended
    };
    // The connection whose registration is `token`, once it arrives: by
    // `deadline`, unless `stop` is set first (then nothing either).
    std::optional<Arrival> AwaitRegistration(const std::string& token, Clock::time_point deadline,
                                             const std::atomic<bool>* stop);
    // The first heartbeat on `connection` after `afterWallMs`.
    std::optional<Arrival> AwaitHeartbeat(std::uint64_t connection, std::int64_t afterWallMs,
                                          Clock::time_point deadline, const std::atomic<bool>* stop);
    // Forgets what `connection` carried so far: an echo counts from here.
    void ClearData(std::uint64_t connection);
    // What `connection` carried since ClearData once `whole` says it is
    // all there, or what came by `deadline`; with the time the last of it
    // arrived.
    struct Carried {
        std::vector<std::uint8_t> bytes;
        std::int64_t lastWallMs = 0;
    };
    Carried AwaitData(std::uint64_t connection, const std::function<bool(const std::vector<std::uint8_t>&)>& whole,
                      Clock::time_point deadline, const std::atomic<bool>* stop);
    void Send(std::uint64_t connection, std::vector<std::uint8_t> bytes);

private:
    struct Peer {
        std::string registration;
        std::int64_t registeredWallMs = 0;
        std::vector<std::int64_t> heartbeats;  // wall ms
        Carried data;
        bool closed = false;
    };

    // Waits until `done` holds or the deadline or a stop.
    bool WaitUntil(const std::function<bool()>& done, Clock::time_point deadline, const std::atomic<bool>* stop,
                   std::unique_lock<std::mutex>& hold);
    // On the server's thread: what it has to tell, filed and shown.
    void Take();
    void File(const server::News& news);

    std::function<void(const server::News&)> observer_;
    mutable std::mutex lock_;
    std::condition_variable news_;
    std::optional<std::string> startFailed_;
    bool listening_ = false;
    bool stopped_ = false;
    std::uint16_t port_ = 0;
    std::map<std::uint64_t, Peer> peers_;
    std::map<std::string, std::uint64_t> byToken_;
    // Last: its thread calls back into what is above until it is gone.
    std::unique_ptr<server::ServerThread> server_;
    server::ServerThread* thread_ = nullptr;  // server_'s, for its own thread
};

}  // namespace jobs
