#include "jobs/port/Upgrade.h"

#include "jobs/port/Messages.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace jobs {

using text::Fill;

namespace {

class LinkSink : public upgrade::FrameSink {
public:
    explicit LinkSink(Link& link) : link_(link) {}
    void WriteFrame(std::span<const std::uint8_t> frame) override { link_.Send(frame, msg::kImageBlock); }

private:
    Link& link_;
};

class MemorySource : public upgrade::ImageSource {
public:
    explicit MemorySource(const upgrade::Bytes& bytes) : bytes_(bytes) {}
    long Read(std::uint8_t* buffer, std::size_t max) override
    {
        const std::size_t n = std::min(max, bytes_.size() - at_);
        std::copy_n(bytes_.begin() + static_cast<long>(at_), n, buffer);
        at_ += n;
        return static_cast<long>(n);
    }

private:
    const upgrade::Bytes& bytes_;
    std::size_t at_ = 0;
};

std::int64_t NowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

std::optional<Image> LoadImage(const std::string& path, upgrade::Kind kind, std::string& error)
{
    // A folder, a device or an endless file is no image: refused before a
    // byte is read, as the upgrade page refuses it.
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        error = Fill(msg::kNotAnImage, {path, std::filesystem::exists(path, ec) ? msg::kNotRegular : msg::kNoSuchFile});
        return std::nullopt;
    }
    if (std::filesystem::file_size(path, ec) > kMaxImageBytes) {
        error = Fill(msg::kTooLarge, {path, std::to_string(kMaxImageBytes / (1024 * 1024))});
        return std::nullopt;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file.is_open()) {
        error = Fill(msg::kCannotReadWhy, {path, std::strerror(errno)});
        return std::nullopt;
    }
    Image image{path, kind, upgrade::Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>())};
    if (file.bad()) {
        error = Fill(msg::kCannotRead, {path});
        return std::nullopt;
    }
    if (image.bytes.empty()) {
        error = Fill(msg::kEmpty, {path});
        return std::nullopt;
    }
    return image;
}

std::string FormatProgress(const UpgradeProgress& p)
{
    constexpr int kWidth = 20;
    const double done = p.totalBytes ? static_cast<double>(p.bytes) / static_cast<double>(p.totalBytes) : 0;
    const int filled = std::clamp(static_cast<int>(done * kWidth), 0, kWidth);
    const double rate = p.seconds > 0 ? static_cast<double>(p.bytes) / p.seconds : 0;
    char text[160];
    if (rate > 0) {
        const long left = static_cast<long>(static_cast<double>(p.totalBytes - std::min(p.bytes, p.totalBytes)) / rate + 0.5);
        std::snprintf(text, sizeof text, "[%s%s] %zu/%zu blocks  %llu/%llu B  %.1f KiB/s  %ld:%02ld left",
                      std::string(static_cast<std::size_t>(filled), '#').c_str(),
                      std::string(static_cast<std::size_t>(kWidth - filled), '.').c_str(), p.blocks, p.totalBlocks,
                      static_cast<unsigned long long>(p.bytes), static_cast<unsigned long long>(p.totalBytes),
                      rate / 1024.0, left / 60, left % 60);
    } else {
        std::snprintf(text, sizeof text, "[%s] %zu/%zu blocks  %llu/%llu B", std::string(kWidth, '.').c_str(), p.blocks,
                      p.totalBlocks, static_cast<unsigned long long>(p.bytes),
                      static_cast<unsigned long long>(p.totalBytes));
    }
    return text;
}

UpgradeResult RunUpgradeOn(Link& link, const Image& image, unsigned baud, int minReplyTimeoutMs,
                           const ProgressReport& progress)
{
    using upgrade::Outcome;
    LinkSink sink(link);
    MemorySource source(image.bytes);
    upgrade::Transfer transfer(sink);
    const std::int64_t replyTimeout = std::max<std::int64_t>(upgrade::ReplyTimeoutMs(baud), minReplyTimeoutMs);
    transfer.SetReplyTimeout(replyTimeout);

    const std::int64_t start = NowMs();
    UpgradeProgress p;
    p.totalBytes = image.bytes.size();
    p.totalBlocks = (image.bytes.size() + upgrade::kBlockSize - 1) / upgrade::kBlockSize;
    int tenths = -1;
    const auto report = [&](bool last) {
        p.blocks = transfer.blocksWritten();
        p.bytes = transfer.bytesSent();
        p.seconds = static_cast<double>(NowMs() - start) / 1000.0;
        const int now = p.totalBytes ? static_cast<int>(p.bytes * 10 / p.totalBytes) : 10;
        if (progress)
            progress(p, last || now != tenths);
        tenths = now;
    };

    Outcome outcome = transfer.Start(image.kind, source, start);
    report(false);
    const auto running = [&] { return outcome == Outcome::BlockWritten || outcome == Outcome::EndFrameWritten; };
    while (running()) {
        if (link.StopRequested()) {
            transfer.Stop();
            throw Stopped();
        }
        if (link.PortLost()) {
            const std::size_t blocks = transfer.blocksWritten();  // Stop() forgets them
            transfer.Stop();
            throw LinkFailure(link.GoneCause(), msg::kImageBlock, Fill(msg::kGoneAfter, {link.Gone(), std::to_string(blocks)}));
        }
        if (const std::optional<Reply> reply = link.NextFrame()) {
            const Outcome o = transfer.OnReply(reply->buffer[2], reply->buffer, NowMs());
            if (o != Outcome::Ignored) {
                outcome = o;
                report(false);
            }
        }
        const Outcome late = transfer.Poll(NowMs());
        if (late != Outcome::Ignored)
            outcome = late;
    }
    report(true);

    UpgradeResult r;
    r.bytesSent = transfer.bytesSent();
    r.seconds = p.seconds;
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.1f", r.seconds);
    const std::string done = Fill(msg::kBytesIn, {std::to_string(r.bytesSent), seconds});
    switch (outcome) {
    case Outcome::Succeeded:
        r.ok = true;
        r.message = Fill(image.kind == upgrade::Kind::App ? msg::kAccepted : msg::kUpgraded, {done});
        break;
    case Outcome::Failed:
        r.cause = Cause::Refused;
        r.message = Fill(msg::kRejected, {done});
        break;
    case Outcome::TimedOut:
        r.cause = Cause::NoAnswer;
        r.message = Fill(msg::kNoAnswer,
                         {transfer.state() == upgrade::State::Idle && p.bytes >= p.totalBytes &&
                                  image.kind == upgrade::Kind::App
                              ? std::string(msg::kImageEnd)
                              : Fill(msg::kImageBlockN, {std::to_string(p.blocks)}),
                          std::to_string(replyTimeout)});
        break;
    case Outcome::ReadFailed:
        r.message = msg::kImageUnread;
        break;
    default:
        r.message = msg::kEndedOddly;
        break;
    }
    return r;
}

}  // namespace jobs
