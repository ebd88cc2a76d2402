// A machine of our own in a temporary folder: sysfs, /dev, /proc, /etc/group
// and udev's rule folders, laid out as the kernel and udev lay them out, so
// that port descriptions and setup checks can be tried on any situation
// without a device.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

class FakeSystem {
public:
    FakeSystem();
    ~FakeSystem();
    FakeSystem(const FakeSystem&) = delete;
    FakeSystem& operator=(const FakeSystem&) = delete;

    const std::filesystem::path& root() const { return root_; }
    std::string sys() const { return (root_ / "sys").string(); }
    std::string dev() const { return (root_ / "dev").string(); }
    std::string Dev(const std::string& name) const { return (root_ / "dev" / name).string(); }

    // A USB device at bus path `usb` ("1-1.3") with its strings; empty
    // strings are left out, as for devices without them.
    void AddUsbDevice(const std::string& usb, const std::string& vid, const std::string& pid,
                      const std::string& manufacturer, const std::string& product, const std::string& serial);
    // A usb-serial tty (ttyUSB) two levels below the device, or an ACM tty
    // one level below (the interface); the node in /dev with mode 0660.
    void AddUsbTty(const std::string& usb, const std::string& name, const std::string& driver);
    void AddPlatformTty(const std::string& name);
    void AddByIdLink(const std::string& byIdName, const std::string& target);

    // A process with its name and descriptors pointing at `targets`.
    void AddProcess(int pid, const std::string& name, const std::vector<std::string>& targets = {});
    void WriteFile(const std::string& relative, const std::string& text);

private:
    std::filesystem::path root_;
};
