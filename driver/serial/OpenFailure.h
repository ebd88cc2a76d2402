// Why a port would not open or a frame did not go out, in words a user can
// act on: one text for the pages and the command line.
#pragma once

#include "driver/serial/SerialPort.h"

#include <string>

namespace serial {

// `explained`: the setup checks already say what to do, so the text only
// names the problem.
// `serverSaid`: what a network server said before it closed, if anything.
std::string OpenFailureText(SerialError error, int err, const std::string& path, bool explained = false,
                            const std::string& serverSaid = {});

// Short enough for a status pane: "Send failed: the port is disconnected".
std::string WriteFailureText(const WriteResult& result);

}  // namespace serial
