// A profile or a test plan read from its file: the core parses text, this reads it.
#pragma once

#include "core/production/Plan.h"
#include "core/profile/Profile.h"

#include <string>

namespace profile {

// An unreadable file, a folder or a file too large for a profile is one
// error naming the path.
ParsedProfile LoadProfile(const std::string& path);
// The same for a production test plan.
production::ParsedPlan LoadPlan(const std::string& path);

}  // namespace profile
