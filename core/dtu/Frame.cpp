#include "core/dtu/Frame.h"

#include "core/dtu/Commands.h"

namespace dtu {

std::uint8_t Checksum(std::span<const std::uint8_t> bytes)
{
    std::uint8_t sum = 0;
    for (std::uint8_t b : bytes)
        sum = static_cast<std::uint8_t>(sum + b);
    return sum;
}

static std::optional<Bytes> BuildFrame(std::uint8_t direction, std::uint8_t code,
                                       std::span<const std::uint8_t> payload)
{
    if (payload.size() > kMaxPayload)
        return std::nullopt;
    Bytes frame;
    frame.reserve(payload.size() + kFrameOverhead);
    frame.push_back(kFrameStart);
    frame.push_back(direction);
    frame.push_back(code);
    frame.push_back(static_cast<std::uint8_t>(payload.size()));
    frame.insert(frame.end(), payload.begin(), payload.end());
    frame.push_back(Checksum(frame));
    frame.push_back(kFrameEnd);
    return frame;
}

std::optional<Bytes> BuildRequest(std::uint8_t code, std::span<const std::uint8_t> payload)
{
    return BuildFrame(kRequestDirection, code, payload);
}

std::optional<Bytes> BuildResponse(std::uint8_t code, std::span<const std::uint8_t> payload)
{
    return BuildFrame(kResponseDirection, code, payload);
}

std::size_t QueryPayloadSize(std::uint8_t code)
{
    switch (code) {
    case cmd::kReadPhoneList:
    case cmd::kReadIdList:
    case cmd::kReadNetParams:
    case cmd::kClearPhoneList:
    case cmd::kClearIdList:
    case cmd::kReadRf:
        return 1;
    case cmd::kReadOwnId:
    case cmd::kReadVersion:
    case cmd::kRestart:
    case cmd::kReadPackets:
    case cmd::kReadClock:
    case cmd::kReadSignal:
        return 2;
    case cmd::kReadUart:
        return 3;
    default:
        return 0;
    }
}

std::optional<Bytes> BuildQuery(std::uint8_t code)
{
    const std::size_t size = QueryPayloadSize(code);
    if (size == 0)
        return std::nullopt;
    const Bytes zeros(size, 0x00);
    return BuildRequest(code, zeros);
}

bool ResponseEnvelopeOk(std::span<const std::uint8_t> buffer, std::int32_t length)
{
    if (length <= 0 || buffer.size() < 2 || static_cast<std::size_t>(length) > buffer.size())
        return false;
    return buffer[0] == kFrameStart && buffer[1] == kResponseDirection &&
           buffer[static_cast<std::size_t>(length) - 1] == kFrameEnd;
}

bool IsWholeResponse(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() < kFrameOverhead || bytes[0] != kFrameStart || bytes[1] != kResponseDirection)
        return false;
    const std::size_t n = bytes.size();
    return n == bytes[3] + kFrameOverhead && bytes[n - 1] == kFrameEnd && bytes[n - 2] == Checksum(bytes.first(n - 2));
}

}  // namespace dtu
