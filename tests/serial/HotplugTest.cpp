#include "driver/serial/Hotplug.h"
#include "tests/support/FakeSystem.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <poll.h>

namespace fs = std::filesystem;

namespace {

// Whether the watch has something to say within `ms`, and what.
bool ChangedWithin(serial::DevWatch& watch, int ms)
{
    pollfd p{watch.fd(), POLLIN, 0};
    if (::poll(&p, 1, ms) != 1)
        return false;
    return watch.TakeChanges();
}

TEST(SerialNodeNames, OnlyWhatCanBeAPort)
{
    struct Case {
        const char* name;
        bool serial;
    };
    const Case cases[] = {
        {"ttyUSB0", true}, {"ttyACM12", true}, {"ttyS2", true},  {"ttyAMA0", true}, {"rfcomm0", true},
        {"serial", true},  {"by-id", true},    {"tty", false},   {"tty0", false},   {"tty63", false},
        {"sda1", false},   {"null", false},    {"pts", false},   {"", false},       {"ptmx", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(serial::IsSerialNodeName(c.name), c.serial) << c.name;
}

TEST(DevWatch, FollowsNodesAndByIdNamesComingAndGoing)
{
    FakeSystem fake;
    serial::DevWatch watch(fake.dev());
    ASSERT_GE(watch.fd(), 0) << watch.error();
    EXPECT_FALSE(watch.TakeChanges());  // nothing yet, and no wait

    fake.WriteFile("dev/sda1", "");
    EXPECT_FALSE(ChangedWithin(watch, 50)) << "a disk is no port";

    fake.WriteFile("dev/ttyUSB0", "");
    EXPECT_TRUE(ChangedWithin(watch, 2000)) << "adapter plugged in";
    fs::permissions(fake.Dev("ttyUSB0"), fs::perms::group_write, fs::perm_options::add);
    EXPECT_TRUE(ChangedWithin(watch, 2000)) << "udev gave it its group";

    // udev makes the folders with the first adapter, then the link.
    fake.AddByIdLink("usb-FTDI_A1-if00-port0", "../../ttyUSB0");
    EXPECT_TRUE(ChangedWithin(watch, 2000)) << "by-id folder";
    while (ChangedWithin(watch, 50)) {
    }
    fs::remove(fake.root() / "dev/serial/by-id/usb-FTDI_A1-if00-port0");
    EXPECT_TRUE(ChangedWithin(watch, 2000)) << "link removed, now that the folder is watched";
    fake.AddByIdLink("usb-FTDI_A1-if00-port0", "../../ttyUSB1");
    EXPECT_TRUE(ChangedWithin(watch, 2000)) << "link back";

    fs::remove(fake.Dev("ttyUSB0"));
    EXPECT_TRUE(ChangedWithin(watch, 2000)) << "adapter pulled";

    // The folders go with the last adapter and come back with the next.
    fs::remove_all(fake.root() / "dev/serial");
    EXPECT_TRUE(ChangedWithin(watch, 2000));
    while (ChangedWithin(watch, 50)) {
    }
    fake.AddByIdLink("usb-FTDI_B2-if00-port0", "../../ttyUSB3");
    EXPECT_TRUE(ChangedWithin(watch, 2000));
    while (ChangedWithin(watch, 50)) {
    }
    fs::remove(fake.root() / "dev/serial/by-id/usb-FTDI_B2-if00-port0");
    EXPECT_TRUE(ChangedWithin(watch, 2000)) << "the new folder is watched again";
    EXPECT_FALSE(ChangedWithin(watch, 50)) << "and nothing more";
}

TEST(DevWatch, AMissingFolderIsSaidNotHidden)
{
    serial::DevWatch watch("/nonexistent/dev");
    EXPECT_LT(watch.fd(), 0);
    EXPECT_NE(watch.error(), 0);
    EXPECT_FALSE(watch.TakeChanges());
}

}  // namespace
