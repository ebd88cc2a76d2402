#include "driver/serial/BufferedPort.h"
#include "driver/serial/LineSettings.h"
#include "tests/support/Pty.h"

#include <gtest/gtest.h>

namespace {

termios Cooked()
{
    termios t{};
    t.c_iflag = ICRNL | IXON | IXOFF | ISTRIP;
    t.c_oflag = OPOST | ONLCR;
    t.c_lflag = ICANON | ECHO | ISIG | IEXTEN;
    t.c_cflag = CS7 | CSTOPB | CRTSCTS | HUPCL | PARENB;
    cfsetspeed(&t, B9600);
    return t;
}

TEST(LineSettings, ParityCodesMapToTermiosBits)
{
    struct Case {
        unsigned parity;
        tcflag_t cflags;  // of PARENB | PARODD
        bool inpck;
    };
    const Case cases[] = {
        {serial::kParityNone, 0, false},
        {serial::kParityOdd, PARENB | PARODD, true},
        {serial::kParityEven, PARENB, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.parity);
        termios t = Cooked();
        ASSERT_TRUE(serial::MakeRaw(t, 115200, c.parity));
        EXPECT_EQ(t.c_cflag & (PARENB | PARODD), c.cflags);
        EXPECT_EQ((t.c_iflag & INPCK) != 0, c.inpck);
        // The rest of the line is the same whatever the parity.
        EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
        EXPECT_EQ(t.c_cflag & (CSTOPB | CRTSCTS | HUPCL), 0u);
        EXPECT_EQ(t.c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
        EXPECT_EQ(t.c_iflag & (IXON | IXOFF | ICRNL | ISTRIP), 0u);
        EXPECT_EQ(t.c_oflag & OPOST, 0u);
        EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
        EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B115200));
        EXPECT_EQ(cfgetispeed(&t), static_cast<speed_t>(B115200));
    }
}

TEST(LineSettings, EveryRateOfTheSettingsPage)
{
    const std::pair<unsigned, speed_t> rates[] = {
        {1200, B1200},   {2400, B2400},   {4800, B4800},   {9600, B9600},
        {19200, B19200}, {38400, B38400}, {57600, B57600}, {115200, B115200},
    };
    for (const auto& [rate, speed] : rates)
        EXPECT_EQ(serial::BaudToSpeed(rate), speed) << rate;
}

TEST(LineSettings, RefusesWhatTheLineCannotTake)
{
    for (const auto& [baud, parity] : {std::pair{12345u, 0u}, {0u, 0u}, {9600u, 3u}, {9600u, 0xFFFFFFFFu}}) {
        termios t = Cooked();
        const termios before = t;
        EXPECT_FALSE(serial::MakeRaw(t, baud, parity)) << baud << " " << parity;
        EXPECT_EQ(t.c_cflag, before.c_cflag);
        EXPECT_EQ(t.c_iflag, before.c_iflag);
    }
}

TEST(LineSettings, ReadBackToleratesLostParityOnly)
{
    termios wanted = Cooked();
    ASSERT_TRUE(serial::MakeRaw(wanted, 19200, serial::kParityEven));

    termios noParity = wanted;  // what a pseudo-terminal keeps
    noParity.c_cflag &= ~(PARENB | PARODD);
    EXPECT_TRUE(serial::HoldsLine(wanted, noParity));

    termios otherRate = wanted;
    cfsetspeed(&otherRate, B9600);
    EXPECT_FALSE(serial::HoldsLine(wanted, otherRate));

    termios sevenBits = wanted;
    sevenBits.c_cflag = (sevenBits.c_cflag & ~CSIZE) | CS7;
    EXPECT_FALSE(serial::HoldsLine(wanted, sevenBits));

    termios flow = wanted;
    flow.c_cflag |= CRTSCTS;
    EXPECT_FALSE(serial::HoldsLine(wanted, flow));
}

// A line that an earlier run left raw with a parity (a crash, a kill, a
// program that does not restore) opens again with the same settings, and
// takes them again while open.
TEST(LineSettings, ALineLeftWithAParityOpensWithItAgain)
{
    for (const unsigned parity : {serial::kParityNone, serial::kParityOdd, serial::kParityEven}) {
        SCOPED_TRACE(parity);
        PtyPair pty;
        termios left{};
        ASSERT_EQ(::tcgetattr(pty.master(), &left), 0);
        ASSERT_TRUE(serial::MakeRaw(left, 115200, parity));
        ::tcsetattr(pty.master(), TCSANOW, &left);
        ReceiveBuffer rx;
        BufferedPort port(rx);
        ASSERT_TRUE(port.Open(pty.terminalPath(), 115200, parity)) << static_cast<int>(port.LastError());
        EXPECT_TRUE(port.SetLine(115200, parity));
        port.Close();
    }
}

}  // namespace
