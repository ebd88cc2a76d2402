// The DTU's enumerated settings, as the DTU page lists them. They travel as
// the index in these lists, not as values, so every view names an index
// from the same list.
#pragma once

#include <array>

namespace dtu {

inline constexpr std::array<const char*, 8> kBaudCaptions{"1200",  "2400",  "4800",  "9600",
                                                          "19200", "38400", "57600", "115200"};
inline constexpr std::array<const char*, 3> kParityCaptions{"NO", "ODD", "EVEN"};
inline constexpr std::array<const char*, 3> kInterfaceCaptions{"TTL", "RS232", "RS485"};
inline constexpr std::array<const char*, 5> kSleepCaptions{"2s", "4s", "6s", "8s", "10s"};
inline constexpr std::array<const char*, 6> kBreathCaptions{"2ms", "4ms", "8ms", "16ms", "32ms", "64ms"};
inline constexpr std::array<const char*, 7> kPowerCaptions{"Level1", "Level2", "Level3", "Level4",
                                                           "Level5", "Level6", "Level7"};

}  // namespace dtu
