// The server's events and packets as people and scripts read them: one line
// per event for dtuctl and the window's log file, and the texts the window
// shows. Also the one reading of what a user types to send.
#pragma once

#include "core/common/ByteText.h"
#include "driver/server/TestServer.h"

#include <string>
#include <string_view>
#include <variant>

namespace server {

// "14:07:09.123", local time.
std::string FormatTime(std::int64_t wallMs);
// Bytes as one line of text, as the terminal shows them
// (core/common/ByteText.h): one packet stays one line, every byte readable.
std::string PacketText(const Bytes& bytes, text::Encoding encoding);
// "connect", "registration", ...: the event's word in lines and JSON.
const char* KindName(EventKind kind);
// "equal", "different" or "" when nothing was expected.
const char* MatchName(Match match);

// One line, no line break:
//   14:07:09.123  #3 127.0.0.1:40122  heartbeat 2 after 1.002 s  4 bytes  50 49 4E 47  "PING"
std::string FormatEvent(const Event& e, text::Encoding encoding);

// What the user typed to send or expects: text in the encoding, or hex
// digit pairs (blanks between them allowed). A refusal is a string: also for
// a character the encoding cannot hold.
std::variant<Bytes, std::string> ParseSendText(std::string_view typed, bool hex, text::Encoding encoding);

}  // namespace server
