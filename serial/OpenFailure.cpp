#include "serial/OpenFailure.h"

#include "common/Tr.h"

#include <system_error>

namespace serial {

using text::Fill;

std::string OpenFailureText(SerialError error, int err, const std::string& path, bool explained)
{
    switch (error) {
    case SerialError::NotFound:
        return Fill(DTU_TR("serial", "Device %1 not found."), {path});
    case SerialError::Permission:
        if (explained)
            return Fill(DTU_TR("serial", "No permission to open %1."), {path});
        return Fill(DTU_TR("serial", "No permission to open %1: add the current user to the dialout group "
                                     "(sudo usermod -aG dialout $USER), log in again, then open it."),
                    {path});
    case SerialError::Busy:
        if (explained)
            return Fill(DTU_TR("serial", "%1 is in use by another program."), {path});
        return Fill(DTU_TR("serial", "%1 is in use by another program; close that program first."), {path});
    case SerialError::NotATerminal:
        return Fill(DTU_TR("serial", "%1 is not a serial device."), {path});
    case SerialError::Settings:
        return Fill(DTU_TR("serial", "%1 does not support the chosen baud rate or parity."), {path});
    default:
        // Not strerror: the command line opens ports from many threads.
        return Fill(DTU_TR("serial", "Cannot open %1: %2"), {path, std::generic_category().message(err)});
    }
}

std::string WriteFailureText(const WriteResult& result)
{
    switch (result.error) {
    case SerialError::None:
        return {};
    case SerialError::TimedOut:
        return Fill(DTU_TR("serial", "Send failed: the port sent nothing for %1 s"),
                    {std::to_string(CXSerial::kWriteWaitMs * CXSerial::kMaxStalledWaits / 1000)});
    case SerialError::Lost:
        return DTU_TR("serial", "Send failed: the port is disconnected");
    case SerialError::Closed:
        return DTU_TR("serial", "Send failed: the port is closed");
    default:
        return Fill(DTU_TR("serial", "Send failed: %1"), {std::generic_category().message(result.err)});
    }
}

}  // namespace serial
