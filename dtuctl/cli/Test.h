// `dtuctl test`: every unit proven by the plan, at once, a line each as it
// ends; JSON lines and a JUnit file for the line's own systems.
#pragma once

#include "dtuctl/cli/Jobs.h"
#include "jobs/production/UnitTest.h"
#include "jobs/records/Recorder.h"

#include <string>
#include <vector>

namespace cli {

struct TestOptions {
    std::string plan;
    std::vector<std::string> labels;  // in the order of the ports
    std::string junit;                // a file to write, or empty
    bool json = false;
};

// `run` loaded and checked; its station is started here. Exit 0 when every
// unit passed, 1 when any did not, 2 when the server cannot listen.
int RunTests(const std::vector<std::string>& ports, const Line& line, const TestOptions& options, jobs::TestRun run,
             const jobs::Recorder& recorder, Console console);

}  // namespace cli
