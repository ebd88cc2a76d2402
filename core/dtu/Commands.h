// Command codes of the request/response frames. The DTU tells answers apart
// by these codes alone: there is no sequence number or request identifier.
#pragma once

#include <cstdint>

namespace dtu::cmd {

inline constexpr std::uint8_t kWritePhoneList = 0xE1;
inline constexpr std::uint8_t kReadPhoneList = 0xE2;
inline constexpr std::uint8_t kWriteIdList = 0xE3;
inline constexpr std::uint8_t kReadIdList = 0xE4;
inline constexpr std::uint8_t kSetDomain = 0xE5;
inline constexpr std::uint8_t kSetServerIp = 0xE6;
inline constexpr std::uint8_t kSetPort = 0xE7;
inline constexpr std::uint8_t kSetWorkMode = 0xE8;
inline constexpr std::uint8_t kReadNetParams = 0xE9;
inline constexpr std::uint8_t kClearPhoneList = 0xEA;
inline constexpr std::uint8_t kClearIdList = 0xEB;
inline constexpr std::uint8_t kWriteUart = 0xEC;
inline constexpr std::uint8_t kReadUart = 0xED;
inline constexpr std::uint8_t kReadOwnId = 0xEE;
// Application image blocks and the closing size/CRC frame share one code.
inline constexpr std::uint8_t kAppImage = 0xEF;
inline constexpr std::uint8_t kReadVersion = 0xF1;
inline constexpr std::uint8_t kRestart = 0xF2;
// 0xF3 means "write RF parameters" in a 0xFA..0x0D frame and "boot-loader
// image block" in a 0xFB..0x0A frame; the start byte tells them apart.
inline constexpr std::uint8_t kWriteRf = 0xF3;
inline constexpr std::uint8_t kIapImage = 0xF3;
inline constexpr std::uint8_t kReadRf = 0xF4;
inline constexpr std::uint8_t kSetApn = 0xF5;
inline constexpr std::uint8_t kWritePackets = 0xF7;
inline constexpr std::uint8_t kReadPackets = 0xF8;
inline constexpr std::uint8_t kSetOwnId = 0xFB;
inline constexpr std::uint8_t kSetClock = 0xFC;
inline constexpr std::uint8_t kReadClock = 0xFD;
inline constexpr std::uint8_t kReadSignal = 0xFE;

// The range the DTU page's answer handling accepts.
inline constexpr std::uint8_t kFirst = 0xE1;
inline constexpr std::uint8_t kLast = 0xFE;

}  // namespace dtu::cmd
