// What a person recognises a serial port by, read from sysfs and /dev.
//
// A USB adapter's tty sits a level or two below the USB device that carries
// the strings the maker burnt in:
//   /sys/class/tty/ttyUSB0/device -> .../1-1.3/1-1.3:1.0/ttyUSB0
//   /sys/devices/.../1-1.3/{manufacturer,product,serial,idVendor,idProduct}
// udev names the same adapter after those strings under /dev/serial/by-id,
// a name that survives a replug even when the kernel hands out ttyUSB1 the
// second time:
//   /dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K3XYZ-if00-port0 -> ../../ttyUSB0
// No device is opened here. The roots are parameters so that tests can
// build a fake tree.
#pragma once

#include <string>
#include <vector>

namespace serial {

struct Roots {
    std::string sys = "/sys";
    std::string dev = "/dev";
    std::string proc = "/proc";
    std::string lock = "/var/lock";  // UUCP lock files: LCK..ttyUSB0
};

struct PortInfo {
    std::string path;          // as given: /dev/ttyUSB0 or a by-id name
    std::string device;        // the kernel's node: /dev/ttyUSB0
    std::string byId;          // /dev/serial/by-id/..., empty without one
    std::string driver;        // ftdi_sio, cdc_acm, serial8250, ...
    std::string manufacturer;  // empty when the device has none
    std::string product;
    std::string serialNumber;
    std::string vendorId;      // four hex digits, "0403"
    std::string productId;     // "6001"
};

// Everything known about `path` (a kernel node or a by-id name).
PortInfo DescribePort(const std::string& path, const Roots& roots = {});

// One line for a list: "/dev/ttyUSB0 - FT232R USB UART, serial A10K3XYZ";
// the bare path when sysfs knows nothing more.
std::string PortLabel(const PortInfo& info);

// The node a path stands for, following symbolic links as open() would;
// the path itself when it is no link or the link is broken.
std::string ResolveDevice(const std::string& path);

// Every by-id name under devRoot with the node it points to, sorted by name.
struct ByIdName {
    std::string name;    // /dev/serial/by-id/...
    std::string device;  // /dev/ttyUSB0
};
std::vector<ByIdName> ListByIdNames(const std::string& devRoot = "/dev");

// The by-id name of a node, or empty.
std::string ByIdFor(const std::string& device, const std::string& devRoot = "/dev");

// The first line of a small file (a sysfs attribute, /proc/<pid>/comm)
// without its trailing blanks; empty when it cannot be read.
std::string ReadFirstLine(const std::string& path);

// True for a path that never names the same device twice: a pseudo-terminal.
bool IsPseudoTerminal(const std::string& path);

}  // namespace serial
