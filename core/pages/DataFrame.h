// Data frames of the SMS and TCP pages. In protocol mode:
//   7E  type  [recipient]  data  7F
// and in transparent mode the bare data (TCP one-to-one keeps its address).
// No length, no checksum; at most 255 bytes, which the DTU's buffer holds.
//
//   type 00/01  SMS text, group / one number (11 digit bytes)
//   type 02/03  SMS hex,  group / one number
//   type 04/05  TCP, one-to-many / one-to-one (6 address bytes)
#pragma once

#include "core/common/Tr.h"
#include "core/dtu/Requests.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace pages {

using dtu::Built;
using dtu::Bytes;

inline constexpr std::size_t kMaxDataFrame = 255;

struct SmsTarget {
    bool protocol = true;  // radio "协议"; transparent otherwise
    bool group = false;    // "群发"
    std::string number;    // phone field; its first 11 characters are sent
};

// SMS text: the text as GBK bytes.
Built BuildSmsTextFrame(const SmsTarget& target, std::string_view text);
// SMS hex: spaces removed, upper-cased, decoded by HexToBytes.
Built BuildSmsHexFrame(const SmsTarget& target, std::string_view hexText);

struct TcpTarget {
    bool protocol = true;  // "协议模式"; transparent otherwise
    bool oneToOne = false; // "1对1发送"; "1对多发送" otherwise
    std::string address;   // twelve hex digits, as typed
};
Built BuildTcpFrame(const TcpTarget& target, std::string_view hexData);

// The most data bytes one frame for this target can carry within the
// 255-byte limit: 241 / 252 / 255 for SMS (one number, group, transparent);
// 252 / 255 / 246 / 249 for TCP (one-to-many and one-to-one, protocol and
// transparent).
std::size_t SmsDataLimit(const SmsTarget& target);
std::size_t TcpDataLimit(const TcpTarget& target);
// How many data bytes a text or a hex text gives, as the builders count them.
std::size_t TextDataLength(std::string_view text);
std::size_t HexDataLength(std::string_view hexText);

// The names the refusals below give a field.
inline constexpr const char* kDataField = DTU_TR_NOOP("pages", "The data to send");
inline constexpr const char* kAddressField = DTU_TR_NOOP("pages", "The communication address");
inline constexpr const char* kOwnIdField = DTU_TR_NOOP("pages", "The communication ID");

// Hex digits mean something to the DTU and blanks (where `blanks`) are
// layout; anything else would go out as bytes nobody typed. The refusal
// names the first such character and its position (counted in characters
// from 1), or nothing.
std::optional<std::string> CheckHexText(std::string_view hexText, const char* field, bool blanks);

// The send text as the TCP page keeps it after a send: no spaces (nor line
// breaks or tabs), upper case.
std::string NormaliseHexText(std::string_view hexText);

// Received bytes as the pages show them: "%02X " per byte.
std::string FormatReceived(std::span<const std::uint8_t> bytes);

}  // namespace pages
