// A firmware image sent through one Link by the core's transfer machine,
// with progress for a bar or a log.
#pragma once

#include "core/upgrade/Transfer.h"
#include "jobs/port/Link.h"

#include <functional>
#include <optional>
#include <string>

namespace jobs {

struct Image {
    std::string path;
    upgrade::Kind kind = upgrade::Kind::App;
    upgrade::Bytes bytes;
};
// The whole file, read before any port is opened; an empty or unreadable
// file gives nothing and the reason in `error`.
// The largest image taken, as on the upgrade page.
inline constexpr std::uintmax_t kMaxImageBytes = 16 * 1024 * 1024;
std::optional<Image> LoadImage(const std::string& path, upgrade::Kind kind, std::string& error);

struct UpgradeProgress {
    std::size_t blocks = 0, totalBlocks = 0;
    std::uint64_t bytes = 0, totalBytes = 0;
    double seconds = 0;
};
// "[#####.....] 12/40 blocks  12288/40960 B  2.0 KiB/s  0:14 left"
std::string FormatProgress(const UpgradeProgress& p);

struct UpgradeResult {
    bool ok = false;
    Cause cause = Cause::Other;  // when not ok
    std::string message;
    std::uint64_t bytesSent = 0;
    double seconds = 0;
};
// `progress` is called after every acknowledged block; `milestone` marks
// the calls worth a line in a log (the start, each tenth, the end).
using ProgressReport = std::function<void(const UpgradeProgress&, bool milestone)>;
UpgradeResult RunUpgradeOn(Link& link, const Image& image, unsigned baud, int minReplyTimeoutMs,
                           const ProgressReport& progress);

}  // namespace jobs
