// `dtuctl serve`: the test server on the command line. One line (or JSON
// object) per event on the output; lines of the input go to every
// connected DTU; Ctrl-C ends it.
#pragma once

#include "dtuctl/cli/Run.h"

#include <cstdint>
#include <optional>
#include <string>

namespace cli {

struct ServeOptions {
    std::string listen;  // [HOST:]PORT
    std::string registration, registrationHex, heartbeat, heartbeatHex;
    bool hexInput = false;
    bool json = false;
    bool utf8 = false;  // else GBK
    int gapMs = 50;
};

struct ListenAddress {
    std::string host = "0.0.0.0";
    std::uint16_t port = 0;
};
// "5000", "127.0.0.1:5000", "[::1]:5000"; nothing when it is none of them.
std::optional<ListenAddress> ParseListen(const std::string& text);

int Serve(const ServeOptions& options, Console console);

// Ends a running `serve` (what Ctrl-C does).
void StopServe();

}  // namespace cli
