#include "driver/serial/LineSettings.h"

#include <array>
#include <utility>

namespace serial {

namespace {

constexpr std::array<std::pair<unsigned, speed_t>, 24> kRates{{
    {50, B50},         {75, B75},         {110, B110},       {134, B134},
    {150, B150},       {200, B200},       {300, B300},       {600, B600},
    {1200, B1200},     {1800, B1800},     {2400, B2400},     {4800, B4800},
    {9600, B9600},     {19200, B19200},   {38400, B38400},   {57600, B57600},
    {115200, B115200}, {230400, B230400}, {460800, B460800}, {500000, B500000},
    {576000, B576000}, {921600, B921600}, {1000000, B1000000}, {2000000, B2000000},
}};

}  // namespace

std::optional<speed_t> BaudToSpeed(unsigned baudRate)
{
    for (const auto& [rate, speed] : kRates)
        if (rate == baudRate)
            return speed;
    return std::nullopt;
}

std::optional<unsigned> SpeedToBaud(speed_t speed)
{
    for (const auto& [rate, value] : kRates)
        if (value == speed)
            return rate;
    return std::nullopt;
}

bool MakeRaw(termios& t, unsigned baudRate, unsigned parity)
{
    const auto speed = BaudToSpeed(baudRate);
    if (!speed || parity > kParityEven)
        return false;

    // Input: no break, CR/LF or case translation, no stripping of bit 7,
    // no software flow control. INPCK only when there is parity to check.
    t.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF |
                   IXANY | IMAXBEL | INPCK | IGNPAR);
#ifdef IUCLC
    t.c_iflag &= ~IUCLC;
#endif
    // Output: bytes go out as given.
    t.c_oflag &= ~OPOST;
    // No echo, no line editing, no signals from received bytes.
    t.c_lflag &= ~(ECHO | ECHOE | ECHOK | ECHONL | ICANON | ISIG | IEXTEN);
    // Eight data bits, one stop bit, no RTS/CTS; CLOCAL so that a missing
    // carrier neither blocks nor hangs up the port; CREAD to receive at all;
    // no HUPCL, DTR is ours to hold.
    t.c_cflag &= ~(CSIZE | CSTOPB | PARENB | PARODD | CRTSCTS | HUPCL);
#ifdef CMSPAR
    t.c_cflag &= ~CMSPAR;
#endif
    t.c_cflag |= CS8 | CLOCAL | CREAD;
    if (parity != kParityNone) {
        t.c_cflag |= PARENB;
        if (parity == kParityOdd)
            t.c_cflag |= PARODD;
        t.c_iflag |= INPCK;
    }
    // poll() says readable as soon as one byte is there.
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    cfsetispeed(&t, *speed);
    cfsetospeed(&t, *speed);
    return true;
}

bool HoldsLine(const termios& wanted, const termios& actual)
{
    constexpr tcflag_t kCflags = CSIZE | CSTOPB | CRTSCTS | CLOCAL | CREAD;
    constexpr tcflag_t kIflags = IXON | IXOFF | ICRNL | INLCR | IGNCR | ISTRIP;
    constexpr tcflag_t kLflags = ICANON | ECHO | ISIG | IEXTEN;
    return cfgetospeed(&actual) == cfgetospeed(&wanted) &&
           cfgetispeed(&actual) == cfgetispeed(&wanted) &&
           (actual.c_cflag & kCflags) == (wanted.c_cflag & kCflags) &&
           (actual.c_iflag & kIflags) == (wanted.c_iflag & kIflags) &&
           (actual.c_lflag & kLflags) == (wanted.c_lflag & kLflags) &&
           (actual.c_oflag & OPOST) == (wanted.c_oflag & OPOST);
}

}  // namespace serial
