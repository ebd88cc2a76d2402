// The serial ports there are, each with the program that holds it.
//
// Found from sysfs rather than by trying every /dev/tty*: each entry of
// /sys/class/tty that is backed by a device with a driver, for example
//   /sys/class/tty/ttyUSB0/device -> ../../../1-1.3:1.0
// and not virtual (tty0, ptmx, console live under /devices/virtual), not the
// system console, and for the fixed 8250 ports (ttyS*) only those whose UART
// type is known: most machines register ttyS0..ttyS31 with no UART behind
// them. No port is opened to build the list (see PortHolder.h): a held port
// stays in it, marked with its holder, so that the user learns why it will
// not open; opening is tried when the user asks for it.
#pragma once

#include "driver/serial/PortHolder.h"
#include "driver/serial/PortInfo.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace serial {

// Device paths in natural order (ttyS2 before ttyS10), whether or not this
// user may open them. The roots are parameters so that tests can build a
// fake tree.
std::vector<std::string> ListTtyDevices(const std::string& sysRoot = "/sys",
                                        const std::string& devRoot = "/dev");

// Those of them that have their node in /dev: the ports to offer, held or
// not (FindHolders says by whom).
std::vector<std::string> ListPorts(const Roots& roots = {});

// One line of a port list, starting with the path: the port's label, or
// the name the application gives it when sysfs has none ("模拟DTU"), then
// its holder:
//   /dev/ttyUSB0 - FT232R USB UART, serial A10K3XYZ held by minicom (4242)
std::string PortEntry(const PortInfo& info, const std::optional<Holder>& holder, const std::string& name = {});

// "ttyS2" < "ttyS10": runs of digits compare by value.
bool NaturalLess(std::string_view a, std::string_view b);

}  // namespace serial
