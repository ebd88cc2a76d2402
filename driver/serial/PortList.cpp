#include "driver/serial/PortList.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <set>
#include <sstream>
#include <vector>

namespace fs = std::filesystem;

namespace serial {

namespace {

// /sys/class/tty/console/active names the console's devices, e.g. "tty0 ttyS0".
std::set<std::string> ConsoleDevices(const fs::path& ttyClass)
{
    std::set<std::string> names;
    std::istringstream words(ReadFirstLine(ttyClass / "console" / "active"));
    for (std::string name; words >> name;)
        names.insert(name);
    return names;
}

bool IsVirtual(const fs::path& entry)
{
    std::error_code ec;
    const fs::path real = fs::canonical(entry, ec);
    return ec || real.generic_string().find("/virtual/") != std::string::npos;
}

bool IsCandidate(const fs::path& entry, const std::string& name)
{
    std::error_code ec;
    if (!fs::exists(entry / "device" / "driver", ec) || IsVirtual(entry))
        return false;
    // UART type 0 is PORT_UNKNOWN: a fixed port slot with nothing behind it.
    if (name.starts_with("ttyS")) {
        const std::string type = ReadFirstLine(entry / "type");
        if (type.empty() || type.find_first_not_of('0') == std::string::npos)
            return false;
    }
    return true;
}

}  // namespace

std::vector<std::string> ListTtyDevices(const std::string& sysRoot, const std::string& devRoot)
{
    const fs::path ttyClass = fs::path(sysRoot) / "class" / "tty";
    const std::set<std::string> consoles = ConsoleDevices(ttyClass);

    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(ttyClass, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (!consoles.contains(name) && IsCandidate(it->path(), name))
            names.push_back(name);
    }
    std::sort(names.begin(), names.end(), NaturalLess);

    std::vector<std::string> paths;
    for (const std::string& name : names)
        paths.push_back((fs::path(devRoot) / name).string());
    return paths;
}

std::vector<std::string> ListPorts(const Roots& roots)
{
    std::vector<std::string> ports = ListTtyDevices(roots.sys, roots.dev);
    std::erase_if(ports, [](const std::string& path) {
        std::error_code ec;
        return !fs::exists(path, ec);
    });
    return ports;
}

std::string PortEntry(const PortInfo& info, const std::optional<Holder>& holder, const std::string& name)
{
    std::string entry = PortLabel(info);
    if (entry == info.path && !name.empty())
        entry += " - " + name;
    return entry + HolderMark(holder);
}

bool NaturalLess(std::string_view a, std::string_view b)
{
    std::size_t i = 0;
    std::size_t j = 0;
    const auto isDigit = [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; };
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            std::size_t ei = i;
            std::size_t ej = j;
            while (ei < a.size() && isDigit(a[ei]))
                ++ei;
            while (ej < b.size() && isDigit(b[ej]))
                ++ej;
            // Compare by value without converting: strip leading zeros, then
            // a longer run is larger, equal lengths compare as text.
            std::string_view da = a.substr(i, ei - i);
            std::string_view db = b.substr(j, ej - j);
            da.remove_prefix(std::min(da.find_first_not_of('0'), da.size()));
            db.remove_prefix(std::min(db.find_first_not_of('0'), db.size()));
            if (da.size() != db.size())
                return da.size() < db.size();
            if (da != db)
                return da < db;
            i = ei;
            j = ej;
            continue;
        }
        if (a[i] != b[j])
            return a[i] < b[j];
        ++i;
        ++j;
    }
    return a.size() - i < b.size() - j;
}

}  // namespace serial
