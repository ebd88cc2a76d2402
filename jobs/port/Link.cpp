#include "jobs/port/Link.h"

#include "core/common/Hex.h"
#include "core/dtu/Frame.h"
#include "core/dtu/Responses.h"
#include "core/net/PortUrl.h"
#include "driver/serial/OpenFailure.h"
#include "jobs/port/Messages.h"

#include <system_error>
#include <thread>

namespace jobs {

using text::Fill;

void Link::OpenOrThrow(const std::string& path, unsigned baud, unsigned parity)
{
    if (!Open(path, baud, parity)) {
        const SerialError error = LastError();
        const bool setup = error == SerialError::Busy || error == SerialError::Permission;
        const std::string text = serial::OpenFailureText(error, LastErrno(), path, false, LastServerText());
        throw LinkFailure(Cause::OpenFailed, {}, setup ? Fill(msg::kDoctor, {text, path}) : text);
    }
    next_ = openedAt_ = std::chrono::steady_clock::now();
    path_ = path;
    baud_ = baud;
    parity_ = parity;
    answered_ = false;
}

void Link::OpenOrThrow(const std::string& path, const Line& line)
{
    SetFastReplies(line.fast);
    SetConnectTimeout(line.connectTimeoutMs);
    OpenOrThrow(path, line.baud, line.parity);
}

bool Link::Reconnected()
{
    const auto until = openedAt_ + std::chrono::milliseconds(ConnectTimeout());
    while (net::LooksLikeUrl(path_) && !answered_ && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        if (Open(path_, baud_, parity_))
            return true;
    }
    return false;
}

std::string Link::Gone() const
{
    // A server busy with another user closes as soon as it is reached.
    return IsNetwork() ? msg::kServerClosed : msg::kPortGone;
}

void Link::Send(std::span<const std::uint8_t> frame, const std::string& what)
{
    if (Write(frame.data(), frame.size()) || (PortLost() && Reconnected() && Write(frame.data(), frame.size())))
        return;
    throw LinkFailure(PortLost() ? GoneCause() : Cause::Other, what,
                      PortLost() ? Fill(msg::kGoneSending, {Gone(), what})
                                 : Fill(msg::kNotTaken, {what, std::generic_category().message(LastErrno())}));
}

Link::Link()
{
    rx_.SetWholeFrameSignal([this] {
        std::lock_guard lock(wakeMutex_);
        whole_ = true;
        wake_.notify_one();
    });
}

Link::~Link()
{
    Close();
    rx_.SetWholeFrameSignal(nullptr);
}

std::optional<Reply> Link::NextFrame()
{
    const auto keep = [this](const ReceiveBuffer::Frame& f) {
        completed_.push_back(Reply{std::vector<std::uint8_t>(f.bytes.begin(), f.bytes.end()), f.length});
    };
    if (completed_.empty()) {
        // Ticks keep their rhythm; after a long pause (a blocking write) they
        // restart from now rather than firing a burst.
        const auto tick = std::max(next_ + kTick, std::chrono::steady_clock::now());
        bool signalled = false;
        {
            std::unique_lock lock(wakeMutex_);
            signalled = wake_.wait_until(lock, tick, [this] { return whole_; });
            whole_ = false;
        }
        if (signalled) {
            rx_.DeliverWhole(keep);
        } else {
            next_ = tick;
            rx_.Tick(keep);
        }
    }
    if (completed_.empty())
        return std::nullopt;
    Reply reply = std::move(completed_.front());
    completed_.pop_front();
    return reply;
}

Reply Link::Exchange(std::span<const std::uint8_t> request, int timeoutMs, const std::string& what)
{
    const std::uint8_t code = request.size() > 2 ? request[2] : 0;
    ThrowIfStopped();
    Send(request, what);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
        // Nothing is half sent while an answer is awaited: a stop need not
        // wait for it.
        ThrowIfStopped();
        if (PortLost()) {
            if (!Reconnected())
                throw LinkFailure(GoneCause(), what, Fill(msg::kGoneWaiting, {Gone(), what}));
            Send(request, what);
            continue;
        }
        const std::optional<Reply> reply = NextFrame();
        if (!reply)
            continue;
        const dtu::Response r(reply->buffer, reply->length);
        if (reply->length > 2 && r.Code() != code)
            continue;
        answered_ = true;
        if (!r.EnvelopeOk())
            throw Failure(Fill(msg::kMalformed, {what, hex::FormatJoined(reply->frame())}));
        return *reply;
    }
    throw LinkFailure(Cause::NoAnswer, what,
                      Fill(msg::kNoAnswerSent, {what, std::to_string(timeoutMs), hex::FormatJoined(request)}));
}

}  // namespace jobs
