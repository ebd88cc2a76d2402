// Feeds one received buffer to every decoder and frame check, as a page
// would on any frame. Shared by the fuzz loop test and the libFuzzer target.
#pragma once

#include "core/dtu/Responses.h"
#include "core/upgrade/Transfer.h"

#include <algorithm>
#include <cstdint>
#include <span>

inline void RunAllDecoders(std::span<const std::uint8_t> buffer, std::int32_t length)
{
    using namespace dtu;
    const Response r(buffer, length);
    (void)PlanResponse(r);
    (void)DecodePhoneList(r);
    (void)DecodeIdList(r);
    NetPageState page;
    ApplyNetParams(DecodeNetParams(r), page);
    (void)DecodeUart(r);
    (void)DecodeOwnId(r);
    (void)DecodeText(r, kVersionCapacity);
    (void)DecodeText(r, kSignalCapacity);
    const Packets p = DecodePackets(r);
    (void)PacketText(p.heartbeat, false);
    (void)PacketText(p.registration, true);
    (void)DecodeClock(r);
    (void)DecodeRfAnswer(r);

    struct Discard : upgrade::FrameSink {
        void WriteFrame(std::span<const std::uint8_t>) override {}
    } sink;
    // A few bytes read a few at a time: every reply path of the transfer
    // (next block, end frame, verdict) for the price of a short image.
    struct Short : upgrade::ImageSource {
        explicit Short(int n) : reads(n) {}
        int reads;
        long Read(std::uint8_t* b, std::size_t max) override
        {
            if (reads-- <= 0)
                return 0;
            const std::size_t n = std::min<std::size_t>(max, 3);
            for (std::size_t i = 0; i < n; ++i)
                b[i] = static_cast<std::uint8_t>(i);
            return static_cast<long>(n);
        }
    } image(buffer.size() > 3 ? 1 + (buffer[3] & 1) : 1);
    const auto kind = !buffer.empty() && buffer[0] == upgrade::FramingOf(upgrade::Kind::Iap).head
                          ? upgrade::Kind::Iap
                          : upgrade::Kind::App;
    upgrade::Transfer transfer(sink);
    transfer.Start(kind, image, 0);
    // Twice: the second reply meets the state the first one left.
    const std::uint8_t command = buffer.size() > 2 ? buffer[2] : 0;
    transfer.OnReply(command, buffer, 0);
    transfer.OnReply(command, buffer, 0);
}
