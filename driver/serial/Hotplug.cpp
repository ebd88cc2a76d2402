#include "driver/serial/Hotplug.h"

#include <cctype>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <sys/inotify.h>
#include <unistd.h>

namespace serial {

namespace {

constexpr std::uint32_t kNodeEvents = IN_CREATE | IN_DELETE | IN_ATTRIB | IN_MOVED_FROM | IN_MOVED_TO;

}  // namespace

bool IsSerialNodeName(std::string_view name)
{
    if (name == "serial" || name == "by-id" || name.starts_with("rfcomm"))
        return true;
    if (!name.starts_with("tty") || name.size() == 3)
        return false;
    // tty1 .. tty63 are the virtual consoles.
    return !std::isdigit(static_cast<unsigned char>(name[3]));
}

DevWatch::DevWatch(const std::string& devRoot) : devRoot_(devRoot)
{
    fd_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd_ < 0) {
        error_ = errno;
        return;
    }
    devWatch_ = ::inotify_add_watch(fd_, devRoot_.c_str(), kNodeEvents | IN_ONLYDIR);
    if (devWatch_ < 0) {
        error_ = errno;
        ::close(fd_);
        fd_ = -1;
        return;
    }
    WatchSerialFolders();
}

DevWatch::~DevWatch()
{
    if (fd_ >= 0)
        ::close(fd_);
}

void DevWatch::WatchSerialFolders()
{
    // Either may not exist yet: udev makes them with the first adapter.
    // Adding a watch twice returns the same descriptor.
    const std::string serial = devRoot_ + "/serial";
    serialWatch_ = ::inotify_add_watch(fd_, serial.c_str(), kNodeEvents | IN_ONLYDIR);
    byIdWatch_ = ::inotify_add_watch(fd_, (serial + "/by-id").c_str(), kNodeEvents | IN_ONLYDIR);
}

bool DevWatch::TakeChanges()
{
    if (fd_ < 0)
        return false;
    bool changed = false;
    bool folders = false;
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(fd_, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        const std::size_t size = static_cast<std::size_t>(got);
        // Each record is a header and `len` bytes of name; read no further
        // than what arrived, whatever a record claims.
        for (std::size_t at = 0; at + sizeof(inotify_event) <= size;) {
            inotify_event event;
            std::memcpy(&event, buffer + at, sizeof event);
            const std::size_t nameAt = at + sizeof event;
            if (event.len > size - nameAt)
                break;
            const std::string_view name(buffer + nameAt, ::strnlen(buffer + nameAt, event.len));
            at = nameAt + event.len;

            if (event.mask & IN_Q_OVERFLOW) {
                changed = folders = true;
            } else if (event.mask & IN_IGNORED) {
                // A watched folder went away; watch it again when it is back.
                if (event.wd == serialWatch_ || event.wd == byIdWatch_) {
                    changed = true;
                    if (event.wd == serialWatch_)
                        serialWatch_ = -1;
                    else
                        byIdWatch_ = -1;
                }
            } else if (event.wd == devWatch_) {
                if (IsSerialNodeName(name)) {
                    changed = true;
                    folders = folders || name == "serial";
                }
            } else if (event.wd == serialWatch_) {
                changed = true;
                folders = folders || name == "by-id";
            } else if (event.wd == byIdWatch_) {
                changed = true;
            }
        }
    }
    if (folders || serialWatch_ < 0 || byIdWatch_ < 0)
        WatchSerialFolders();
    return changed;
}

}  // namespace serial
