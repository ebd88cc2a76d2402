#include "core/monitor/FrameText.h"

#include "core/common/Codepage.h"
#include "core/common/Hex.h"
#include "core/common/Tr.h"
#include "core/dtu/Commands.h"
#include "core/dtu/Frame.h"
#include "core/monitor/FieldText.h"
#include "core/monitor/TextParts.h"
#include "core/pages/DataFrame.h"
#include "core/upgrade/Transfer.h"

#include <algorithm>
#include <cstdio>

namespace monitor {

using namespace parts;
namespace cmd = dtu::cmd;

namespace {

// Three printable letters after the length byte: a firmware reply.
bool HasLetters(Span frame)
{
    if (frame.size() < 7 || frame[3] != 3)
        return false;
    return std::all_of(frame.begin() + 4, frame.begin() + 7, [](std::uint8_t b) { return b >= 'A' && b <= 'Z'; });
}

std::string VerdictMeaning(const std::string& letters)
{
    if (letters == "ACK")
        return DTU_TR("monitor", "block accepted");
    if (letters == "DCK")
        return DTU_TR("monitor", "check failed");
    if (letters == "ECK")
        return DTU_TR("monitor", "image accepted");
    return DTU_TR("monitor", "letters not understood");
}

// Checks L + 6 bytes, sum and terminator of a configuration frame.
void CheckCommandEnvelope(Span b, FrameMeaning& m)
{
    const std::size_t n = b[3];
    if (b.size() != n + dtu::kFrameOverhead) {
        m.envelopeOk = false;
        m.problem = Format(DTU_TR("monitor", "length byte says %zu payload bytes, frame has %zu bytes"), n, b.size());
        return;
    }
    const std::uint8_t sum = dtu::Checksum(b.first(n + 4));
    if (sum != b[n + 4]) {
        m.envelopeOk = false;
        m.problem = Format(DTU_TR("monitor", "bad checksum: sum %02X, frame says %02X"), sum, b[n + 4]);
    } else if (b.back() != dtu::kFrameEnd) {
        m.envelopeOk = false;
        m.problem = Format(DTU_TR("monitor", "bad terminator %02X"), b.back());
    }
}

bool IsFirmwareHead(Span b)
{
    if (b.size() < 3 || b[1] != dtu::kRequestDirection)
        return false;
    return (b[0] == 0xFA && b[2] == cmd::kAppImage) || b[0] == 0xFB;
}

FrameMeaning DecodeFirmware(Span b)
{
    FrameMeaning m;
    m.code = b[2];
    const bool app = b[0] == 0xFA;
    const upgrade::Framing f = upgrade::FramingOf(app ? upgrade::Kind::App : upgrade::Kind::Iap);
    m.kind = FrameKind::FirmwareBlock;
    m.name = app ? DTU_TR("monitor", "APP image block") : DTU_TR("monitor", "IAP image block");
    if (b[2] != f.command) {
        m.envelopeOk = false;
        m.problem = Format(DTU_TR("monitor", "command %02X in an IAP frame"), b[2]);
    }
    if (b.size() < 8) {
        m.envelopeOk = false;
        m.problem = DTU_TR("monitor", "too short for a block frame");
        return m;
    }
    const std::size_t n = static_cast<std::size_t>(b[4] << 8 | b[5]);
    if (app && b[3] == 0xFF && n == 8 && b.size() == upgrade::kEndFrameSize) {
        m.kind = FrameKind::FirmwareEnd;
        m.name = DTU_TR("monitor", "APP end of image");
        m.fields = Format(DTU_TR("monitor", "image size %u bytes, CRC-32 %08X"),
                          static_cast<unsigned>(b[6]) << 24 | b[7] << 16 | b[8] << 8 | b[9],
                          static_cast<unsigned>(b[10]) << 24 | b[11] << 16 | b[12] << 8 | b[13]);
    } else {
        m.fields = Format(DTU_TR("monitor", "block %u, %zu bytes"), b[3], n);
    }
    if (!m.envelopeOk)
        return m;
    if (b.size() != n + 8) {
        m.envelopeOk = false;
        m.problem = Format(DTU_TR("monitor", "length says %zu data bytes, frame has %zu bytes"), n, b.size());
        return m;
    }
    const std::uint8_t sum = dtu::Checksum(b.first(n + 6));
    if (sum != b[n + 6]) {
        m.envelopeOk = false;
        m.problem = Format(DTU_TR("monitor", "bad checksum: sum %02X, frame says %02X"), sum, b[n + 6]);
    } else if (b.back() != f.tail) {
        m.envelopeOk = false;
        m.problem = Format(DTU_TR("monitor", "bad terminator %02X"), b.back());
    }
    return m;
}

FrameMeaning DecodeData(Direction direction, Span b)
{
    FrameMeaning m;
    m.kind = FrameKind::DataFrame;
    if (b.back() != 0x7F || b.size() < 3) {
        m.name = DTU_TR("monitor", "data frame");
        m.envelopeOk = false;
        m.problem = DTU_TR("monitor", "no 7F terminator");
        m.fields = Format(DTU_TR("monitor", "%zu bytes"), b.size());
        return m;
    }
    const std::uint8_t type = b[1] & 0x7F;
    // The simulated DTU marks what it hands back with bit 7 of the type.
    const bool echo = (b[1] & 0x80) != 0 && direction == Direction::Received;
    // Looked up on every call: a translation's text lives only as long as its language.
    const char* const names[] = {
        DTU_TR("monitor", "SMS text, group send"), DTU_TR("monitor", "SMS text to one number"),
        DTU_TR("monitor", "SMS hex, group send"),  DTU_TR("monitor", "SMS hex to one number"),
        DTU_TR("monitor", "TCP one-to-many"),      DTU_TR("monitor", "TCP one-to-one")};
    if (type > 5 || ((b[1] & 0x80) != 0 && !echo)) {
        m.name = DTU_TR("monitor", "data frame");
        m.envelopeOk = false;
        m.problem = Format(DTU_TR("monitor", "unknown type %02X"), b[1]);
        return m;
    }
    m.name = names[type];
    if (echo)
        m.name += DTU_TR("monitor", " (returned)");
    Span body = b.subspan(2, b.size() - 3);
    std::string recipient;
    const std::size_t recipientSize = type == 1 || type == 3 ? 11 : type == 5 ? 6 : 0;
    if (body.size() < recipientSize) {
        m.envelopeOk = false;
        m.problem = Format(DTU_TR("monitor", "recipient cut short: %zu of %zu bytes"), body.size(), recipientSize);
        return m;
    }
    if (recipientSize == 11)
        recipient = DTU_TR("monitor", "to ") + LowByteText(body.first(11));
    else if (recipientSize == 6)
        recipient = DTU_TR("monitor", "to ") + hex::FormatPlain(body.first(6));
    body = body.subspan(recipientSize);
    std::string data = Format(DTU_TR("monitor", "%zu data bytes"), body.size());
    if (type <= 1 && !body.empty())
        data += " " + Quoted(text::FromAnsi(body));
    m.fields = Join({recipient, data});
    if (b.size() > pages::kMaxDataFrame) {
        m.envelopeOk = false;
        m.problem = Format(DTU_TR("monitor", "%zu bytes, more than the DTU holds"), b.size());
    }
    return m;
}

// Codes 0xF0, 0xF6, 0xF9 and 0xFA lie inside the range but are never sent.
bool InCommandTable(std::uint8_t code)
{
    return code >= cmd::kFirst && code <= cmd::kLast && code != 0xF0 && code != 0xF6 && code != 0xF9 && code != 0xFA;
}

}  // namespace

const char* DirectionName(Direction direction)
{
    return direction == Direction::Sent ? DTU_TR("monitor", "sent") : DTU_TR("monitor", "received");
}

std::string CommandName(std::uint8_t code)
{
    switch (code) {
    case cmd::kWritePhoneList: return DTU_TR("monitor", "write phone list");
    case cmd::kReadPhoneList: return DTU_TR("monitor", "read phone list");
    case cmd::kWriteIdList: return DTU_TR("monitor", "write communication-ID list");
    case cmd::kReadIdList: return DTU_TR("monitor", "read communication-ID list");
    case cmd::kSetDomain: return DTU_TR("monitor", "set server domain name");
    case cmd::kSetServerIp: return DTU_TR("monitor", "set server IP address");
    case cmd::kSetPort: return DTU_TR("monitor", "set remote port");
    case cmd::kSetWorkMode: return DTU_TR("monitor", "set working mode");
    case cmd::kReadNetParams: return DTU_TR("monitor", "read network parameters");
    case cmd::kClearPhoneList: return DTU_TR("monitor", "clear phone list");
    case cmd::kClearIdList: return DTU_TR("monitor", "clear communication-ID list");
    case cmd::kWriteUart: return DTU_TR("monitor", "write serial settings");
    case cmd::kReadUart: return DTU_TR("monitor", "read serial settings");
    case cmd::kReadOwnId: return DTU_TR("monitor", "read own communication ID");
    case cmd::kAppImage: return DTU_TR("monitor", "application image");
    case cmd::kReadVersion: return DTU_TR("monitor", "read version");
    case cmd::kRestart: return DTU_TR("monitor", "restart the DTU");
    case cmd::kWriteRf: return DTU_TR("monitor", "write wireless parameters");
    case cmd::kReadRf: return DTU_TR("monitor", "read wireless parameters");
    case cmd::kSetApn: return DTU_TR("monitor", "set APN, user name and password");
    case cmd::kWritePackets: return DTU_TR("monitor", "write heartbeat and registration packets");
    case cmd::kReadPackets: return DTU_TR("monitor", "read heartbeat and registration packets");
    case cmd::kSetOwnId: return DTU_TR("monitor", "set own communication ID");
    case cmd::kSetClock: return DTU_TR("monitor", "set the DTU clock");
    case cmd::kReadClock: return DTU_TR("monitor", "read the DTU clock");
    case cmd::kReadSignal: return DTU_TR("monitor", "read signal strength");
    default: return Format(DTU_TR("monitor", "command 0x%02X"), code);
    }
}

std::string HexText(Span bytes)
{
    static const char kDigits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size() * 3);
    for (const std::uint8_t b : bytes) {
        if (!out.empty())
            out += ' ';
        out += kDigits[b >> 4];
        out += kDigits[b & 0x0F];
    }
    return out;
}

