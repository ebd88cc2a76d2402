// Who and where, as a record of a job names them, and the time it happened.
#pragma once

#include <cstdint>
#include <string>

namespace host {

// The host name.
std::string Station();
// Who works: DTUTOOL_OPERATOR, else the login name of whoever runs the
// program (under sudo, of whoever ran sudo).
std::string OperatorName();
// Milliseconds since the epoch, from the wall clock.
std::int64_t WallMs();

}  // namespace host
