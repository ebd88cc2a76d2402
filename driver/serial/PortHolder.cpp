#include "driver/serial/PortHolder.h"

#include "core/common/Tr.h"

#include <charconv>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string_view>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace fs = std::filesystem;

namespace serial {

namespace {

using Inode = std::pair<dev_t, ino_t>;

template <class Number>
bool Parse(std::string_view text, Number& value, int base = 10)
{
    const char* end = text.data() + text.size();
    const auto [at, error] = std::from_chars(text.data(), end, value, base);
    return error == std::errc() && at == end && !text.empty();
}

// "00:06:1043": major and minor in hex, the inode in decimal.
std::optional<Inode> ParseInode(std::string_view text)
{
    const std::size_t first = text.find(':');
    const std::size_t second = text.find(':', first == std::string_view::npos ? first : first + 1);
    unsigned major = 0;
    unsigned minor = 0;
    unsigned long long ino = 0;
    if (second == std::string_view::npos || !Parse(text.substr(0, first), major, 16) ||
        !Parse(text.substr(first + 1, second - first - 1), minor, 16) || !Parse(text.substr(second + 1), ino))
        return std::nullopt;
    return Inode{makedev(major, minor), static_cast<ino_t>(ino)};
}

// Every flock the kernel knows of, by inode; the first holder of a shared
// lock stands for all.
std::map<Inode, int> FlockHolders(const std::string& proc)
{
    std::map<Inode, int> holders;
    std::ifstream in(proc + "/locks");
    for (std::string line; std::getline(in, line);) {
        std::istringstream words(line);
        std::string number, kind, mode, access, pid, where;
        if (!(words >> number >> kind >> mode >> access >> pid >> where) || kind != "FLOCK")
            continue;
        int value = 0;
        const std::optional<Inode> inode = ParseInode(where);
        if (inode && Parse(pid, value))
            holders.emplace(*inode, value);
    }
    return holders;
}

// The pid in a lock file: text, as HDB UUCP and most programs write it, or
// the binary int of the older convention.
int LockFilePid(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    char bytes[32];
    in.read(bytes, sizeof bytes);
    const auto size = static_cast<std::size_t>(in.gcount());
    std::string_view text(bytes, size);
    const std::size_t begin = text.find_first_not_of(" \t\r\n");
    const std::size_t end = text.find_last_not_of(" \t\r\n");
    int pid = 0;
    if (begin != std::string_view::npos && Parse(text.substr(begin, end - begin + 1), pid))
        return pid;
    if (size == sizeof pid) {
        std::memcpy(&pid, bytes, sizeof pid);
        return pid;
    }
    return 0;
}

Holder Named(int pid, const Roots& roots)
{
    return {pid, pid > 0 ? ReadFirstLine(roots.proc + "/" + std::to_string(pid) + "/comm") : std::string()};
}

std::optional<Holder> FromLockFile(const std::string& path, const Roots& roots)
{
    const fs::path file = fs::path(roots.lock) / ("LCK.." + fs::path(ResolveDevice(path)).filename().string());
    const int pid = LockFilePid(file);
    std::error_code ec;
    if (pid <= 0 || !fs::exists(fs::path(roots.proc) / std::to_string(pid), ec))
        return std::nullopt;
    return Named(pid, roots);
}

}  // namespace

std::vector<std::optional<Holder>> FindHolders(const std::vector<std::string>& paths, const Roots& roots)
{
    std::vector<std::optional<Holder>> holders;
    const std::map<Inode, int> flocks = FlockHolders(roots.proc);
    for (const std::string& path : paths) {
        struct stat st {};
        if (::stat(path.c_str(), &st) == 0) {
            if (const auto it = flocks.find({st.st_dev, st.st_ino}); it != flocks.end()) {
                holders.push_back(Named(it->second, roots));
                continue;
            }
        }
        holders.push_back(FromLockFile(path, roots));
    }
    return holders;
}

std::optional<Holder> FindHolder(const std::string& path, const Roots& roots)
{
    return FindHolders({path}, roots).front();
}

std::string HolderMark(const std::optional<Holder>& holder)
{
    if (!holder)
        return {};
    const std::string lead = text::Translate("serial", kHeldBy);
    if (holder->pid <= 0)
        return lead + DTU_TR("serial", "another program");
    const std::string pid = std::to_string(holder->pid);
    return lead + (holder->program.empty() ? text::Fill(DTU_TR("serial", "process %1"), {pid})
                                           : holder->program + " (" + pid + ")");
}

}  // namespace serial
