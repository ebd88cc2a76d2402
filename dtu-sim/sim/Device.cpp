#include "dtu-sim/sim/Device.h"

#include "core/dtu/Commands.h"
#include "core/dtu/Frame.h"
#include "core/upgrade/Crc32.h"

#include <algorithm>
#include <cstdio>
#include <string_view>
#include <ctime>

namespace sim {

namespace {

const Bytes kAck{0x01};  // the payload of every write acknowledgement

Bytes Response(std::uint8_t code, const Bytes& payload)
{
    auto frame = dtu::BuildResponse(code, payload);
    return frame ? *frame : Bytes{};
}

Bytes Letters(std::uint8_t code, const char* word)
{
    return Response(code, Bytes(word, word + 3));
}

std::int64_t ToSeconds(const ClockBytes& c)
{
    std::tm tm{};
    tm.tm_year = 2000 + c[0] - 1900;
    tm.tm_mon = c[1] - 1;
    tm.tm_mday = c[2];
    tm.tm_hour = c[3];
    tm.tm_min = c[4];
    tm.tm_sec = c[5];
    // The device keeps broken-down time: do the arithmetic in UTC, where no
    // day has a missing or repeated hour.
    return static_cast<std::int64_t>(timegm(&tm));
}

ClockBytes FromTm(const std::tm& tm)
{
    const auto b = [](int v) { return static_cast<std::uint8_t>(v & 0xFF); };
    return {b(tm.tm_year + 1900 - 2000), b(tm.tm_mon + 1), b(tm.tm_mday), b(tm.tm_hour),
            b(tm.tm_min),                b(tm.tm_sec),     b(tm.tm_wday)};
}

// List records as the DTU sends them: each followed by ",".
Bytes Records(const std::vector<Bytes>& records)
{
    Bytes out;
    for (const Bytes& record : records) {
        out.insert(out.end(), record.begin(), record.end());
        out.push_back(',');
    }
    return out;
}

Bytes Field(const Bytes& payload, std::size_t from, std::size_t n)
{
    Bytes out(n, 0x00);
    for (std::size_t i = 0; i < n && from + i < payload.size(); ++i)
        out[i] = payload[from + i];
    return out;
}

}  // namespace

ClockBytes LocalClock()
{
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    return FromTm(tm);
}

Device::Device(const ClockBytes& clock, std::int64_t nowMs) : clockBase_(ToSeconds(clock)), clockSetAtMs_(nowMs)
{
    const char apn[] = "CMNET";
    std::copy(apn, apn + 5, apn_.begin());
    packets_[0] = 0x55;
}

ClockBytes Device::ClockAt(std::int64_t nowMs) const
{
    const std::time_t t = static_cast<std::time_t>(clockBase_ + (nowMs - clockSetAtMs_) / 1000);
    std::tm tm{};
    gmtime_r(&t, &tm);
    return FromTm(tm);
}

LinkSettings Device::Link() const
{
    LinkSettings link;
    const auto nul = std::find(domain_.begin(), domain_.end(), 0x00);
    const std::string domain(domain_.begin(), nul);
    const std::string ip = std::to_string(ip_[0]) + "." + std::to_string(ip_[1]) + "." + std::to_string(ip_[2]) + "." +
                           std::to_string(ip_[3]);
    // Address kind 0 is the IP address, 1 the domain; with both, the name.
    link.host = addressKind_ == 0 ? ip : addressKind_ == 1 || !domain.empty() ? domain : ip;
    link.port = port_;
    const bool protocol = transferKind_ == 2;
    link.tcp = protocol ? (modeByte_ & 0x04) != 0 : modeByte_ == 2;
    link.transparent = !protocol && link.tcp;
    link.custom = packets_[0] == 0xAA;
    const std::size_t heartbeat = packets_[1] % 11, registration = packets_[12] % 33;
    link.heartbeat.assign(packets_.begin() + 2, packets_.begin() + 2 + static_cast<long>(heartbeat));
    link.registration.assign(packets_.begin() + 13, packets_.begin() + 13 + static_cast<long>(registration));
    return link;
}

std::vector<Bytes> Device::Handle(const Bytes& frame, std::int64_t nowMs)
{
    ++handled_;
    if (frame.size() >= 6 && frame[1] == 0x80 && (frame[0] == 0xFB || (frame[0] == 0xFA && frame[2] == 0xEF)))
        return HandleBlock(frame);
    if (frame.size() >= 6 && frame[0] == 0xFA && frame[1] == 0x80) {
        const std::size_t n = frame[3];
        // A request with a bad checksum or terminator is line noise to a DTU.
        if (frame.size() != n + 6 || frame.back() != 0x0D ||
            dtu::Checksum(std::span(frame).first(n + 4)) != frame[n + 4])
            return {};
        return HandleConfig(frame[2], Bytes(frame.begin() + 4, frame.begin() + 4 + static_cast<long>(n)), nowMs);
    }
    return HandleData(frame);
}

std::vector<Bytes> Device::HandleConfig(std::uint8_t code, const Bytes& p, std::int64_t nowMs)
{
    namespace cmd = dtu::cmd;
    switch (code) {
    case cmd::kWritePhoneList:
        phones_.clear();
        for (std::size_t at = 0; at + 12 <= p.size(); at += 12)
            phones_.push_back(Field(p, at, 11));
        return {Response(code, kAck)};
    case cmd::kReadPhoneList:
        return {Response(code, Records(phones_))};
    case cmd::kWriteIdList:
        ids_.clear();
        for (std::size_t at = 0; at + 7 <= p.size(); at += 7)
            ids_.push_back(Field(p, at, 6));
        return {Response(code, kAck)};
    case cmd::kReadIdList:
        return {Response(code, Records(ids_))};
    case cmd::kClearPhoneList:
        phones_.clear();
        return {Response(code, kAck)};
    case cmd::kClearIdList:
        ids_.clear();
        return {Response(code, kAck)};
    case cmd::kSetDomain:
        domain_ = Field(p, 0, 32);
        addressKind_ = 1;
        return {Response(code, kAck)};
    case cmd::kSetServerIp:
        ip_ = {p.size() > 0 ? p[0] : std::uint8_t{0}, p.size() > 1 ? p[1] : std::uint8_t{0},
               p.size() > 2 ? p[2] : std::uint8_t{0}, p.size() > 3 ? p[3] : std::uint8_t{0}};
        addressKind_ = 0;
        return {Response(code, kAck)};
    case cmd::kSetPort: {
        const Bytes f = Field(p, 0, 2);
        port_ = static_cast<std::uint16_t>(f[0] << 8 | f[1]);
        return {Response(code, kAck)};
    }
    case cmd::kSetWorkMode: {
        const Bytes f = Field(p, 0, 2);
        transferKind_ = f[0];
        modeByte_ = f[1];
        return {Response(code, kAck)};
    }
    case cmd::kReadNetParams: {
        Bytes out = domain_;
        out.insert(out.end(), ip_.begin(), ip_.end());
        out.push_back(static_cast<std::uint8_t>(port_ >> 8));
        out.push_back(static_cast<std::uint8_t>(port_ & 0xFF));
        out.push_back(transferKind_);
        out.push_back(modeByte_);
        out.push_back(addressKind_);
        return {Response(code, out)};
    }
    case cmd::kWriteUart: {
        const Bytes f = Field(p, 0, 3);
        uart_ = {f[0], f[1], f[2]};
        return {Response(code, kAck)};
    }
    case cmd::kReadUart:
        return {Response(code, Bytes(uart_.begin(), uart_.end()))};
    case cmd::kReadOwnId:
        return {Response(code, ownId_)};
    case cmd::kSetOwnId:
        ownId_ = Field(p, 0, 7);
        return {Response(code, kAck)};
    case cmd::kReadVersion:
        return {Response(code, Bytes(version.begin(), version.end()))};
    case cmd::kReadSignal:
        return {Response(code, Bytes(signal.begin(), signal.end()))};
    case cmd::kRestart:
        // Settings survive a restart; the answer comes before it.
        ++restarts_;
        return {Response(code, kAck)};
    case cmd::kWriteRf:
        rf_ = Field(p, 0, 7);
        return {Response(code, kAck)};
    case cmd::kReadRf:
        return {Response(code, rf_)};
    case cmd::kSetApn:
        apn_ = Field(p, 0, 96);
        return {Response(code, kAck)};
    case cmd::kWritePackets:
        packets_ = Field(p, 0, 45);
        return {Response(code, kAck)};
    case cmd::kReadPackets:
        return {Response(code, packets_)};
    case cmd::kSetClock: {
        const Bytes f = Field(p, 0, 7);
        clockBase_ = ToSeconds({f[0], f[1], f[2], f[3], f[4], f[5], f[6]});
        clockSetAtMs_ = nowMs;
        return {Response(code, kAck)};
    }
    case cmd::kReadClock: {
        const ClockBytes c = ClockAt(nowMs);
        return {Response(code, Bytes(c.begin(), c.end()))};
    }
    default:
        return {};  // a code this DTU does not know: no answer
    }
}

std::string VersionOf(const Bytes& image)
{
    static constexpr std::string_view kMark = "DTU-VERSION:";
    const auto at = std::search(image.begin(), image.end(), kMark.begin(), kMark.end());
    if (at != image.end()) {
        auto end = at + static_cast<long>(kMark.size());
        std::string text;
        while (end != image.end() && *end >= 0x20 && *end < 0x7F && text.size() < 64)
            text += static_cast<char>(*end++);
        return text;
    }
    char crc[9];
    std::snprintf(crc, sizeof crc, "%08X", static_cast<unsigned>(upgrade::Crc32Of(image)));
    return std::string("KV-331 (simulated, image ") + crc + ")";
}

std::vector<Bytes> Device::HandleBlock(const Bytes& frame)
{
    const bool app = frame[0] == 0xFA;
    const std::uint8_t command = app ? 0xEF : 0xF3;
    const std::size_t n = static_cast<std::size_t>(frame[4] << 8 | frame[5]);
    const bool wellFormed = frame.size() == n + 8 && frame.back() == (app ? 0x0D : 0x0A) &&
                            dtu::Checksum(std::span(frame).first(n + 6)) == frame[n + 6];
    if (!wellFormed)
        return {Letters(command, "NAK")};

    if (app && frame[3] == 0xFF && n == 8) {
        const std::uint32_t size = static_cast<std::uint32_t>(frame[6]) << 24 | frame[7] << 16 | frame[8] << 8 | frame[9];
        const std::uint32_t crc = static_cast<std::uint32_t>(frame[10]) << 24 | frame[11] << 16 | frame[12] << 8 | frame[13];
        const bool matches = size == image_.size() && crc == upgrade::Crc32Of(image_);
        // Block 255 of eight bytes looks like an end frame; only a size and
        // CRC that fit what came before make it one.
        if (matches && !faults.failUpgrade)
            version = VersionOf(image_);
        if (matches || expectedCounter_ != 0xFF)
            return {Letters(command, matches && !faults.failUpgrade ? "ECK" : "DCK")};
    }

    const std::uint8_t counter = frame[3];
    if (counter == 0) {
        // Block 0 always starts a new image: the tool restarted the upgrade.
        image_.clear();
        blocks_ = 0;
        expectedCounter_ = 0;
    }
    if (counter != expectedCounter_)
        return {Letters(command, "NAK")};
    image_.insert(image_.end(), frame.begin() + 6, frame.begin() + 6 + static_cast<long>(n));
    ++expectedCounter_;
    ++blocks_;
    if (faults.hangupAfterBlocks > 0 && blocks_ >= static_cast<std::size_t>(faults.hangupAfterBlocks)) {
        hangup_ = true;
        return {};
    }
    if (faults.dropAckEvery > 0 && blocks_ % static_cast<std::size_t>(faults.dropAckEvery) == 0)
        return {};
    return {Letters(command, "ACK")};
}

std::vector<Bytes> Device::HandleData(const Bytes& frame)
{
    // Show the tool what arrived: a data frame marked as an answer (type
    // with bit 7 set) around the received payload, or the bare bytes back in
    // transparent mode.
    if (frame.size() >= 3 && frame.front() == 0x7E && frame.back() == 0x7F) {
        Bytes out{0x7E, static_cast<std::uint8_t>(frame[1] | 0x80)};
        out.insert(out.end(), frame.begin() + 2, frame.end() - 1);
        if (out.size() > 254)
            out.resize(254);
        out.push_back(0x7F);
        return {out};
    }
    Bytes echo = frame;
    if (echo.size() > 255)
        echo.resize(255);
    return {echo};
}

}  // namespace sim
