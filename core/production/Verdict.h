// The measurements of a production test and the verdict they give: each
// step is measured against its limit, and the first that fails names the
// unit's failure in words an operator acts on ("signal 9 < 15").
#pragma once

#include "core/production/Plan.h"
#include "core/records/Record.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace production {

using Bytes = std::vector<std::uint8_t>;
using records::Measurement;

// A measurement and, when it failed, its words.
struct Step {
    Measurement m;
    std::string failure;
};

enum class Verdict {
    Passed,   // every measurement within its limit
    Failed,   // a measurement out of its limit
    Error,    // the unit stopped answering, the port went away
    Stopped,  // the user stopped the run
};
std::string_view VerdictName(Verdict v);  // "passed", "failed", "error", "stopped"

// Measurement names, as the records and the JUnit file keep them.
inline constexpr std::string_view kVersion = "version";
inline constexpr std::string_view kSignal = "signal";
inline constexpr std::string_view kRegistration = "registration";
inline constexpr std::string_view kHeartbeat = "heartbeat";
inline constexpr std::string_view kEchoUp = "echo_up";
inline constexpr std::string_view kEchoDown = "echo_down";
inline constexpr std::string_view kEchoTime = "echo_ms";
inline constexpr std::string_view kSetup = "setup";
inline constexpr std::string_view kOwnId = "own_id";
inline constexpr std::string_view kProfile = "profile";
inline constexpr std::string_view kUpgrade = "upgrade";

Step MeasureVersion(const std::string& version, const std::string& glob);
// `report` as the unit gave it ("+CSQ: 24,99"); an unknown strength (99)
// fails whatever the limit.
Step MeasureSignal(const std::string& report, const Plan::Signal& limit);
// An event awaited for up to `withinMs`: how long it took, or nothing.
Step MeasureWait(std::string_view name, std::optional<std::int64_t> tookMs, std::int64_t withinMs);
// Whether `arrived` is `sent` once whole `heartbeat` packets are taken out
// of it: a unit beats when its own clock says, and a beat sent just before
// or amid the data arrives glued to it.
bool Echoed(const Bytes& sent, const Bytes& arrived, const Bytes& heartbeat = {});
// Bytes sent one way and what arrived within the time.
Step MeasureEcho(std::string_view name, const Bytes& sent, const Bytes& arrived, std::int64_t withinMs,
                 const Bytes& heartbeat = {});
Step MeasureEchoTime(std::int64_t roundTripMs, std::int64_t withinMs);
// A step that either worked (`value`) or failed with `failure`.
Step MeasureDone(std::string_view name, const std::string& value, const std::string& failure);

// The first failure, or Passed.
struct Judged {
    Verdict verdict = Verdict::Passed;
    std::string failure;
};
Judged Judge(const std::vector<Step>& steps);

// One unit's test as it ended.
struct UnitReport {
    std::string port, ownId, label;
    Verdict verdict = Verdict::Error;
    std::string failure;  // the failing measurement's words, or the error's
    std::vector<Step> steps;
    std::int64_t ms = 0;  // how long its test took
};

// The registration packet that tells this unit's connection from the
// others' in this run: "T" and 8 hex digits.
std::string Token(std::uint32_t random);

// A well-mixed number of `x` (splitmix64's step): tokens and echo bytes
// that differ from unit to unit and run to run.
std::uint64_t Scramble(std::uint64_t x);

// `count` bytes from `seed` for an echo. No 0xFA or 0xFB: a burst that
// starts as a settings request would be taken by the DTU, not carried.
Bytes EchoBytes(std::size_t count, std::uint64_t seed);

}  // namespace production
