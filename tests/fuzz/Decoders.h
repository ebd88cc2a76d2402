// Feeds one received buffer to every decoder and frame check, as a page
// would on any frame. Shared by the fuzz loop test and the libFuzzer target.
#pragma once

#include "dtu/Responses.h"
#include "upgrade/Transfer.h"

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
    struct Endless : upgrade::ImageSource {
        long Read(std::uint8_t* b, std::size_t max) override
        {
            for (std::size_t i = 0; i < max; ++i)
                b[i] = static_cast<std::uint8_t>(i);
            return static_cast<long>(max);
        }
    } image;
    upgrade::Transfer transfer(sink);
    transfer.Start(upgrade::Kind::App, image, 0);
    transfer.OnReply(buffer.size() > 2 ? buffer[2] : 0, buffer, 0);
}
