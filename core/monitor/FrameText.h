// What a frame on the line means, as one line of text: the command's name,
// its decoded fields, the verdict letters of a firmware reply, and whether
// the frame's envelope (start, direction, length, checksum, terminator)
// holds. Pure: bytes and a direction in, text out; the monitor window and
// the command line print the same words.
//
//   auto m = monitor::DecodeFrame(monitor::Direction::Sent, bytes);
//   std::string line = monitor::DescribeFrame(monitor::Direction::Sent, bytes);
//
// Unlike the pages, the decoder checks everything a frame carries: the
// length byte, the checksum and the terminator. It never reads past the
// bytes it is given.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace monitor {

enum class Direction { Sent, Received };

enum class FrameKind {
    Request,        // FA 80 code L payload sum 0D
    Response,       // FA 00 code L payload sum 0D
    FirmwareBlock,  // FA/FB 80 EF/F3 counter nH nL data sum 0D/0A
    FirmwareEnd,    // FA 80 EF FF 00 08 size crc sum 0D
    FirmwareReply,  // a response carrying three verdict letters
    DataFrame,      // 7E type [recipient] data 7F
    Raw,            // anything else: transparent data or noise
};

struct FrameMeaning {
    FrameKind kind = FrameKind::Raw;
    int code = -1;            // byte 2 of a command or firmware frame, else -1
    std::string name;         // "read network parameters", "APP image block"
    std::string fields;       // "192.168.1.100 port 8080, protocol mode"
    std::string verdict;      // "ACK", "DCK", "ECK" or other letters; else empty
    bool envelopeOk = true;   // false: `problem` says what is wrong
    std::string problem;      // "bad checksum: sum 64, frame says 65"
};

// Cheap classification for filtering and reply matching: kind and code only.
struct FrameKey {
    FrameKind kind = FrameKind::Raw;
    int code = -1;
    // A request the DTU answers: a configuration request or firmware frame.
    bool expectsReply = false;
};
FrameKey Classify(Direction direction, std::span<const std::uint8_t> bytes);

FrameMeaning DecodeFrame(Direction direction, std::span<const std::uint8_t> bytes);

// "name: fields [verdict] (problem)"; the parts that are empty are left out.
std::string FormatMeaning(const FrameMeaning& meaning);
std::string DescribeFrame(Direction direction, std::span<const std::uint8_t> bytes);

// The command table's name of a configuration code; "command 0xF0" for a
// code the tool never sends.
std::string CommandName(std::uint8_t code);

// "FA 80 E9 01 00 64 0D": upper-case pairs, single spaces, none at the end.
std::string HexText(std::span<const std::uint8_t> bytes);

const char* DirectionName(Direction direction);  // "sent" / "received"

}  // namespace monitor
