#include "core/pages/DataFrame.h"

#include "core/common/Codepage.h"
#include "core/common/Hex.h"
#include "core/dtu/Messages.h"

namespace pages {

namespace {

Bytes DecodeHexText(std::string_view hexText)
{
    return hex::HexToBytes(text::ToAnsi(NormaliseHexText(hexText)));
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\n' || c == '\r' || c == '\t';
}

// Appends the data and, in protocol mode, the trailer; refuses what the
// DTU's 255-byte frame cannot hold.
Built Complete(Bytes frame, const Bytes& data, bool protocol)
{
    frame.reserve(frame.size() + data.size() + 1);
    frame.insert(frame.end(), data.begin(), data.end());
    if (protocol)
        frame.push_back(0x7F);
    if (frame.size() > kMaxDataFrame)
        return {{}, dtu::msg::kFrameTooLong};
    return {std::move(frame), {}};
}

// Header, data and trailer of an SMS frame; type is the group-send type
// (0x00 text, 0x02 hex), one number being type + 1.
Built SmsFrame(const SmsTarget& t, std::uint8_t groupType, const Bytes& data)
{
    Bytes frame;
    if (t.protocol) {
        frame.push_back(0x7E);
        if (t.group) {
            frame.push_back(groupType);
        } else {
            const Bytes number = text::LowBytes(t.number);
            // A short number would go out padded and reach somebody else.
            if (number.size() < 11)
                return {{}, dtu::msg::kNumberTooShort};
            frame.push_back(static_cast<std::uint8_t>(groupType + 1));
            frame.insert(frame.end(), number.begin(), number.begin() + 11);
        }
    }
    return Complete(std::move(frame), data, t.protocol);
}

}  // namespace

std::optional<std::string> CheckHexText(std::string_view hexText, const char* field, bool blanks)
{
    std::size_t position = 0;
    for (std::size_t i = 0; i < hexText.size();) {
        // One character: a lead byte and its UTF-8 continuation bytes.
        std::size_t end = i + 1;
        while (end < hexText.size() && (static_cast<unsigned char>(hexText[end]) & 0xC0) == 0x80)
            ++end;
        ++position;
        const char c = hexText[i];
        if (end - i > 1 || (!hex::IsHexDigit(c) && !(blanks && IsBlank(c))))
            return text::Fill(blanks ? DTU_TR("pages", "%1: character %2, “%3”, is not a hex digit; only 0-9, A-F "
                                                       "and spaces can be typed!")
                                     : DTU_TR("pages", "%1: character %2, “%3”, is not a hex digit; only 0-9 and A-F "
                                                       "can be typed!"),
                              {text::Translate("pages", field), std::to_string(position),
                               std::string(hexText.substr(i, end - i))});
        i = end;
    }
    return std::nullopt;
}

std::string NormaliseHexText(std::string_view hexText)
{
    // The TCP send area takes several lines: a line break or tab is layout,
    // like a space, never data (taken as digits it sent garbage bytes).
    std::string compact;
    compact.reserve(hexText.size());
    for (char c : hexText)
        if (c != ' ' && c != '\n' && c != '\r' && c != '\t')
            compact += c;
    return hex::UpperAscii(compact);
}

Built BuildSmsTextFrame(const SmsTarget& target, std::string_view text)
{
    return SmsFrame(target, 0x00, text::ToAnsi(text));
}

Built BuildSmsHexFrame(const SmsTarget& target, std::string_view hexText)
{
    if (auto refusal = CheckHexText(hexText, kDataField, true))
        return {{}, std::move(*refusal)};
    return SmsFrame(target, 0x02, DecodeHexText(hexText));
}

Built BuildTcpFrame(const TcpTarget& t, std::string_view hexData)
{
    Bytes frame;
    if (t.protocol) {
        frame.push_back(0x7E);
        frame.push_back(t.oneToOne ? 0x05 : 0x04);
    }
    if (t.oneToOne) {
        // Counted in characters, spaces included, as typed.
        const std::size_t length = text::Utf16Length(t.address);
        if (length == 0)
            return {{}, dtu::msg::kAddressEmpty};
        if (length > 12)
            return {{}, dtu::msg::kAddressTooLong};
        if (auto refusal = CheckHexText(t.address, kAddressField, false))
            return {{}, std::move(*refusal)};
        const Bytes address = hex::HexToBytes(text::ToAnsi(hex::UpperAscii(t.address)));
        if (address.size() < 6)
            return {{}, dtu::msg::kAddressTooShort};
        frame.insert(frame.end(), address.begin(), address.begin() + 6);
    }
    if (auto refusal = CheckHexText(hexData, kDataField, true))
        return {{}, std::move(*refusal)};
    return Complete(std::move(frame), DecodeHexText(hexData), t.protocol);
}

std::size_t SmsDataLimit(const SmsTarget& t)
{
    // 7E, type, [11 number bytes], data, 7F
    if (!t.protocol)
        return kMaxDataFrame;
    return kMaxDataFrame - 3 - (t.group ? 0 : 11);
}

std::size_t TcpDataLimit(const TcpTarget& t)
{
    // [7E, type], [6 address bytes], data, [7F]
    return kMaxDataFrame - (t.protocol ? 3 : 0) - (t.oneToOne ? 6 : 0);
}

std::size_t TextDataLength(std::string_view text)
{
    return text::ToAnsi(text).size();
}

std::size_t HexDataLength(std::string_view hexText)
{
    return DecodeHexText(hexText).size();
}

std::string FormatReceived(std::span<const std::uint8_t> bytes)
{
    return hex::FormatSpaced(bytes);
}

}  // namespace pages
