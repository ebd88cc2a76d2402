// Requests of the DTU parameter page: the payloads built from what the user
// typed and chose, with the input checks that come before them. A refused
// input yields its message and no frame: nothing is ever sent half-built.
#pragma once

#include "core/dtu/Frame.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dtu {

// A frame to write, or the message that refuses the input.
struct Built {
    Bytes frame;
    std::string message;  // empty when accepted
    bool ok() const { return message.empty(); }
};

inline constexpr int kMaxListRows = 20;  // rows the user may add to a list

// Label of a list row: "A00" and the count, so A000 ... A009, A0010.
std::string ListLabel(int count);

// Add checks; the message to show, or nothing when the entry may be added.
std::optional<std::string> CheckPhoneEntry(std::string_view text, int count);
std::optional<std::string> CheckIdEntry(std::string_view text, int count);

// 0xE1: eleven digit bytes and "," per row. A row shorter than eleven
// characters (possible only from a read answer) is zero-padded, which gives
// the DTU back the record it sent.
Built BuildWritePhoneList(const std::vector<std::string>& numbers);
// 0xE3: six bytes from twelve hex digits and "," per row.
Built BuildWriteIdList(const std::vector<std::string>& ids);
// 0xFB: spaces removed, then twelve hex digits to six bytes (missing ones 0),
// and the custom flag 0xAA or 0x00.
Bytes BuildSetOwnId(std::string_view text, bool custom);

// 0xE6: the four fields, left first.
Bytes BuildSetServerIp(const std::array<std::uint8_t, 4>& ip);
// 0xE5: one byte per character, zero-padded to 32.
Built BuildSetDomain(std::string_view domain);
// 0xE7: decimal port, most significant byte first.
Built BuildSetPort(std::string_view port);

// 0xE8. transferKind 0 = protocol transfer (option bits from the three
// boxes), else transparent with the sub-mode index (-1 = none, sent 0xFF).
struct WorkMode {
    int transferKind = 0;
    bool sms = false;
    bool smsHex = false;
    bool tcp = false;
    int subMode = 0;
};
Bytes BuildSetWorkMode(const WorkMode& mode);

// A combo-box index as it goes on the wire: -1 (no selection) is 0xFF.
std::uint8_t IndexByte(int index);

// 0xEC: the three combo-box indexes.
Bytes BuildWriteUart(int baudIndex, int parityIndex, int interfaceIndex);

// 0xF5: three GBK fields of 32 bytes. A field never ends inside a
// double-byte character.
Bytes BuildSetApn(std::string_view apn, std::string_view user, std::string_view password);

// 0xFC, from a local date and time given by the caller.
struct LocalTime {
    int year;
    int month;    // 1 to 12
    int day;      // 1 to 31
    int hour;
    int minute;
    int second;
    int weekday;  // 0 = Sunday
};
Bytes BuildSetClock(const LocalTime& t);

// 0xF7: heartbeat (10 bytes) and registration (32 bytes) packets from the
// two edits, as text or as hex digits. Spaces are removed in both modes.
// Both modes cap the length at the field; text is never cut inside a
// double-byte character.
Bytes BuildWritePackets(std::string_view heartbeat, std::string_view registration, bool custom, bool hex);

inline constexpr std::size_t kHeartbeatField = 10;
inline constexpr std::size_t kRegistrationField = 32;
inline constexpr std::uint8_t kCustomFlag = 0xAA;

}  // namespace dtu
