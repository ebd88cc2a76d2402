// A run's units as JUnit XML, the form CI servers and test dashboards read:
// one suite for the run, one case per unit named by its port and own ID.
#pragma once

#include "core/production/Verdict.h"

#include <string>
#include <vector>

namespace production {

// `timestamp` in ISO 8601, `totalMs` the run's time (its units ran at
// once); what the units measured goes in each case's properties, so that a
// dashboard can chart them.
std::string JUnitXml(const std::string& suite, const std::string& timestamp, std::int64_t totalMs,
                     const std::vector<UnitReport>& units);

}  // namespace production
