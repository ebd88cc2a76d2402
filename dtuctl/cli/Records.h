// `dtuctl records`: the records of the jobs, newest first, as a table, JSON
// lines or CSV; or the yield of the tests among them.
#pragma once

#include "dtuctl/cli/Run.h"

#include <cstddef>
#include <string>

namespace cli {

struct RecordsOptions {
    std::string unit, port, result, label;
    std::string since, until;  // ISO 8601, as typed
    std::size_t limit = 0;
    bool json = false;
    bool csv = false;
    bool summary = false;
    std::string by = "day";  // or "hour": the summary's periods
};

// `place` as --records gave it (empty when not given).
int ListRecords(const std::string& place, const RecordsOptions& options, Console console);

}  // namespace cli
