#include "core/pages/TypedBytes.h"

#include "core/common/Codepage.h"
#include "core/common/Hex.h"
#include "core/pages/DataFrame.h"

namespace pages {

TypedBytes ReadTyped(std::string_view typed, bool hex, text::Encoding encoding)
{
    TypedBytes out;
    if (!hex) {
        if (encoding == text::Encoding::Utf8) {
            out.bytes.assign(typed.begin(), typed.end());
        } else if (const auto culprit = text::FindNotInAnsi(typed)) {
            // GBK has no place for it: a '?' the user did not type would go
            // out in its place.
            out.fault = TypedBytes::Fault::NotInGbk;
            out.count = culprit->position;
            out.text = culprit->character;
        } else {
            out.bytes = text::ToAnsi(typed);
        }
        return out;
    }
    if (auto refusal = CheckHexText(typed, kDataField, true)) {
        out.fault = TypedBytes::Fault::NotHex;
        out.text = std::move(*refusal);
        return out;
    }
    const std::string digits = NormaliseHexText(typed);
    if (digits.size() % 2 != 0) {
        out.fault = TypedBytes::Fault::OddDigits;
        out.count = digits.size();
        return out;
    }
    out.bytes = hex::ParsePairs(digits, digits.size() / 2);
    return out;
}

}  // namespace pages
