// The dtuctl program as a function, so that tests run it whole against
// simulated DTUs: arguments in, text and an exit code out.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace cli {

// Exit codes.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;    // a port failed or a setting did not read back
inline constexpr int kExitBadInput = 2;  // refused before anything was sent

struct Console {
    std::ostream& out;    // results: tables, profiles, JSON lines
    std::ostream& err;    // progress and messages
    bool errIsTerminal = false;
    int inFd = 0;  // what `serve` sends on; -1 for nothing
};

int Run(const std::vector<std::string>& args, Console console);

// Ends a running `monitor` (what Ctrl-C does).
void StopMonitor();

// "/dev/ttyUSB*" to the devices it names, plain paths as they are, each once
// and in the order given; an empty result names the pattern that matched
// nothing.
struct Expanded {
    std::vector<std::string> ports;
    std::string unmatched;
};
Expanded ExpandPorts(const std::vector<std::string>& patterns);

}  // namespace cli
