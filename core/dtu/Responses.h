// Answers of the DTU to the parameter page's requests.
//
// A decoder is given the whole receive buffer and the received length and
// reads its fields at fixed payload offsets: a DTU whose firmware answers
// with a shorter record still fills the fields it sends, and the rest show
// what the buffer holds there from earlier frames. Every read stays inside
// the buffer; a position past its end reads as 0.
#pragma once

#include "core/dtu/Frame.h"
#include "core/dtu/Rf.h"

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace dtu {

class Response {
public:
    Response(std::span<const std::uint8_t> buffer, std::int32_t length) : buffer_(buffer), length_(length) {}

    bool EnvelopeOk() const { return ResponseEnvelopeOk(buffer_, length_); }
    // An SMS or TCP data frame (7E ...), which the data pages handle.
    bool IsDataFrame() const { return length_ > 0 && At(0) == 0x7E; }
    std::uint8_t Code() const { return At(2); }
    std::uint8_t PayloadLength() const { return At(3); }
    // Payload byte i (buffer byte 4 + i).
    std::uint8_t P(std::size_t i) const { return At(4 + i); }
    // `n` payload bytes from payload offset `from`.
    Bytes Payload(std::size_t from, std::size_t n) const;
    // As many payload bytes as `out` holds, from payload offset `from`.
    void CopyPayload(std::size_t from, std::span<std::uint8_t> out) const;

private:
    std::uint8_t At(std::size_t i) const { return i < buffer_.size() ? buffer_[i] : 0; }

    std::span<const std::uint8_t> buffer_;
    std::int32_t length_;
};

// What the page does with an answer: which decoder runs, what pane 1 shows
// and which message box follows.
enum class Decoder {
    None,
    PhoneList,
    IdList,
    NetParams,
    Uart,
    OwnId,
    Version,
    Signal,
    Packets,
    Clock,
    RfWritten,
    RfRead,
};

struct ResponsePlan {
    Decoder decoder = Decoder::None;
    const char* status = nullptr;   // text for pane 1, or nullptr to leave it
    const char* message = nullptr;  // message box, or nullptr (the clock's is its text)
    bool messageBeforeStatus = false;  // the clock: pane 1 changes once the box is closed
};

// A data frame gets the empty plan: no request of the page failed.
ResponsePlan PlanResponse(const Response& r);

// 0xE2: one number per 12-byte record (11 characters and a separator).
std::vector<std::string> DecodePhoneList(const Response& r);
// 0xE4: one ID per 7-byte record, as twelve upper-case hex digits.
std::vector<std::string> DecodeIdList(const Response& r);

// 0xE9, the 41-byte network parameters.
struct NetParams {
    std::string domain;  // never past its 32-byte field
    std::array<std::uint8_t, 4> ip;
    std::uint16_t port;
    std::uint8_t transferKind;  // 2 = protocol transfer, anything else transparent
    std::uint8_t modeByte;      // option bits, or the transparent sub-mode index
    std::uint8_t addressKind;   // 0 IP, 1 domain, anything else both
};
NetParams DecodeNetParams(const Response& r);
// "a.b.c.d", as the page, the monitor and profiles write an address.
std::string IpText(const std::array<std::uint8_t, 4>& ip);

// The part of the DTU page's state that the network parameters set: the
// dialog data and the mode controls. ApplyNetParams keeps what the answer
// does not say, so a user's unsaved choices there survive a read.
struct NetPageState {
    int transferKind = 0;  // radio group 1039/1040: 0 protocol, 1 transparent, -1 none
    int subMode = 0;       // radio group 1043/1045/1046, -1 none
    int addressKind = 0;   // radio group 1049/1050
    std::string domain;
    std::string port;
    std::optional<std::array<std::uint8_t, 4>> ip;  // empty: the control is cleared
    bool sms = false;      // check boxes 1031, 1041, 1042
    bool smsHex = false;
    bool tcp = false;
    bool optionsEnabled = true;   // 1031, 1041, 1042
    bool subModesEnabled = false; // 1043, 1045, 1046
};
void ApplyNetParams(const NetParams& p, NetPageState& page);

// 0xED: combo-box indexes; the interface index is taken modulo 3.
struct UartIndexes {
    int baud;
    int parity;
    int interface;
};
UartIndexes DecodeUart(const Response& r);

// 0xEE.
struct OwnId {
    std::string id;  // twelve upper-case hex digits
    bool custom;
};
OwnId DecodeOwnId(const Response& r);

// 0xF1 and 0xFE: the payload as text, at most `capacity` - 1 bytes of it
// (64 for the version, 128 for the signal report), ending at a zero byte.
std::string DecodeText(const Response& r, std::size_t capacity);
inline constexpr std::size_t kVersionCapacity = 64;
inline constexpr std::size_t kSignalCapacity = 128;

// The received signal strength of a signal report such as "+CSQ: 24,99"
// (its first figure, 0 to 31); nothing for 99 (not known), a figure out of
// range or a report without one.
std::optional<int> SignalStrength(std::string_view report);

// 0xF8: lengths taken modulo 11 and 33, the sizes of the DTU's own packet
// fields, so a length byte past them never reads beyond the record.
struct Packets {
    bool custom;
    Bytes heartbeat;
    Bytes registration;
};
Packets DecodePackets(const Response& r);
// A packet as the edits show it: "%02X " per byte, or GBK text.
std::string PacketText(const Bytes& packet, bool hex);

// The APN request's three 32-byte fields (0xE0 ... as BuildSetApn lays
// them out). The DTU never sends them back; the line monitor reads them.
struct Apn {
    std::string apn;
    std::string user;
    std::string password;
};
Apn DecodeApn(const Response& r);

// 0xFD: "2016-05-03 14:07:09 weekday 2".
std::string DecodeClock(const Response& r);

// 0xF4.
RfRecord DecodeRfAnswer(const Response& r);

}  // namespace dtu
