#include "driver/serial/PortInfo.h"
#include "driver/serial/PortList.h"
#include "tests/support/FakeSystem.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

class PortInfoTest : public ::testing::Test {
protected:
    FakeSystem fake;
    serial::Roots Roots() const { return {fake.sys(), fake.dev()}; }
};

TEST_F(PortInfoTest, LabelsNameWhatAPersonRecognises)
{
    fake.AddUsbDevice("1-1.3", "0403", "6001", "FTDI", "FT232R USB UART", "A10K3XYZ");
    fake.AddUsbTty("1-1.3", "ttyUSB0", "ftdi_sio");
    fake.AddUsbDevice("1-2", "1a86", "7523", "", "USB Serial", "");
    fake.AddUsbTty("1-2", "ttyUSB1", "ch341-uart");
    fake.AddUsbDevice("1-4", "2c7c", "0125", "Quectel", "", "");
    fake.AddUsbTty("1-4", "ttyACM0", "cdc_acm");
    fake.AddUsbDevice("1-5", "abcd", "0001", "", "", "  ");
    fake.AddUsbTty("1-5", "ttyACM1", "cdc_acm");
    fake.AddUsbDevice("1-6", "10c4", "ea60", "Silicon Labs", "CP2102 USB to UART Bridge Controller  ", "0001");
    fake.AddUsbTty("1-6", "ttyUSB2", "cp210x");
    fake.AddPlatformTty("ttyS1");

    struct Case {
        const char* name;
        const char* label;
        const char* driver;
        const char* vid;
    };
    const Case cases[] = {
        {"ttyUSB0", " - FT232R USB UART, serial A10K3XYZ", "ftdi_sio", "0403"},
        {"ttyUSB1", " - USB Serial", "ch341-uart", "1a86"},
        {"ttyACM0", " - Quectel", "cdc_acm", "2c7c"},      // the maker when there is no product
        {"ttyACM1", " - USB abcd:0001", "cdc_acm", "abcd"},  // no strings: the ids; a blank serial is none
        {"ttyUSB2", " - CP2102 USB to UART Bridge Controller, serial 0001", "cp210x", "10c4"},
        {"ttyS1", "", "", ""},                              // no USB device above it
        {"ttyUSB9", "", "", ""},                            // unknown to sysfs
    };
    for (const Case& c : cases) {
        const serial::PortInfo info = serial::DescribePort(fake.Dev(c.name), Roots());
        EXPECT_EQ(serial::PortLabel(info), fake.Dev(c.name) + c.label) << c.name;
        EXPECT_EQ(info.vendorId, c.vid) << c.name;
        if (std::string(c.name) != "ttyS1") {
            EXPECT_EQ(info.driver, c.driver) << c.name;
        }
    }
}

TEST_F(PortInfoTest, ByIdNamesFollowTheAdapterAcrossAReplug)
{
    fake.AddUsbDevice("1-1.3", "0403", "6001", "FTDI", "FT232R USB UART", "A10K3XYZ");
    fake.AddUsbTty("1-1.3", "ttyUSB0", "ftdi_sio");
    fake.AddUsbDevice("1-2", "0403", "6001", "FTDI", "FT232R USB UART", "B20");
    fake.AddUsbTty("1-2", "ttyUSB1", "ftdi_sio");
    const std::string a = "usb-FTDI_FT232R_USB_UART_A10K3XYZ-if00-port0";
    const std::string b = "usb-FTDI_FT232R_USB_UART_B20-if00-port0";
    fake.AddByIdLink(a, "../../ttyUSB0");              // as udev writes them
    fake.AddByIdLink(b, fake.Dev("ttyUSB1"));          // an absolute one
    fake.AddByIdLink("usb-gone-if00-port0", "../../ttyUSB7");  // broken: left out

    const std::string byIdA = fake.Dev("serial/by-id/" + a);
    const std::vector<serial::ByIdName> names = serial::ListByIdNames(fake.dev());
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names[0].name, byIdA);
    EXPECT_EQ(names[0].device, fake.Dev("ttyUSB0"));
    EXPECT_EQ(names[1].device, fake.Dev("ttyUSB1"));

    // Described through its by-id name: the same adapter, the stable name kept.
    const serial::PortInfo viaById = serial::DescribePort(byIdA, Roots());
    EXPECT_EQ(viaById.device, fake.Dev("ttyUSB0"));
    EXPECT_EQ(viaById.byId, byIdA);
    EXPECT_EQ(viaById.serialNumber, "A10K3XYZ");
    EXPECT_EQ(serial::DescribePort(fake.Dev("ttyUSB0"), Roots()).byId, byIdA);

    // Replugged: the kernel hands out ttyUSB2, udev moves the link.
    fs::remove(fake.root() / "dev/serial/by-id" / a);
    fake.AddByIdLink(a, "../../ttyUSB2");
    fake.WriteFile("dev/ttyUSB2", "");
    EXPECT_EQ(serial::ResolveDevice(byIdA), fake.Dev("ttyUSB2"));
    EXPECT_EQ(serial::ByIdFor(fake.Dev("ttyUSB2"), fake.dev()), byIdA);
    EXPECT_EQ(serial::ByIdFor(fake.Dev("ttyUSB0"), fake.dev()), "");
}

TEST_F(PortInfoTest, ResolveStopsAtLoopsAndBrokenLinks)
{
    fake.AddByIdLink("loop-a", "loop-b");
    fake.AddByIdLink("loop-b", "loop-a");
    fake.AddByIdLink("broken", "../../nothing");
    const std::string loop = fake.Dev("serial/by-id/loop-a");
    EXPECT_EQ(serial::ResolveDevice(loop), loop);
    EXPECT_EQ(serial::ResolveDevice(fake.Dev("serial/by-id/broken")), fake.Dev("serial/by-id/broken"));
    EXPECT_TRUE(serial::ListByIdNames(fake.dev()).empty());
    EXPECT_TRUE(serial::ListByIdNames((fake.root() / "none").string()).empty());
}

TEST_F(PortInfoTest, PseudoTerminalsAreRecognised)
{
    struct Case {
        const char* path;
        bool pty;
    };
    for (const Case& c : {Case{"/dev/pts/3", true}, Case{"/dev/ptyp0", true}, Case{"/dev/ttyUSB0", false},
                          Case{"/dev/serial/by-id/usb-x", false}})
        EXPECT_EQ(serial::IsPseudoTerminal(c.path), c.pty) << c.path;
}

TEST_F(PortInfoTest, ADeviceWithoutItsNodeIsNotOffered)
{
    fake.AddUsbDevice("1-1", "0403", "6001", "FTDI", "FT232R USB UART", "X");
    fake.AddUsbTty("1-1", "ttyUSB0", "ftdi_sio");
    fake.AddPlatformTty("ttyS2");
    fs::remove(fake.root() / "dev/ttyS2");  // cannot be opened at all
    EXPECT_EQ(serial::ListTtyDevices(fake.sys(), fake.dev()),
              (std::vector<std::string>{fake.Dev("ttyS2"), fake.Dev("ttyUSB0")}));
    EXPECT_EQ(serial::ListPorts(Roots()), std::vector<std::string>{fake.Dev("ttyUSB0")});
}

}  // namespace
