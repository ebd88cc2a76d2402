// The wireless (RF) parameter record of requests 0xF3 and 0xF4:
//   frequency word (3 bytes, MSB first), sleep index, breathing index,
//   network address, power index.
// The word counts 61.03515625 Hz steps (32 MHz / 2^19). The write side
// divides by 61.035 instead: DTUs in the field were tuned with that word, and
// the exact step would move them by a few hundred hertz.
#pragma once

#include "core/dtu/Frame.h"

#include <string>
#include <string_view>

namespace dtu {

struct RfSettings {
    std::string frequency;  // edit text, MHz: only its leading integer is sent
    int sleepIndex = 0;     // -1: no selection, sent as 0xFF
    int breathIndex = 4;
    std::string address = "00";  // edit text, decimal
    int powerIndex = 6;
};

// The leading decimal integer of a text: parsing stops at the first
// non-digit ("434.00" is 434 MHz, the decimals are shown, not sent), no
// digits give 0, and a value past the 32-bit signed range counts as that
// maximum.
int LeadingInteger(std::string_view text);

// 24-bit frequency word for a frequency text ("434.00" gives 434 MHz).
std::uint32_t FrequencyWord(std::string_view frequencyText);

Bytes BuildWriteRf(const RfSettings& settings);

// Decoded 0xF4 payload, ready for the dialog's controls.
struct RfRecord {
    std::string frequency;  // MHz, cut (not rounded) to two decimals: "433.91"
    int sleepIndex;
    int breathIndex;
    std::string address;    // "%02d"
    int powerIndex;
};
RfRecord DecodeRf(std::span<const std::uint8_t, 7> payload);

}  // namespace dtu
