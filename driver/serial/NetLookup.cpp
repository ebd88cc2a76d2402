#include "driver/serial/NetLookup.h"

#include <cerrno>
#include <cstring>
#include <memory>
#include <mutex>
#include <netdb.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <thread>
#include <tuple>
#include <unistd.h>

namespace serial {

int MsLeft(NetClock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - NetClock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

int Await(int fd, short events, int cancelFd, NetClock::time_point deadline)
{
    for (;;) {
        pollfd fds[2] = {{fd, events, 0}, {cancelFd, POLLIN, 0}};
        const int ready = ::poll(fds, cancelFd >= 0 ? 2 : 1, MsLeft(deadline));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return 0;
        if (cancelFd >= 0 && fds[1].revents != 0)
            return -1;
        return fds[0].revents;
    }
}

namespace {

// A name look-up on a thread of its own: the resolver keeps no time of ours
// and cannot be interrupted, so a cancelled or late look-up is left to
// finish alone and its result freed then.
struct Lookup {
    std::mutex lock;
    addrinfo* found = nullptr;  // under lock
    int code = EAI_SYSTEM;      // under lock
    int sysErr = 0;             // under lock; errno is the look-up thread's own
    int done = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    ~Lookup()
    {
        if (found)
            ::freeaddrinfo(found);
        if (done >= 0)
            ::close(done);
    }
};

Resolved Found(int code, int sysErr, addrinfo* found)
{
    Resolved r;
    if (code != 0) {
        std::tie(r.error, r.err) = LookupFailure(code, sysErr);
        return r;
    }
    for (const addrinfo* a = found; a; a = a->ai_next) {
        if (a->ai_addrlen > sizeof(sockaddr_storage))
            continue;
        NetAddress address;
        std::memcpy(&address.address, a->ai_addr, a->ai_addrlen);
        address.length = a->ai_addrlen;
        r.addresses.push_back(address);
    }
    ::freeaddrinfo(found);
    if (r.addresses.empty())
        r.error = SerialError::HostNotFound;
    return r;
}

}  // namespace

Resolved Resolve(const std::string& host, const std::string& service, int cancelFd, NetClock::time_point deadline)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    // Not AI_ADDRCONFIG: on a machine with loopback alone it would refuse
    // "localhost", the usual end of an SSH tunnel.
    hints.ai_flags = AI_NUMERICSERV | AI_NUMERICHOST;
    addrinfo* found = nullptr;
    // An address needs no resolver.
    if (const int code = ::getaddrinfo(host.c_str(), service.c_str(), &hints, &found); code != EAI_NONAME)
        return Found(code, errno, found);
    hints.ai_flags = AI_NUMERICSERV;
    const auto here = [&] {
        const int code = ::getaddrinfo(host.c_str(), service.c_str(), &hints, &found);
        return Found(code, errno, found);
    };
    auto lookup = std::make_shared<Lookup>();
    if (lookup->done < 0)
        return here();
    try {
        std::thread([lookup, host, service, hints] {
            addrinfo* result = nullptr;
            const int code = ::getaddrinfo(host.c_str(), service.c_str(), &hints, &result);
            const int sysErr = errno;
            std::lock_guard guard(lookup->lock);
            lookup->found = result;
            lookup->code = code;
            lookup->sysErr = sysErr;
            const std::uint64_t one = 1;
            [[maybe_unused]] const ssize_t n = ::write(lookup->done, &one, sizeof one);
        }).detach();
    } catch (const std::system_error&) {
        return here();
    }
    const int seen = Await(lookup->done, POLLIN, cancelFd, deadline);
    if (seen < 0)
        return {{}, SerialError::Closed, ECANCELED};
    if (seen == 0)
        return {{}, SerialError::LookupFailed, 0};
    std::lock_guard guard(lookup->lock);
    return Found(lookup->code, lookup->sysErr, std::exchange(lookup->found, nullptr));
}

std::pair<SerialError, int> LookupFailure(int code, int sysErr)
{
    switch (code) {
    case EAI_NONAME:
#ifdef EAI_NODATA
    case EAI_NODATA:
#endif
#ifdef EAI_ADDRFAMILY
    case EAI_ADDRFAMILY:
#endif
        return {SerialError::HostNotFound, 0};
    case EAI_AGAIN:  // no name server answered in the resolver's time
    case EAI_FAIL:   // one answered with an error of its own
        return {SerialError::LookupFailed, 0};
    case EAI_MEMORY:
        return {SerialError::LookupFailed, ENOMEM};
    case EAI_SYSTEM:
        return {SerialError::LookupFailed, sysErr};
    default:
        return {SerialError::LookupFailed, EINVAL};
    }
}

}  // namespace serial
