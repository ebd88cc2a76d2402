// A profile read from its file: the core parses text, this reads it.
#pragma once

#include "core/profile/Profile.h"

#include <string>

namespace profile {

// An unreadable file, a folder or a file too large for a profile is one
// error naming the path.
ParsedProfile LoadProfile(const std::string& path);

}  // namespace profile
