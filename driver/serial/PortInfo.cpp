#include "driver/serial/PortInfo.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace serial {

namespace {

// The USB device above a tty's device: the first ancestor with an idVendor.
// An ACM tty's device is the interface (one level), a usb-serial port's is
// the port below the interface (two levels).
fs::path UsbDeviceAbove(const fs::path& device)
{
    fs::path dir = device;
    for (int level = 0; level < 4 && !dir.empty() && dir != dir.root_path(); ++level) {
        std::error_code ec;
        if (fs::exists(dir / "idVendor", ec))
            return dir;
        dir = dir.parent_path();
    }
    return {};
}

}  // namespace

std::string ReadFirstLine(const std::string& path)
{
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    // sysfs strings end in a newline; some makers pad them with spaces.
    const auto end = line.find_last_not_of(" \t\r\n");
    return end == std::string::npos ? std::string() : line.substr(0, end + 1);
}

std::string ResolveDevice(const std::string& path)
{
    fs::path current = path;
    // A few hops at most; a loop of links ends here instead of spinning.
    for (int hop = 0; hop < 8; ++hop) {
        std::error_code ec;
        if (!fs::is_symlink(current, ec))
            break;
        const fs::path target = fs::read_symlink(current, ec);
        if (ec)
            break;
        current = (target.is_absolute() ? target : current.parent_path() / target).lexically_normal();
    }
    std::error_code ec;
    return fs::exists(current, ec) ? current.string() : path;
}

std::vector<ByIdName> ListByIdNames(const std::string& devRoot)
{
    std::vector<ByIdName> names;
    const fs::path dir = fs::path(devRoot) / "serial" / "by-id";
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().string();
        const std::string device = ResolveDevice(name);
        if (device != name)
            names.push_back({name, device});
    }
    std::sort(names.begin(), names.end(), [](const ByIdName& a, const ByIdName& b) { return a.name < b.name; });
    return names;
}

std::string ByIdFor(const std::string& device, const std::string& devRoot)
{
    const std::string node = ResolveDevice(device);
    for (const ByIdName& entry : ListByIdNames(devRoot))
        if (entry.device == node)
            return entry.name;
    return {};
}

bool IsPseudoTerminal(const std::string& path)
{
    const std::string node = ResolveDevice(path);
    return node.find("/pts/") != std::string::npos || fs::path(node).filename().string().starts_with("pty");
}

PortInfo DescribePort(const std::string& path, const Roots& roots)
{
    PortInfo info;
    info.path = path;
    info.device = ResolveDevice(path);
    info.byId = ByIdFor(info.device, roots.dev);

    const fs::path entry = fs::path(roots.sys) / "class" / "tty" / fs::path(info.device).filename();
    std::error_code ec;
    const fs::path device = fs::canonical(entry / "device", ec);
    if (ec || IsPseudoTerminal(info.device))
        return info;
    info.driver = fs::canonical(device / "driver", ec).filename().string();
    if (ec)
        info.driver.clear();

    const fs::path usb = UsbDeviceAbove(device);
    if (usb.empty())
        return info;
    info.manufacturer = ReadFirstLine(usb / "manufacturer");
    info.product = ReadFirstLine(usb / "product");
    info.serialNumber = ReadFirstLine(usb / "serial");
    info.vendorId = ReadFirstLine(usb / "idVendor");
    info.productId = ReadFirstLine(usb / "idProduct");
    return info;
}

std::string PortLabel(const PortInfo& info)
{
    // The product names the adapter ("FT232R USB UART"); the maker only
    // when there is no product string.
    std::string what = info.product.empty() ? info.manufacturer : info.product;
    if (what.empty() && !info.vendorId.empty())
        what = "USB " + info.vendorId + ":" + info.productId;
    std::string label = info.path;
    if (!what.empty())
        label += " - " + what;
    if (!info.serialNumber.empty())
        label += (what.empty() ? " - serial " : ", serial ") + info.serialNumber;
    return label;
}

}  // namespace serial