FrameKey Classify(Direction direction, Span b)
{
    FrameKey key;
    if (b.empty())
        return key;
    if (direction == Direction::Sent && IsFirmwareHead(b)) {
        key.code = b[2];
        key.kind = b[0] == 0xFA && b.size() == upgrade::kEndFrameSize && b[3] == 0xFF ? FrameKind::FirmwareEnd
                                                                                      : FrameKind::FirmwareBlock;
        key.expectsReply = true;
    } else if (b[0] == dtu::kFrameStart && b.size() >= 3 &&
               b[1] == (direction == Direction::Sent ? dtu::kRequestDirection : dtu::kResponseDirection)) {
        key.code = b[2];
        if (direction == Direction::Sent) {
            key.kind = FrameKind::Request;
            key.expectsReply = InCommandTable(b[2]);
        } else {
            key.kind = HasLetters(b) && (b[2] == cmd::kAppImage || b[2] == cmd::kIapImage) ? FrameKind::FirmwareReply
                                                                                          : FrameKind::Response;
        }
    } else if (b[0] == 0x7E) {
        key.kind = FrameKind::DataFrame;
    }
    return key;
}

FrameMeaning DecodeFrame(Direction direction, Span b)
{
    FrameMeaning m;
    if (b.empty()) {
        m.name = DTU_TR("monitor", "empty frame");
        m.envelopeOk = false;
        m.problem = DTU_TR("monitor", "no bytes");
        return m;
    }
    const FrameKey key = Classify(direction, b);
    switch (key.kind) {
    case FrameKind::FirmwareBlock:
    case FrameKind::FirmwareEnd:
        return DecodeFirmware(b);
    case FrameKind::DataFrame:
        return DecodeData(direction, b);
    case FrameKind::Raw:
        m.name = DTU_TR("monitor", "data");
        m.fields = Format(DTU_TR("monitor", "%zu bytes"), b.size());
        if (b[0] == dtu::kFrameStart) {
            m.name = DTU_TR("monitor", "frame");
            m.envelopeOk = false;
            m.problem = b.size() < 2 ? DTU_TR("monitor", "cut short")
                                     : Format(DTU_TR("monitor", "direction byte %02X, %s expected"), b[1],
                                              direction == Direction::Sent ? "80" : "00");
        }
        return m;
    default:
        break;
    }
    m.kind = key.kind;
    m.code = key.code;
    m.name = CommandName(b[2]);
    if (b.size() < dtu::kFrameOverhead) {
        m.envelopeOk = false;
        m.problem = Format(DTU_TR("monitor", "cut short: %zu bytes"), b.size());
        return m;
    }
    CheckCommandEnvelope(b, m);
    const std::size_t whole = b[3] + dtu::kFrameOverhead;
    if (!m.envelopeOk && b.size() > whole) {
        // Answers that follow each other without a pause complete as one
        // frame: show the first and what came after it.
        FrameMeaning first = DecodeFrame(direction, b.first(whole));
        if (first.envelopeOk) {
            first.envelopeOk = false;
            first.problem = Format(DTU_TR("monitor", "%zu more bytes after the frame: "), b.size() - whole) +
                            DescribeFrame(direction, b.subspan(whole));
            return first;
        }
    }
    if (!m.envelopeOk)
        return m;
    const Span payload = b.subspan(4, b[3]);
    if (key.kind == FrameKind::FirmwareReply) {
        m.name = b[2] == cmd::kAppImage ? DTU_TR("monitor", "APP reply") : DTU_TR("monitor", "IAP reply");
        m.verdict.assign(payload.begin(), payload.end());
        m.fields = VerdictMeaning(m.verdict);
    } else if (key.kind == FrameKind::Request) {
        m.fields = RequestFields(b[2], b, payload);
    } else {
        m.fields = ResponseFields(b[2], b, payload);
    }
    return m;
}

std::string FormatMeaning(const FrameMeaning& m)
{
    std::string out = m.name;
    if (!m.fields.empty())
        out += ": " + m.fields;
    if (!m.verdict.empty())
        out += " [" + m.verdict + "]";
    if (!m.envelopeOk)
        out += " (" + m.problem + ")";
    return out;
}

std::string DescribeFrame(Direction direction, Span bytes) { return FormatMeaning(DecodeFrame(direction, bytes)); }

}  // namespace monitor
