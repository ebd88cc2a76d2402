#include "jobs/production/Station.h"

namespace jobs {

namespace {

// A waiting job looks at its stop flag this often.
constexpr auto kStopCheck = std::chrono::milliseconds(50);

}  // namespace

Station::Station(std::function<void(const server::News&)> observer) : observer_(std::move(observer))
{
    server_ = std::make_unique<server::ServerThread>([this] { Take(); });
    thread_ = server_.get();
}

Station::~Station()
{
    server_.reset();
}

void Station::Take()
{
    {
        const std::lock_guard hold(lock_);
        // Under the lock: news are filed and shown in the order they came.
        // Through the plain pointer: while the server goes, server_ is
        // already empty, and its thread may still have news.
        const server::News news = thread_->Take();
        File(news);
        if (observer_)
            observer_(news);
    }
    news_.notify_all();
}

std::string Station::Start(const std::string& host, std::uint16_t port)
{
    server::Options options;
    options.host = host;
    options.port = port;
    options.heartbeat = server::Bytes(kHeartbeat.begin(), kHeartbeat.end());
    server_->Start(options);
    std::unique_lock hold(lock_);
    // Binding a socket answers at once; the bound is for a stalled machine.
    WaitUntil([&] { return listening_ || startFailed_.has_value(); }, Clock::now() + std::chrono::seconds(10), nullptr,
              hold);
    if (startFailed_)
        return *startFailed_;
    return listening_ ? "" : "the test server did not start within 10 s";
}

void Station::Stop()
{
    server_->Stop();
    std::unique_lock hold(lock_);
    WaitUntil([&] { return stopped_ || !listening_; }, Clock::now() + std::chrono::seconds(1), nullptr, hold);
}

std::uint16_t Station::port() const
{
    const std::lock_guard hold(lock_);
    return port_;
}

void Station::File(const server::News& news)
{
    if (news.startFailed)
        startFailed_ = news.startFailed;
    if (news.running) {
        listening_ = true;
        port_ = news.port;
    }
    for (const server::Event& e : news.events) {
        if (e.kind == server::EventKind::Stopped)
            stopped_ = true;
        if (e.id == 0)
            continue;  // the server's own
        Peer& peer = peers_[e.id];
        switch (e.kind) {
        case server::EventKind::Registration:
            peer.registration.assign(e.bytes.begin(), e.bytes.end());
            peer.registeredWallMs = e.wallMs;
            byToken_[peer.registration] = e.id;
            break;
        case server::EventKind::Heartbeat:
            peer.heartbeats.push_back(e.wallMs);
            break;
        case server::EventKind::Data:
            peer.data.bytes.insert(peer.data.bytes.end(), e.bytes.begin(), e.bytes.end());
            peer.data.lastWallMs = e.wallMs;
            break;
        case server::EventKind::Closed:
            peer.closed = true;
            break;
        default:
            break;
        }
    }
}

bool Station::WaitUntil(const std::function<bool()>& done, Clock::time_point deadline, const std::atomic<bool>* stop,
                        std::unique_lock<std::mutex>& hold)
{
    for (;;) {
        if (done())
            return true;
        if ((stop && stop->load()) || Clock::now() >= deadline)
            return false;
        news_.wait_until(hold, std::min(deadline, Clock::now() + kStopCheck));
    }
}

std::optional<Station::Arrival> Station::AwaitRegistration(const std::string& token, Clock::time_point deadline,
                                                           const std::atomic<bool>* stop)
{
    std::unique_lock hold(lock_);
    if (!WaitUntil([&] { return byToken_.count(token) != 0; }, deadline, stop, hold))
        return std::nullopt;
    const std::uint64_t id = byToken_.at(token);
    return Arrival{id, peers_[id].registeredWallMs};
}

std::optional<Station::Arrival> Station::AwaitHeartbeat(std::uint64_t connection, std::int64_t afterWallMs,
                                                        Clock::time_point deadline, const std::atomic<bool>* stop)
{
    std::unique_lock hold(lock_);
    std::optional<Arrival> found;
    WaitUntil(
        [&] {
            for (const std::int64_t at : peers_[connection].heartbeats)
                if (at >= afterWallMs) {
                    found = Arrival{connection, at};
                    return true;
                }
            return false;
        },
        deadline, stop, hold);
    return found;
}

void Station::ClearData(std::uint64_t connection)
{
    const std::lock_guard hold(lock_);
    peers_[connection].data = {};
}

Station::Carried Station::AwaitData(std::uint64_t connection,
                                    const std::function<bool(const std::vector<std::uint8_t>&)>& whole,
                                    Clock::time_point deadline, const std::atomic<bool>* stop)
{
    std::unique_lock hold(lock_);
    WaitUntil([&] { return whole(peers_[connection].data.bytes) || peers_[connection].closed; }, deadline, stop, hold);
    return peers_[connection].data;
}

void Station::Send(std::uint64_t connection, std::vector<std::uint8_t> bytes)
{
    server_->Send(connection, std::move(bytes));
}

}  // namespace jobs
