// The work of a command on every port at once: one thread and one Link a
// port, results printed in port order, a summary and an exit code.
#pragma once

#include "core/dtu/Frame.h"
#include "core/profile/Settings.h"
#include "dtuctl/cli/Board.h"
#include "dtuctl/cli/Run.h"
#include "jobs/port/Job.h"
#include "jobs/port/Link.h"
#include "jobs/records/Recorder.h"

#include <nlohmann/json.hpp>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace cli {

using jobs::Failure;
using jobs::Link;
using jobs::Reply;

// One JSON line, whatever bytes a DTU's text holds.
std::string Dump(const nlohmann::json& j);

using jobs::Line;

// What one port's work produced.
struct PortResult {
    bool ok = false;
    std::string summary;  // one line for the summary table
    std::string text;     // what goes to the output for this port
    bool textIsProfile = false;  // a port's header must then be a comment
    std::string recordDetail;    // the record's detail where it is not the summary
    std::string recordNote;      // said apart from the result: its record's end waits
    nlohmann::json json = nlohmann::json::object();
};

struct PortContext {
    Link& link;
    Board& board;
    std::size_t index;
    int timeoutMs;
    // What the unit said it is before the job, when the job is recorded.
    const profile::DeviceSettings* identity = nullptr;
};

using Job = std::function<PortResult(PortContext&)>;

// "none", "odd", "even" as the driver's parity code.
unsigned ParityCode(const std::string& name);

// A job that leaves a record of each unit.
struct Recording {
    const jobs::Recorder* recorder = nullptr;
    std::string_view action;
};

// Runs `job` on every port at once, one thread each, and prints the
// results in port order. The exit code says whether every port succeeded,
// and its record was kept.
int RunOnPorts(const std::vector<std::string>& ports, const Line& line, bool json, Console console, const Job& job,
               const Recording& recording = {});

}  // namespace cli
