// The test server under N DTUs, each beating once a second: plain client
// sockets of this program, not N simulators. The server runs on a thread of
// its own, as in dtuctl (poll on its descriptor, Process, take the events);
// its CPU time is that thread's, its memory the heap it holds once every
// DTU has registered and beaten.
// Usage: server_bench [--seconds S] [N ...]   (default: 10 100 1000, 5 s each)
#include "driver/server/TestServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <malloc.h>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double ThreadCpuSeconds()
{
    timespec t{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

std::size_t HeapBytes()
{
    return mallinfo2().uordblks;
}

struct Result {
    std::uint64_t heartbeats = 0;
    double cpuSeconds = 0;
    std::size_t heapBefore = 0, heapLoaded = 0, heapEnd = 0;
    std::size_t connections = 0;
};

// The server's thread: serves until `stop` is written; counts the
// heartbeats and the CPU time from `measureFrom` on.
class ServerThread {
public:
    explicit ServerThread(std::size_t n) : n_(n), stop_(::eventfd(0, EFD_CLOEXEC)) {}
    ~ServerThread() { ::close(stop_); }

    void Run()
    {
        result_.heapBefore = HeapBytes();
        server::TestServer server;
        server::Options options;
        options.host = "127.0.0.1";
        options.registration = server::Bytes{'R', 'E', 'G'};
        options.heartbeat = server::Bytes{'P', 'I', 'N', 'G'};
        if (!server.Start(options, server::Now::Current()).empty()) {
            port_.store(-1);
            return;
        }
        port_.store(server.port());
        double cpuFrom = 0;
        bool measuring = false;
        for (;;) {
            pollfd fds[2] = {{server.fd(), POLLIN, 0}, {stop_, POLLIN, 0}};
            ::poll(fds, 2, -1);
            if (fds[1].revents)
                break;
            server.Process(server::Now::Current());
            for (const server::Event& e : server.TakeEvents()) {
                if (e.kind != server::EventKind::Heartbeat)
                    continue;
                if (measuring)
                    ++result_.heartbeats;
                else if (e.heartbeats == 1 && ++beaten_ == n_) {
                    // Every DTU has registered and beaten: the load is on.
                    result_.heapLoaded = HeapBytes();
                    result_.connections = server.size();
                    measuring = true;
                    cpuFrom = ThreadCpuSeconds();
                    loaded_.store(true);
                }
            }
        }
        result_.cpuSeconds = ThreadCpuSeconds() - cpuFrom;
        result_.heapEnd = HeapBytes();
    }
    int port() const { return port_.load(); }
    bool loaded() const { return loaded_.load(); }
    void Stop()
    {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(stop_, &one, sizeof one);
    }
    const Result& result() const { return result_; }  // after the thread ended

private:
    std::size_t n_;
    int stop_;
    std::atomic<int> port_{0};
    std::atomic<bool> loaded_{false};
    std::size_t beaten_ = 0;  // server thread
    Result result_;           // server thread until joined
};

int Connect(int port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<std::uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool Measure(std::size_t n, double seconds)
{
    ServerThread serverThread(n);
    std::thread thread(&ServerThread::Run, &serverThread);
    while (serverThread.port() == 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    if (serverThread.port() < 0) {
        thread.join();
        std::fprintf(stderr, "the server cannot listen\n");
        return false;
    }
    std::vector<int> clients;
    for (std::size_t i = 0; i < n; ++i) {
        const int fd = Connect(serverThread.port());
        if (fd < 0)
            break;
        clients.push_back(fd);
        [[maybe_unused]] const ssize_t sent = ::send(fd, "REG", 3, MSG_NOSIGNAL);
    }
    // Each DTU beats once a second, the N of them spread over the second.
    const auto start = Clock::now();
    const auto beatAt = [&](std::size_t i, std::uint64_t k) {
        return start + std::chrono::milliseconds(100) + std::chrono::microseconds(1000000 * k + 1000000 * i / n);
    };
    std::vector<std::uint64_t> beats(clients.size(), 0);
    const auto loadedBy = Clock::now() + std::chrono::seconds(10);
    Clock::time_point end = Clock::time_point::max();
    for (bool running = true; running;) {
        const auto now = Clock::now();
        for (std::size_t i = 0; i < clients.size(); ++i) {
            if (beatAt(i, beats[i]) <= now) {
                [[maybe_unused]] const ssize_t sent = ::send(clients[i], "PING", 4, MSG_NOSIGNAL);
                ++beats[i];
            }
        }
        if (end == Clock::time_point::max() && serverThread.loaded())
            end = now + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
        running = now < end && (serverThread.loaded() || now < loadedBy);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    serverThread.Stop();
    thread.join();
    for (const int fd : clients)
        ::close(fd);

    const Result& r = serverThread.result();
    if (r.connections < n || r.heartbeats == 0) {
        std::fprintf(stderr, "N=%zu: only %zu connections, %llu heartbeats\n", n, r.connections,
                     static_cast<unsigned long long>(r.heartbeats));
        return false;
    }
    const double perBeatUs = r.cpuSeconds * 1e6 / static_cast<double>(r.heartbeats);
    const double coreShare = perBeatUs * static_cast<double>(n) / 1e6 * 100.0;  // n beats a second
    const auto perDtu = [&](std::size_t heap) {
        return static_cast<double>(heap - std::min(heap, r.heapBefore)) / static_cast<double>(n);
    };
    std::printf("| %5zu | %10llu | %9.1f | %7.2f %% | %10.0f | %10.0f |\n", n,
                static_cast<unsigned long long>(r.heartbeats), perBeatUs, coreShare, perDtu(r.heapLoaded),
                perDtu(r.heapEnd));
    return true;
}

}  // namespace

int main(int argc, char* argv[])
{
    double seconds = 5;
    std::vector<std::size_t> sizes;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--seconds" && i + 1 < argc)
            seconds = std::atof(argv[++i]);
        else
            sizes.push_back(static_cast<std::size_t>(std::atol(argv[i])));
    }
    if (sizes.empty())
        sizes = {10, 100, 1000};
    // The clients' descriptors and the server's, in one process.
    const std::size_t limit = server::RaiseDescriptorLimit(2 * sizes.back() + 64);
    if (limit < 2 * sizes.back() + 64)
        std::fprintf(stderr, "note: only %zu descriptors; larger N may fail\n", limit);
    std::printf("Test server, N DTUs each beating once a second, %.0f s measured each\n\n", seconds);
    std::printf("|     N | heartbeats | CPU/beat  | of 1 core | heap/DTU   | heap/DTU   |\n");
    std::printf("|       |            | (us)      |           | registered | at the end |\n");
    std::printf("|------:|-----------:|----------:|----------:|-----------:|-----------:|\n");
    bool ok = true;
    for (const std::size_t n : sizes)
        ok = Measure(n, seconds) && ok;
    std::printf("\nCPU: the server thread's time per heartbeat, and at N beats a second as a share\n"
                "of one core. Heap: bytes per DTU once each has registered and beaten, and after\n"
                "the measured seconds (the history grows until its budget of 64 KiB a DTU).\n");
    return ok ? 0 : 1;
}
