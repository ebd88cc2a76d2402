// Line settings as termios values, kept apart from the driver so that the
// parity and flow bits can be checked as values: a pseudo-terminal, which is
// all the tests have, cannot hold parity.
#pragma once

#include <optional>
#include <termios.h>

namespace serial {

enum Parity : unsigned { kParityNone = 0, kParityOdd = 1, kParityEven = 2 };

std::optional<speed_t> BaudToSpeed(unsigned baudRate);
std::optional<unsigned> SpeedToBaud(speed_t speed);

// Raw 8-bit line, one stop bit, no flow control, the given rate and parity.
// False (and `t` untouched) for a rate or parity code the line cannot take.
bool MakeRaw(termios& t, unsigned baudRate, unsigned parity);

// Whether `actual`, read back from the device, holds what `wanted` asked for.
// tcsetattr succeeds when any one change was made, so only a read-back tells.
// Parity is not compared: a pseudo-terminal drops it and stays usable.
bool HoldsLine(const termios& wanted, const termios& actual);

}  // namespace serial
