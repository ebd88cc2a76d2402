// Serial devices coming and going, told by the kernel instead of looked for.
//
// inotify on /dev: devtmpfs creates and removes ttyUSB0 as the adapter comes
// and goes, udev then changes its group (an attribute change) and adds the
// by-id link under /dev/serial/by-id, which is watched too once it exists.
// The descriptor is readable only when something happened, so a caller that
// sleeps on it (poll, QSocketNotifier) costs nothing while nothing does.
#pragma once

#include <string>
#include <string_view>

namespace serial {

// Whether a change to this entry of /dev can concern a serial port:
// ttyUSB0, ttyACM1, ttyS2, rfcomm0, the serial/ folder. Not the virtual
// consoles (tty0..tty63) nor /dev/tty, which never come and go.
bool IsSerialNodeName(std::string_view name);

class DevWatch {
public:
    explicit DevWatch(const std::string& devRoot = "/dev");
    ~DevWatch();
    DevWatch(const DevWatch&) = delete;
    DevWatch& operator=(const DevWatch&) = delete;

    // -1 when inotify could not be had (errno kept in error()).
    int fd() const { return fd_; }
    int error() const { return error_; }

    // Reads every pending event without waiting; true when a serial device
    // or a by-id name came, went or changed its permissions.
    bool TakeChanges();

private:
    void WatchSerialFolders();

    std::string devRoot_;
    int fd_ = -1;
    int error_ = 0;
    int devWatch_ = -1;
    int serialWatch_ = -1;
    int byIdWatch_ = -1;
};

}  // namespace serial
