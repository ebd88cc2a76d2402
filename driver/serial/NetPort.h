// Connecting to a port across the network (see core/net/PortUrl.h): the slow
// part of opening one, kept apart from the driver so that a window can run
// it on a worker thread and hand the result to the driver on its own.
#pragma once

#include "core/net/PortUrl.h"
#include "core/net/Telnet.h"
#include "driver/serial/SerialPort.h"

#include <chrono>
#include <span>
#include <sys/socket.h>
#include <utility>

namespace serial {

// A connection that has been made, or why not. The descriptor is owned:
// closed on destruction unless handed to SerialPort::Adopt.
struct NetConnection {
    NetConnection() = default;
    NetConnection(NetConnection&& other) noexcept;
    NetConnection& operator=(NetConnection&& other) noexcept;
    ~NetConnection();

    int fd = -1;
    SerialError error = SerialError::None;
    // The system's error, or for LineRefused the rate the server answered.
    int err = 0;
    bool telnet = false;
    // ServerClosed: the text the server sent before closing, if any.
    std::string serverSaid;
    // The Telnet state the negotiation left, for the reader to go on from.
    net::telnet::Decoder decoder;
    net::telnet::ComPortClient client;
};

// Cancels a ConnectPort running on another thread from any thread.
class Canceller {
public:
    Canceller();
    ~Canceller();
    Canceller(const Canceller&) = delete;
    Canceller& operator=(const Canceller&) = delete;
    void Cancel();
    // Forgets an earlier Cancel, before a new connection is made.
    void Reset();
    int Fd() const { return fd_; }

private:
    int fd_;
};

// Looks the host up, connects and, for rfc2217://, has the server set its
// line to `baud` and `parity`, all within `timeoutMs`, the name look-up
// included; a server that turns us away while its port or device is still
// in use is asked again within that time. A signal on `cancelFd` gives up
// at once with Closed.
NetConnection ConnectPort(const net::PortUrl& url, unsigned baud, unsigned parity, int cancelFd,
                          int timeoutMs = SerialPort::kConnectTimeoutMs);

// One address of a host, as the look-up gave it.
struct NetAddress {
    sockaddr_storage address{};
    socklen_t length = 0;
};

// Connects to the first of `addresses` that answers. Each has its share of
// the time left, so that one that never answers leaves the next its turn.
NetConnection ConnectAny(std::span<const NetAddress> addresses, int cancelFd,
                         std::chrono::steady_clock::time_point deadline);

// A failed look-up as what it was: getaddrinfo's code and, for EAI_SYSTEM,
// the errno of the thread that ran it. HostNotFound for a name that does
// not exist; LookupFailed for a look-up that could not be made, with the
// system's error, or 0 when no name server could answer.
std::pair<SerialError, int> LookupFailure(int code, int sysErr);

}  // namespace serial
