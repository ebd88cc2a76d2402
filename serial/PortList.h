// The serial ports a user can open right now.
//
// Found from sysfs rather than by probing every /dev/tty*: each entry of
// /sys/class/tty that is backed by a device with a driver, for example
//   /sys/class/tty/ttyUSB0/device -> ../../../1-1.3:1.0
// and not virtual (tty0, ptmx, console live under /devices/virtual), not the
// system console, and for the fixed 8250 ports (ttyS*) only those whose UART
// type is known: most machines register ttyS0..ttyS31 with no UART behind
// them. Each remaining device is then probed, so a port that is busy is not
// offered.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace serial {

// Device paths in natural order (ttyS2 before ttyS10). The roots are
// parameters so that tests can build a fake tree.
std::vector<std::string> ListPorts(const std::string& sysRoot = "/sys",
                                   const std::string& devRoot = "/dev");

// The same devices before the probe: those that exist whether or not this
// user may open them now. What keeps one out of ListPorts is a setup
// question (see SetupCheck.h).
std::vector<std::string> ListTtyDevices(const std::string& sysRoot = "/sys",
                                        const std::string& devRoot = "/dev");

// "ttyS2" < "ttyS10": runs of digits compare by value.
bool NaturalLess(std::string_view a, std::string_view b);

}  // namespace serial
