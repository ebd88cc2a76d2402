// One line of text for any frame seen on the line: requests, answers, image
// blocks and data frames. Used wherever traffic is shown to a person rather
// than acted on (a monitor, a one-off request), so that every view of the
// line names commands and decodes answers the same way.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace dtu {

// "read network parameters" for 0xE9; nullptr for a code no request uses.
const char* CommandName(std::uint8_t code);

// Captions of the enumerated settings as the pages list them, or "index N"
// for an index outside the list.
std::string BaudCaption(int index);
std::string ParityCaption(int index);
std::string InterfaceCaption(int index);

// `frame` holds exactly the bytes of one completed frame. Never reads past
// it: a short answer decodes as if the missing bytes were zero.
std::string DescribeFrame(std::span<const std::uint8_t> frame);

}  // namespace dtu
