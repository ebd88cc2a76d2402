// What each command does on one port, and the commands that open none.
#pragma once

#include "core/dtu/Frame.h"
#include "core/profile/Profile.h"
#include "dtuctl/cli/Jobs.h"

#include <optional>
#include <string>
#include <vector>

namespace cli {

PortResult ReadJob(PortContext& c, bool profile);
PortResult WriteJob(PortContext& c, const profile::Profile& profile);
PortResult SendJob(PortContext& c, const dtu::Bytes& request);

// The request `send` sends: CODE in hex and its payload in hex words; the
// query's own payload when none is given. Nothing, with `error` set, for
// what cannot be sent.
std::optional<dtu::Bytes> SendRequest(const std::string& code, const std::vector<std::string>& payload,
                                      std::string& error);

// Every frame on every port until Ctrl-C.
int Monitor(const std::vector<std::string>& ports, const Line& line, bool json, Console console);

int ListPorts(bool json, Console console);
// The settings checks of the port page: why a port is missing or will not
// open, each with the command that fixes it. Exit 1 when anything was found.
int Doctor(const std::vector<std::string>& ports, bool json, Console console);

}  // namespace cli
