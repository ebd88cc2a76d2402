// dtuctl run inside the test, as a user runs it: its exit code and what it
// printed.
#pragma once

#include "dtuctl/cli/Run.h"

#include <sstream>
#include <string>
#include <vector>

struct CtlRun {
    int code;
    std::string out;
    std::string err;
};

inline CtlRun RunCtl(const std::vector<std::string>& args)
{
    std::ostringstream out, err;
    const int code = cli::Run(args, {out, err, false});
    return {code, out.str(), err.str()};
}
