// The host's local time, for the DTU's clock: the core is handed it.
#pragma once

#include "core/dtu/Requests.h"

namespace host {

dtu::LocalTime LocalNow();

}  // namespace host
