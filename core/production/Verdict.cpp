#include "core/production/Verdict.h"

#include "core/dtu/Responses.h"
#include "core/production/Messages.h"

#include <algorithm>
#include <cstdio>

namespace production {

using text::Fill;

std::string_view VerdictName(Verdict v)
{
    switch (v) {
    case Verdict::Passed:
        return "passed";
    case Verdict::Failed:
        return "failed";
    case Verdict::Error:
        return "error";
    case Verdict::Stopped:
        return "stopped";
    }
    return "error";
}

Step MeasureVersion(const std::string& version, const std::string& glob)
{
    Step s;
    s.m = {std::string(kVersion), version, "", std::nullopt, std::nullopt, glob, glob.empty() || GlobMatch(glob, version)};
    if (!s.m.passed)
        s.failure = Fill(msg::kVersionMismatch, {version, glob});
    return s;
}

Step MeasureSignal(const std::string& report, const Plan::Signal& limit)
{
    Step s;
    const std::optional<int> strength = dtu::SignalStrength(report);
    s.m = {std::string(kSignal), strength ? std::to_string(*strength) : report, "", double(limit.min), double(limit.max),
           "", false};
    if (!strength)
        s.failure = Fill(msg::kSignalUnknown, {report});
    else if (*strength < limit.min)
        s.failure = Fill(msg::kSignalLow, {std::to_string(*strength), std::to_string(limit.min)});
    else if (*strength > limit.max)
        s.failure = Fill(msg::kSignalHigh, {std::to_string(*strength), std::to_string(limit.max)});
    s.m.passed = s.failure.empty();
    return s;
}

Step MeasureWait(std::string_view name, std::optional<std::int64_t> tookMs, std::int64_t withinMs)
{
    Step s;
    s.m = {std::string(name), tookMs ? std::to_string(*tookMs) : "", "ms", std::nullopt, double(withinMs), "",
           tookMs && *tookMs <= withinMs};
    if (!s.m.passed)
        s.failure = Fill(name == kHeartbeat ? msg::kNoHeartbeat : msg::kNoRegistration, {DurationText(withinMs)});
    return s;
}

bool Echoed(const Bytes& sent, const Bytes& arrived, const Bytes& heartbeat)
{
    if (arrived == sent)
        return true;
    const std::size_t h = heartbeat.size();
    // Beyond a few dozen beats it is not the data with beats in it, and the
    // table below would grow with every byte a chatty unit sends.
    constexpr std::size_t kMostBeats = 64;
    if (h == 0 || arrived.size() <= sent.size() || (arrived.size() - sent.size()) % h != 0 ||
        (arrived.size() - sent.size()) / h > kMostBeats)
        return false;
    // reach[i][r]: the first i bytes that arrived are the first i - r*h sent
    // with r beats taken out. Beats may stand anywhere, data may hold a
    // beat's bytes: every way is tried, in n*k steps.
    const std::size_t n = arrived.size(), k = (n - sent.size()) / h;
    std::vector<std::vector<char>> reach(n + 1, std::vector<char>(k + 1, 0));
    reach[0][0] = 1;
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t r = 0; r <= k && r * h <= i; ++r) {
            if (!reach[i][r])
                continue;
            const std::size_t j = i - r * h;
            if (j < sent.size() && arrived[i] == sent[j])
                reach[i + 1][r] = 1;
            if (r < k && i + h <= n && std::equal(heartbeat.begin(), heartbeat.end(), arrived.begin() + long(i)))
                reach[i + h][r + 1] = 1;
        }
    return reach[n][k] != 0;
}

Step MeasureEcho(std::string_view name, const Bytes& sent, const Bytes& arrived, std::int64_t withinMs,
                 const Bytes& heartbeat)
{
    if (arrived != sent && Echoed(sent, arrived, heartbeat))
        return MeasureEcho(name, sent, sent, withinMs);
    if (arrived.size() > sent.size() && !heartbeat.empty()) {
        // Counted without the beats, where that leaves as many bytes as
        // were sent: a beat does not shift every byte after it into a
        // difference.
        Bytes data;
        for (std::size_t i = 0; i < arrived.size();) {
            if (i + heartbeat.size() <= arrived.size() &&
                std::equal(heartbeat.begin(), heartbeat.end(), arrived.begin() + long(i))) {
                i += heartbeat.size();
                continue;
            }
            data.push_back(arrived[i++]);
        }
        if (data.size() == sent.size())
            return MeasureEcho(name, sent, data, withinMs);
    }
    std::size_t differ = 0;
    for (std::size_t i = 0; i < sent.size() && i < arrived.size(); ++i)
        differ += sent[i] != arrived[i] ? 1 : 0;
    const std::size_t intact = std::min(sent.size(), arrived.size()) - differ;
    Step s;
    const double all = double(sent.size());
    s.m = {std::string(name), std::to_string(intact), "bytes", all, all, "", intact == sent.size() &&
                                                                             arrived.size() == sent.size()};
    const std::string total = std::to_string(sent.size());
    if (arrived.size() < sent.size())
        s.failure = Fill(msg::kEchoShort,
                         {std::string(name), std::to_string(arrived.size()), total, DurationText(withinMs)});
    else if (differ > 0)
        s.failure = Fill(msg::kEchoDiffers, {std::string(name), std::to_string(differ), total});
    else if (arrived.size() > sent.size())
        s.failure = Fill(msg::kEchoExtra, {std::string(name), std::to_string(arrived.size()), total});
    return s;
}

Step MeasureEchoTime(std::int64_t roundTripMs, std::int64_t withinMs)
{
    Step s;
    s.m = {std::string(kEchoTime), std::to_string(roundTripMs), "ms", std::nullopt, double(withinMs), "",
           roundTripMs <= withinMs};
    if (!s.m.passed)
        s.failure = Fill(msg::kEchoSlow, {std::to_string(roundTripMs), DurationText(withinMs)});
    return s;
}

Step MeasureDone(std::string_view name, const std::string& value, const std::string& failure)
{
    Step s;
    s.m = {std::string(name), value, "", std::nullopt, std::nullopt, "", failure.empty()};
    s.failure = failure;
    return s;
}

Judged Judge(const std::vector<Step>& steps)
{
    for (const Step& s : steps)
        if (!s.m.passed)
            return {Verdict::Failed, s.failure};
    return {};
}

std::string Token(std::uint32_t random)
{
    char text[16];
    std::snprintf(text, sizeof text, "T%08X", static_cast<unsigned>(random));
    return text;
}

std::uint64_t Scramble(std::uint64_t x)
{
    std::uint64_t z = x + 0x9E3779B97F4A7C15ULL;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

Bytes EchoBytes(std::size_t count, std::uint64_t seed)
{
    Bytes out;
    out.reserve(count);
    for (std::uint64_t x = seed; out.size() < count; x += 0x9E3779B97F4A7C15ULL) {
        std::uint64_t z = Scramble(x);
        for (int i = 0; i < 8 && out.size() < count; ++i, z >>= 8) {
            const auto b = static_cast<std::uint8_t>(z);
            if (b != 0xFA && b != 0xFB)
                out.push_back(b);
        }
    }
    return out;
}

}  // namespace production
