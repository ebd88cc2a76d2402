#include "driver/serial/PortList.h"
#include "driver/serial/SetupCheck.h"
#include "tests/support/FakeSystem.h"
#include "tests/support/Pty.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fcntl.h>
#include <fstream>
#include <sys/file.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
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
        for (const std::string& path : serial::ListPorts({(root_ / "sys").string(), (root_ / "dev").string()}))
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

TEST_F(FakeTree, NoSysfsNoPorts)
{
    EXPECT_TRUE(serial::ListPorts({(root_ / "nothing").string(), (root_ / "dev").string()}).empty());
}

// Adapters on a fake bus whose nodes are real pseudo-terminals, with the
// real lock table: as the kernel shows a locked serial device.
class HeldPorts : public ::testing::Test {
protected:
    // ttyUSB<n> in sysfs, its /dev node a link to the pty.
    std::string Adapter(int n, const PtyPair& pty)
    {
        const std::string name = "ttyUSB" + std::to_string(n);
        fake.AddUsbDevice("1-" + std::to_string(n), "0403", "6001", "FTDI", "FT232R USB UART", "");
        fake.AddUsbTty("1-" + std::to_string(n), name, "ftdi_sio");
        fs::remove(fake.Dev(name));
        fs::create_symlink(pty.terminalPath(), fake.Dev(name));
        return fake.Dev(name);
    }
    static int Open(const std::string& path) { return ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC); }
    static std::string OwnName()
    {
        std::ifstream in("/proc/self/comm");
        std::string name;
        std::getline(in, name);
        return name;
    }

    FakeSystem fake;
    serial::Roots roots{fake.sys(), fake.dev(), "/proc", (fake.root() / "lock").string()};
};

TEST_F(HeldPorts, ListingOpensNoDevice)
{
    PtyPair free;
    PtyPair locked;
    PtyPair open;
    const std::vector<std::string> adapters = {Adapter(0, free), Adapter(1, locked), Adapter(2, open)};
    const int lockedFd = Open(locked.terminalPath());
    const int openFd = Open(open.terminalPath());
    ASSERT_GE(lockedFd, 0);
    ASSERT_GE(openFd, 0);
    ASSERT_EQ(::flock(lockedFd, LOCK_EX | LOCK_NB), 0);

    const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    for (const PtyPair* pty : {&free, &locked, &open})
        ASSERT_GE(::inotify_add_watch(watch, pty->terminalPath().c_str(), IN_OPEN), 0);
    const auto opens = [&] {
        // A watch on a file reports no name: every event is one header.
        std::size_t count = 0;
        alignas(inotify_event) char buffer[4096];
        for (ssize_t got; (got = ::read(watch, buffer, sizeof buffer)) > 0;)
            count += static_cast<std::size_t>(got) / sizeof(inotify_event);
        return count;
    };

    // Everything the settings page and dtuctl ports and doctor do to list.
    const std::vector<std::string> listed = serial::ListPorts(roots);
    const auto holders = serial::FindHolders(listed, roots);
    for (const std::string& path : listed)
        serial::DescribePort(path, roots);
    serial::SetupEnv env = serial::SetupEnv::Current();
    env.roots = roots;
    serial::CheckSetup(env);
    EXPECT_EQ(opens(), 0u);

    EXPECT_EQ(listed, adapters);
    ASSERT_EQ(holders.size(), 3u);
    EXPECT_FALSE(holders[0]);
    ASSERT_TRUE(holders[1]);
    EXPECT_EQ(holders[1]->pid, ::getpid());
    EXPECT_EQ(holders[1]->program, OwnName());
    EXPECT_FALSE(holders[2]) << "open without a lock";

    // The watch does see an open: the zero above means something.
    ::close(Open(free.terminalPath()));
    EXPECT_EQ(opens(), 1u);
    ::close(lockedFd);
    ::close(openFd);
    ::close(watch);
}

TEST_F(HeldPorts, TheLockTableNamesWhoeverLocksTheNode)
{
    PtyPair pty;
    const std::string byName = Adapter(0, pty);
    const int fd = Open(pty.terminalPath());
    ASSERT_GE(fd, 0);
    EXPECT_FALSE(serial::FindHolder(pty.terminalPath(), roots));
    for (const int kind : {LOCK_SH, LOCK_EX}) {
        ASSERT_EQ(::flock(fd, kind | LOCK_NB), 0);
        for (const std::string& path : {pty.terminalPath(), byName}) {
            const auto holder = serial::FindHolder(path, roots);
            ASSERT_TRUE(holder) << path;
            EXPECT_EQ(holder->pid, ::getpid());
            EXPECT_EQ(holder->program, OwnName());
        }
    }
    ::flock(fd, LOCK_UN);
    EXPECT_FALSE(serial::FindHolder(pty.terminalPath(), roots));
    ::close(fd);
}

TEST_F(HeldPorts, LockFilesNameALiveProcess)
{
    fake.AddProcess(4242, "minicom");
    fake.AddProcess(77, "cu");
    roots.proc = (fake.root() / "proc").string();
    const int binary = 77;
    struct Case {
        const char* name;
        std::string content;
        int pid;  // 0: not held
        const char* program;
    };
    const Case cases[] = {
        {"ttyUSB0", "      4242\n", 4242, "minicom"},
        {"ttyUSB1", std::string(reinterpret_cast<const char*>(&binary), sizeof binary), 77, "cu"},
        {"ttyUSB2", "      9999\n", 0, ""},  // its process is gone
        {"ttyUSB3", "minicom\n", 0, ""},
        {"ttyUSB4", "", 0, ""},
    };
    for (const Case& c : cases) {
        fake.AddUsbTty("1-1", c.name, "ftdi_sio");
        fake.WriteFile(std::string("lock/LCK..") + c.name, c.content);
        const auto holder = serial::FindHolder(fake.Dev(c.name), roots);
        EXPECT_EQ(holder ? holder->pid : 0, c.pid) << c.name;
        EXPECT_EQ(holder ? holder->program : "", c.program) << c.name;
    }
}

TEST_F(HeldPorts, AProcessWaitingForTheLockHoldsNothing)
{
    fake.AddUsbTty("1-1", "ttyUSB0", "ftdi_sio");
    struct stat st {};
    ASSERT_EQ(::stat(fake.Dev("ttyUSB0").c_str(), &st), 0);
    char where[64];
    std::snprintf(where, sizeof where, "%02x:%02x:%llu", major(st.st_dev), minor(st.st_dev),
                  static_cast<unsigned long long>(st.st_ino));
    fake.AddProcess(4242, "minicom");
    roots.proc = (fake.root() / "proc").string();
    fake.WriteFile("proc/locks", std::string("1: -> FLOCK  ADVISORY  WRITE 4242 ") + where + " 0 EOF\n");
    EXPECT_FALSE(serial::FindHolder(fake.Dev("ttyUSB0"), roots));
    fake.WriteFile("proc/locks", std::string("1: FLOCK  ADVISORY  WRITE 4242 ") + where + " 0 EOF\n");
    const auto holder = serial::FindHolder(fake.Dev("ttyUSB0"), roots);
    ASSERT_TRUE(holder);
    EXPECT_EQ(serial::HolderMark(holder), " held by minicom (4242)");
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
