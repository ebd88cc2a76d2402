// A production test plan: what every unit of a line must show before it
// ships, read from TOML and checked like a profile, every error named with
// its file and line before any byte goes out.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace production {

struct Plan {
    std::string name;
    std::string version;  // a glob the version must match; empty: any
    struct Signal {
        int min = 0, max = 31;
    };
    std::optional<Signal> signal;

    struct Server {
        std::string listenHost;  // numeric
        std::uint16_t listenPort = 0;  // 0: any free port
        // What the DTU dials: an IPv4 address or a domain name.
        std::string address;
        std::optional<std::array<std::uint8_t, 4>> ip;  // when `address` is one
        std::int64_t registerWithinMs = 60000;
        std::optional<std::int64_t> heartbeatWithinMs;
        bool restart = false;
    };
    Server server;

    struct Echo {
        std::size_t bytes = 256;
        std::int64_t withinMs = 3000;
    };
    std::optional<Echo> echo;

    struct OwnIds {
        std::string first, last;  // 12 upper-case hex digits
    };
    std::optional<OwnIds> ownIds;

    // As written in the plan, relative to its folder.
    std::string finalProfile, finalImage;
};

struct ParsedPlan {
    Plan plan;
    std::vector<std::string> errors;  // "file:line:column: message", in file order
    bool ok() const { return errors.empty(); }
};

ParsedPlan ParsePlan(std::string_view text, const std::string& fileName);

// "60s", "500ms", "2min": milliseconds, at most an hour.
std::optional<std::int64_t> ParseDuration(std::string_view text);
// "60 s", "1.5 s", "500 ms": as the failures word a limit.
std::string DurationText(std::int64_t ms);

// Shell-style: `*` any run, `?` one character, `[...]` a set; nothing
// else is special.
bool GlobMatch(std::string_view pattern, std::string_view text);

// The largest echo a unit's serial line is asked to carry at once.
inline constexpr std::size_t kMaxEchoBytes = 1024;

}  // namespace production
