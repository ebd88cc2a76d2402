#include "serial/PortList.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fcntl.h>
#include <fstream>
#include <sys/file.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// A sysfs and /dev of our own, laid out as the kernel lays them out:
//   sys/class/tty/ttyUSB0 -> ../../devices/usb/ttyUSB0
//   sys/devices/usb/ttyUSB0/device/driver/
class FakeTree : public ::testing::Test {
protected:
    void SetUp() override
    {
        root_ = fs::temp_directory_path() /
                ("dtu-ports-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root_);
        fs::create_directories(root_ / "sys/class/tty");
        fs::create_directories(root_ / "dev");
    }
    void TearDown() override { fs::remove_all(root_); }

    // bus: where under /sys/devices the tty sits ("virtual" for virtual ones).
    void AddTty(const std::string& name, const std::string& bus, bool driver,
                const std::string& uartType = "")
    {
        const fs::path dir = root_ / "sys/devices" / bus / "tty" / name;
        fs::create_directories(dir);
        if (driver)
            fs::create_directories(dir / "device" / "driver");
        if (!uartType.empty())
            std::ofstream(dir / "type") << uartType << "\n";
        fs::create_directory_symlink(fs::path("../../devices") / bus / "tty" / name,
                                     root_ / "sys/class/tty" / name);
        std::ofstream(root_ / "dev" / name) << "";
    }
    void SetConsole(const std::string& active)
    {
        fs::create_directories(root_ / "sys/devices/virtual/tty/console");
        std::ofstream(root_ / "sys/devices/virtual/tty/console/active") << active << "\n";
        fs::create_directory_symlink("../../devices/virtual/tty/console", root_ / "sys/class/tty/console");
    }
    std::vector<std::string> List() const
    {
        std::vector<std::string> names;
        for (const std::string& path : serial::ListPorts((root_ / "sys").string(), (root_ / "dev").string()))
            names.push_back(fs::path(path).filename().string());
        return names;
    }
    std::string Dev(const std::string& name) const { return (root_ / "dev" / name).string(); }

    fs::path root_;
};

TEST_F(FakeTree, ListsRealSerialDevicesInNaturalOrder)
{
    SetConsole("tty0 ttyS0");
    AddTty("tty0", "virtual", false);
    AddTty("ptmx", "virtual", false);
    AddTty("ttyS0", "platform/serial8250", true, "4");    // the console
    AddTty("ttyS10", "platform/serial8250", true, "4");
    AddTty("ttyS2", "platform/serial8250", true, "4");
    AddTty("ttyS3", "platform/serial8250", true, "0");    // slot without a UART
    AddTty("ttyS4", "platform/serial8250", true);         // type unreadable
    AddTty("ttyUSB0", "pci0/usb1", true);
    AddTty("ttyACM1", "pci0/usb2", true);
    AddTty("ttyUSB7", "pci0/usb1", false);                // no driver bound
    AddTty("ttyV0", "virtual", true);                     // virtual, even with a driver
    EXPECT_EQ(List(), (std::vector<std::string>{"ttyACM1", "ttyS2", "ttyS10", "ttyUSB0"}));
}

TEST_F(FakeTree, BusyAndMissingDevicesAreLeftOut)
{
    AddTty("ttyUSB0", "usb", true);
    AddTty("ttyUSB1", "usb", true);
    AddTty("ttyUSB2", "usb", true);
    fs::remove(root_ / "dev/ttyUSB2");  // sysfs knows it, /dev does not
    const int held = ::open(Dev("ttyUSB1").c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX | LOCK_NB), 0);
    EXPECT_EQ(List(), std::vector<std::string>{"ttyUSB0"});
    ::close(held);
    EXPECT_EQ(List(), (std::vector<std::string>{"ttyUSB0", "ttyUSB1"}));
}

TEST_F(FakeTree, NoSysfsNoPorts)
{
    EXPECT_TRUE(serial::ListPorts((root_ / "nothing").string(), (root_ / "dev").string()).empty());
}

TEST(NaturalOrder, NumbersCompareByValue)
{
    struct Case {
        const char* a;
        const char* b;
        bool less;
    };
    const Case cases[] = {
        {"ttyS2", "ttyS10", true},   {"ttyS10", "ttyS2", false}, {"ttyS2", "ttyS2", false},
        {"ttyACM0", "ttyS0", true},  {"ttyS9", "ttyUSB0", true}, {"ttyUSB1", "ttyUSB01", false},
        {"ttyUSB", "ttyUSB0", true}, {"tty5a", "tty5b", true},   {"ttyS007", "ttyS10", true},
        {"", "a", true},             {"a", "", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(serial::NaturalLess(c.a, c.b), c.less) << c.a << " < " << c.b;
}

}  // namespace
