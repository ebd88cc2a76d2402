// What a user typed to send, as the bytes that go out: text in the chosen
// encoding, or hex digit pairs with blanks between them as the user likes.
// Nothing goes out that the user did not type: a character the encoding
// cannot hold, a character that is no hex digit, or half a byte is refused,
// and each page words the refusal its own way.
#pragma once

#include "core/common/ByteText.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pages {

struct TypedBytes {
    enum class Fault { None, NotInGbk, NotHex, OddDigits };
    Fault fault = Fault::None;
    std::vector<std::uint8_t> bytes;
    // NotInGbk: the character's position (from 1); OddDigits: the digits.
    std::size_t count = 0;
    // NotInGbk: the character; NotHex: the refusal, naming the character.
    std::string text;
    bool ok() const { return fault == Fault::None; }
};

// `typed` is UTF-8.
TypedBytes ReadTyped(std::string_view typed, bool hex, text::Encoding encoding);

}  // namespace pages
