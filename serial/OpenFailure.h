// Why a port would not open, in words a user can act on: one text for the
// settings page and the command line.
#pragma once

#include "serial/XSerial.h"

#include <string>

namespace serial {

// `explained`: the setup checks already say what to do, so the text only
// names the problem.
std::string OpenFailureText(SerialError error, int err, const std::string& path, bool explained = false);

}  // namespace serial
