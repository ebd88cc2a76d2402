#include "driver/serial/OpenFailure.h"

#include "core/common/Tr.h"
#include "core/net/PortUrl.h"

#include <system_error>

namespace serial {

using text::Fill;

namespace {

std::string HostOf(const std::string& path)
{
    const auto url = net::ParsePortUrl(path);
    return url ? url->host : path;
}

}  // namespace

std::string OpenFailureText(SerialError error, int err, const std::string& path, bool explained,
                            const std::string& serverSaid)
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
    case SerialError::BadUrl:
        return Fill(DTU_TR("serial", "%1 is not a network port: write rfc2217://HOST:PORT or socket://HOST:PORT."),
                    {path});
    case SerialError::HostNotFound:
        return Fill(DTU_TR("serial", "Cannot connect to %1: there is no host named %2. Check the host name."),
                    {path, HostOf(path)});
    case SerialError::LookupFailed:
        return Fill(DTU_TR("serial", "Cannot connect to %1: the name %2 could not be looked up (%3). Check the "
                                     "network and the name server."),
                    {path, HostOf(path),
                     err == 0 ? std::string(DTU_TR("serial", "no name server could answer"))
                              : std::generic_category().message(err)});
    case SerialError::Refused:
        return Fill(DTU_TR("serial", "%1 refused the connection: nothing listens on that port of the host."), {path});
    case SerialError::ConnectTimedOut:
        return Fill(DTU_TR("serial", "Connecting to %1 timed out: the host did not answer. Check the address, the "
                                     "network and the firewall."),
                    {path});
    case SerialError::ServerClosed:
        if (!serverSaid.empty())
            return Fill(DTU_TR("serial", "The server of %1 closed the connection, saying: \"%2\""), {path, serverSaid});
        return Fill(DTU_TR("serial", "The server of %1 closed the connection before the line was set: another user "
                                     "may have the port, or the server cannot open its device."),
                    {path});
    case SerialError::NoComPort:
        return Fill(DTU_TR("serial", "The server of %1 does not speak RFC 2217 (or binary mode), so the baud rate and "
                                     "parity cannot be set; use socket:// and set the line on the server."),
                    {path});
    case SerialError::LineRefused:
        return Fill(DTU_TR("serial", "The server of %1 does not accept the chosen baud rate or parity (it answered %2 "
                                     "baud)."),
                    {path, std::to_string(err)});
    case SerialError::LineUnconfirmed:
        return Fill(DTU_TR("serial", "The server of %1 did not confirm the chosen baud rate and parity; the line is "
                                     "unknown, so the port was not opened."),
                    {path});
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
                    {std::to_string(SerialPort::kWriteWaitMs * SerialPort::kMaxStalledWaits / 1000)});
    case SerialError::Lost:
        return DTU_TR("serial", "Send failed: the port is disconnected");
    case SerialError::Closed:
        return DTU_TR("serial", "Send failed: the port is closed");
    default:
        return Fill(DTU_TR("serial", "Send failed: %1"), {std::generic_category().message(result.err)});
    }
}

}  // namespace serial
