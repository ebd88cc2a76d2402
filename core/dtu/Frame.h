// Request and response frames of the configuration protocol:
//
//   FA  80|00  code  L  payload(L)  sum  0D
//
// 0x80 marks a request (PC to DTU), 0x00 a response. `sum` is the 8-bit
// wrapping sum of every byte before it. The receiver checks only the first
// two bytes and the last one; length and checksum of a response are not
// verified, because the DTU's firmware is known not to need it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace dtu {

using Bytes = std::vector<std::uint8_t>;

inline constexpr std::uint8_t kFrameStart = 0xFA;
inline constexpr std::uint8_t kRequestDirection = 0x80;
inline constexpr std::uint8_t kResponseDirection = 0x00;
inline constexpr std::uint8_t kFrameEnd = 0x0D;
inline constexpr std::size_t kMaxPayload = 255;
inline constexpr std::size_t kFrameOverhead = 6;
// How long a request waits for its answer before it counts as unanswered,
// in the window, the line monitor and dtuctl alike.
inline constexpr int kReplyTimeoutMs = 3000;

std::uint8_t Checksum(std::span<const std::uint8_t> bytes);

// Empty when the payload does not fit the length byte (more than 255 bytes):
// such a frame would lie about its length, so it is never built.
std::optional<Bytes> BuildRequest(std::uint8_t code, std::span<const std::uint8_t> payload);
std::optional<Bytes> BuildResponse(std::uint8_t code, std::span<const std::uint8_t> payload);

// Size of the all-zero payload that a parameterless request carries. The
// sizes differ from code to code and are part of the protocol; 0 for codes
// that always carry parameters.
std::size_t QueryPayloadSize(std::uint8_t code);

// The request of a parameterless command (read, clear, restart); empty for
// a code that needs parameters.
std::optional<Bytes> BuildQuery(std::uint8_t code);

// Envelope check of a received response. `buffer` is the whole receive
// buffer and `length` the number of bytes received for this frame: bytes 0
// and 1 may be left over from an earlier frame when fewer arrived (the
// page reads the buffer whole, see Responses.h), but nothing outside
// `buffer` is read and nothing is accepted when no byte was received.
bool ResponseEnvelopeOk(std::span<const std::uint8_t> buffer, std::int32_t length);

// True when `bytes` are exactly one response frame whose length byte,
// checksum and tail all agree: FA 00 code L payload(L) sum 0D. The DTU's
// configuration answers and firmware replies have this form; such a frame
// is whole the moment its last byte arrives. Anything else (data frames,
// a garbled or partial reply) is not, and must wait for silence.
bool IsWholeResponse(std::span<const std::uint8_t> bytes);

}  // namespace dtu
