#include "tests/support/FakeSystem.h"

#include <atomic>
#include <fstream>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

FakeSystem::FakeSystem()
{
    static std::atomic<int> counter{0};
    root_ = fs::temp_directory_path() /
            ("dtu-fake-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    fs::remove_all(root_);
    for (const char* dir : {"sys/class/tty", "sys/bus/usb/devices", "dev", "proc", "etc/udev/rules.d", "lib/udev/rules.d"})
        fs::create_directories(root_ / dir);
}

FakeSystem::~FakeSystem()
{
    std::error_code ec;
    fs::remove_all(root_, ec);
}

void FakeSystem::WriteFile(const std::string& relative, const std::string& text)
{
    const fs::path path = root_ / relative;
    fs::create_directories(path.parent_path());
    std::ofstream(path) << text;
}

void FakeSystem::AddUsbDevice(const std::string& usb, const std::string& vid, const std::string& pid,
                              const std::string& manufacturer, const std::string& product, const std::string& serial)
{
    const std::string dir = "sys/devices/pci0000:00/usb1/" + usb + "/";
    WriteFile(dir + "idVendor", vid + "\n");
    WriteFile(dir + "idProduct", pid + "\n");
    if (!manufacturer.empty())
        WriteFile(dir + "manufacturer", manufacturer + "\n");
    if (!product.empty())
        WriteFile(dir + "product", product + "\n");
    if (!serial.empty())
        WriteFile(dir + "serial", serial + "\n");
    fs::create_directory_symlink(fs::path("../../../devices/pci0000:00/usb1") / usb,
                                 root_ / "sys/bus/usb/devices" / usb);
}

void FakeSystem::AddUsbTty(const std::string& usb, const std::string& name, const std::string& driver)
{
    const fs::path device = root_ / "sys/devices/pci0000:00/usb1" / usb / (usb + ":1.0");
    const bool acm = name.starts_with("ttyACM");
    // usb-serial: .../1-1.3:1.0/ttyUSB0/tty/ttyUSB0, device -> the port;
    // ACM:        .../1-1.3:1.0/tty/ttyACM0, device -> the interface.
    const fs::path port = acm ? device : device / name;
    const fs::path tty = port / "tty" / name;
    fs::create_directories(tty);
    fs::create_directories(root_ / "sys/bus/usb-serial/drivers" / driver);
    fs::create_directory_symlink(root_ / "sys/bus/usb-serial/drivers" / driver, port / "driver");
    fs::create_directory_symlink(port, tty / "device");
    fs::create_directory_symlink(fs::relative(tty, root_ / "sys/class/tty"), root_ / "sys/class/tty" / name);
    WriteFile("dev/" + name, "");
    fs::permissions(root_ / "dev" / name, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                                              fs::perms::group_write);
}

void FakeSystem::AddPlatformTty(const std::string& name)
{
    const fs::path tty = root_ / "sys/devices/platform/serial8250/tty" / name;
    fs::create_directories(tty / "device" / "driver");
    WriteFile("sys/devices/platform/serial8250/tty/" + name + "/type", "4\n");
    fs::create_directory_symlink(fs::relative(tty, root_ / "sys/class/tty"), root_ / "sys/class/tty" / name);
    WriteFile("dev/" + name, "");
}

void FakeSystem::AddByIdLink(const std::string& byIdName, const std::string& target)
{
    fs::create_directories(root_ / "dev/serial/by-id");
    fs::create_symlink(target, root_ / "dev/serial/by-id" / byIdName);
}

void FakeSystem::AddProcess(int pid, const std::string& name, const std::vector<std::string>& targets)
{
    const fs::path dir = root_ / "proc" / std::to_string(pid);
    WriteFile("proc/" + std::to_string(pid) + "/comm", name + "\n");
    fs::create_directories(dir / "fd");
    int fd = 0;
    for (const std::string& target : targets)
        fs::create_symlink(target, dir / "fd" / std::to_string(fd++));
}
