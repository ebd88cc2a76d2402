#include "dtu-sim/sim/SimulatedDtu.h"

#include "core/common/Hex.h"
#include "driver/serial/LineSettings.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <termios.h>
#include <unistd.h>

namespace sim {

namespace {

std::int64_t NowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

SimulatedDtu::SimulatedDtu(Options options) : options_(options), device_(LocalClock(), NowMs())
{
    device_.faults = options_.faults;
    if (!options_.version.empty())
        device_.version = options_.version;
    if (!options_.signal.empty())
        device_.signal = options_.signal;
}

SimulatedDtu::~SimulatedDtu()
{
    Stop();
}

bool SimulatedDtu::Start()
{
    if (thread_.joinable())
        return true;
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    char name[128] = {};
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0 ||
        ptsname_r(master_, name, sizeof name) != 0) {
        error_ = std::string("no pseudo-terminal: ") + std::strerror(errno);
        Stop();
        return false;
    }
    path_ = name;
    keeper_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    wake_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (keeper_ < 0 || wake_ < 0) {
        error_ = std::string("cannot prepare the pseudo-terminal: ") + std::strerror(errno);
        Stop();
        return false;
    }
    if (options_.log && options_.parity != 0)
        *options_.log << "note: parity cannot be seen on a pseudo-terminal; only the baud rate is checked\n";
    if (options_.online)
        uplink_ = std::make_unique<Uplink>(options_.heartbeatMs, options_.log);
    thread_ = std::thread(&SimulatedDtu::Run, this);
    return true;
}

void SimulatedDtu::Stop()
{
    if (thread_.joinable()) {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(wake_, &one, sizeof one);
        thread_.join();
    }
    uplink_.reset();
    HangUp();
    if (wake_ >= 0)
        ::close(wake_);
    wake_ = -1;
}

void SimulatedDtu::HangUp()
{
    // Closing every descriptor of the pair is what the tool sees as a
    // device pulled from the machine.
    if (master_ >= 0)
        ::close(master_);
    if (keeper_ >= 0)
        ::close(keeper_);
    master_ = keeper_ = -1;
}

void SimulatedDtu::SetFaults(const Faults& faults)
{
    std::lock_guard lock(mutex_);
    device_.faults = faults;
}

void SimulatedDtu::WithDevice(const std::function<void(Device&)>& f)
{
    std::lock_guard lock(mutex_);
    f(device_);
}

void SimulatedDtu::Run()
{
    RequestParser parser;
    std::uint8_t buffer[4096];
    for (;;) {
        std::int64_t next = parser.Deadline();
        for (const Pending& p : pending_)
            next = next < 0 ? p.atMs : std::min(next, p.atMs);
        const std::int64_t now = NowMs();
        if (uplink_) {
            LinkSettings link;
            {
                std::lock_guard lock(mutex_);
                link = device_.Link();
            }
            uplink_->Configure(link, now);
            const std::int64_t due = uplink_->Deadline();
            if (due >= 0)
                next = next < 0 ? due : std::min(next, due);
        }
        const int timeout = next < 0 ? -1 : static_cast<int>(std::max<std::int64_t>(0, next - now));
        pollfd fds[3] = {{wake_, POLLIN, 0}, {master_, POLLIN, 0}, {-1, 0, 0}};
        if (uplink_)
            fds[2] = {uplink_->fd(), uplink_->events(), 0};
        if (::poll(fds, 3, timeout) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (fds[0].revents != 0)
            return;
        const std::int64_t at = NowMs();
        if (fds[1].revents & POLLIN) {
            const ssize_t n = ::read(master_, buffer, sizeof buffer);
            if (n > 0) {
                const Bytes bytes(buffer, buffer + n);
                Log("rx", bytes);
                parser.Feed(bytes, at);
                if (options_.paceLine)
                    inFreeUs_ = std::max(inFreeUs_, at * 1000.0) + static_cast<double>(n) * ByteUs();
            } else if (n == 0 || (errno != EAGAIN && errno != EINTR && errno != EIO)) {
                return;
            }
        } else if (fds[1].revents & (POLLERR | POLLNVAL)) {
            return;
        }
        while (auto frame = parser.Next(at))
            if (!Uplinked(*frame))
                Answer(*frame, at);
        if (uplink_) {
            Bytes down = uplink_->Service(fds[2].fd >= 0 ? fds[2].revents : 0, at);
            if (!down.empty() && options_.loseData) {
                Log("net, lost", down);
            } else if (!down.empty()) {
                Log("net", down);
                Schedule(std::move(down), at);
            }
        }
        Flush(at);
        bool hangup = false;
        {
            std::lock_guard lock(mutex_);
            hangup = device_.hangup();
        }
        if (hangup) {
            if (options_.log)
                *options_.log << "fault: closing the line\n" << std::flush;
            HangUp();
            hungUp_ = true;
            return;
        }
    }
}

bool SimulatedDtu::Uplinked(const Bytes& frame)
{
    if (!uplink_ || !uplink_->carriesData() || frame.empty())
        return false;
    // Settings requests and firmware blocks are for the DTU itself in every mode.
    if (frame.size() >= 2 && (frame[0] == 0xFA || frame[0] == 0xFB) && frame[1] == 0x80)
        return false;
    if (options_.loseData)
        Log("serial, lost", frame);
    else if (!uplink_->Send(frame) && options_.log)
        *options_.log << "online: not connected, serial data dropped\n" << std::flush;
    return true;
}

bool SimulatedDtu::LineMatches()
{
    termios t{};
    if (::tcgetattr(master_, &t) != 0)
        return true;
    const auto wanted = serial::BaudToSpeed(options_.baudRate);
    if (!wanted || cfgetospeed(&t) == *wanted) {
        lastMismatch_.clear();
        return true;
    }
    const auto actual = serial::SpeedToBaud(cfgetospeed(&t));
    const std::string report = "line mismatch: the port runs at " +
                               (actual ? std::to_string(*actual) : std::string("an unknown rate")) +
                               " baud, the DTU expects " + std::to_string(options_.baudRate) +
                               "; frames are not understood";
    if (report != lastMismatch_ && options_.log)
        *options_.log << report << "\n" << std::flush;
    lastMismatch_ = report;
    return false;
}

void SimulatedDtu::Answer(const Bytes& frame, std::int64_t nowMs)
{
    // At the wrong rate a real DTU receives garbage and answers nothing.
    if (!LineMatches())
        return;
    std::lock_guard lock(mutex_);
    const std::vector<Bytes> replies = device_.Handle(frame, nowMs);
    const Faults& f = device_.faults;
    if (f.noReply)
        return;
    // On a paced line the request is complete only when its last byte is.
    const std::int64_t heard =
        options_.paceLine ? std::max<std::int64_t>(nowMs, static_cast<std::int64_t>(std::ceil(inFreeUs_ / 1000))) : nowMs;
    for (Bytes reply : replies) {
        if (reply.empty())
            continue;
        if (f.corruptEnvelope)
            reply.back() = 0x00;
        const std::int64_t at = heard + f.delayMs;
        if (f.splitPauseMs >= 0 && reply.size() >= 2) {
            const auto half = reply.begin() + static_cast<long>(reply.size() / 2);
            Schedule(Bytes(reply.begin(), half), at);
            Schedule(Bytes(half, reply.end()), at + f.splitPauseMs);
        } else {
            Schedule(std::move(reply), at);
        }
    }
}

void SimulatedDtu::Schedule(Bytes bytes, std::int64_t atMs)
{
    if (!options_.paceLine) {
        pending_.push_back({atMs, std::move(bytes)});
        return;
    }
    // Each byte leaves when its ten bits are through: bytes that finish in
    // the same millisecond go out together.
    double t = std::max(outFreeUs_, atMs * 1000.0);
    Bytes piece;
    std::int64_t pieceMs = -1;
    for (std::uint8_t b : bytes) {
        t += ByteUs();
        const auto ms = static_cast<std::int64_t>(std::ceil(t / 1000));
        if (ms != pieceMs && !piece.empty()) {
            pending_.push_back({pieceMs, std::move(piece)});
            piece.clear();
        }
        pieceMs = ms;
        piece.push_back(b);
    }
    if (!piece.empty())
        pending_.push_back({pieceMs, std::move(piece)});
    outFreeUs_ = t;
}

void SimulatedDtu::Flush(std::int64_t nowMs)
{
    std::stable_sort(pending_.begin(), pending_.end(),
                     [](const Pending& a, const Pending& b) { return a.atMs < b.atMs; });
    auto due = pending_.begin();
    for (; due != pending_.end() && due->atMs <= nowMs; ++due) {
        Log("tx", due->bytes);
        std::size_t sent = 0;
        while (sent < due->bytes.size()) {
            const ssize_t n = ::write(master_, due->bytes.data() + sent, due->bytes.size() - sent);
            if (n > 0) {
                sent += static_cast<std::size_t>(n);
            } else if (n < 0 && errno == EINTR) {
                continue;
            } else {
                // Nobody reads the line: the answer is lost, as on a wire.
                if (options_.log)
                    *options_.log << "tx dropped: nobody reads the line\n" << std::flush;
                break;
            }
        }
    }
    pending_.erase(pending_.begin(), due);
}

void SimulatedDtu::Log(const char* direction, const Bytes& bytes)
{
    if (!options_.log)
        return;
    const auto ms = NowMs() % 100000;
    char stamp[16];
    std::snprintf(stamp, sizeof stamp, "%02lld.%03lld", static_cast<long long>(ms / 1000),
                  static_cast<long long>(ms % 1000));
    *options_.log << stamp << ' ' << direction << ' ' << hex::FormatSpaced(bytes) << "\n" << std::flush;
}

}  // namespace sim
