#pragma once

#include <algorithm>
#include <arpa/inet.h>
#include <chrono>
#include <cstdint>
#include <netinet/in.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

// A listening socket on a free port of 127.0.0.1. The kernel completes
// connections to it whether or not they are accepted, so it also plays a
// server that takes a connection and never speaks; `Received` accepts one.
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
        for (const int fd : {peer_, filler_})
            if (fd >= 0)
                ::close(fd);
    }
    std::uint16_t port() const { return port_; }
    void Close()
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }
    // From now on the kernel leaves new connections unanswered, as a host
    // behind a firewall does: a connection of our own takes the one place
    // left in the queue.
    void StopAnswering()
    {
        ::listen(fd_, 0);
        filler_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = htons(port_);
        ::connect(filler_, reinterpret_cast<sockaddr*>(&a), sizeof a);
    }
    // The accepted connection, for a test that plays the server itself.
    int Peer()
    {
        if (peer_ < 0)
            peer_ = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        return peer_;
    }
    // What the DTU sent so far on the accepted connection: until it has
    // been quiet for 200 ms, and at least `atLeast` bytes unless `limit`
    // passes first (a loaded machine pauses a long write for longer).
    std::string Received(std::size_t atLeast = 0, std::chrono::milliseconds limit = std::chrono::seconds(20))
    {
        pollfd p{Peer(), POLLIN, 0};
        std::string got;
        const auto deadline = std::chrono::steady_clock::now() + limit;
        const auto wait = [&] {
            if (got.size() >= atLeast)
                return 200;
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            return static_cast<int>(std::max<std::int64_t>(0, left.count()));
        };
        while (::poll(&p, 1, wait()) > 0) {
            char buffer[4096];
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
    int filler_ = -1;
    std::uint16_t port_ = 0;
};

// A TCP port on 127.0.0.1 that nothing listens on now.
inline std::uint16_t FreePort()
{
    return Listener().port();
}
