// The notification of a completed frame, sent synchronously by the main
// window to each visible page. Each page has its own event type; the page
// reads the frame from the buffer during the call.
#pragma once

#include "core/serial/ReceiveBuffer.h"

#include <QEvent>

#include <algorithm>
#include <cstdint>
#include <span>

namespace ui {

inline constexpr QEvent::Type kSmsTextFrame = QEvent::Type(1001);
inline constexpr QEvent::Type kSmsHexFrame = QEvent::Type(1002);
inline constexpr QEvent::Type kTcpFrame = QEvent::Type(1003);
inline constexpr QEvent::Type kDtuFrame = QEvent::Type(1004);
inline constexpr QEvent::Type kUpgradeFrame = QEvent::Type(1025);

class FrameEvent : public QEvent {
public:
    FrameEvent(Type type, const ReceiveBuffer::Frame& frame)
        : QEvent(type),
          code(frame.bytes[type == kDtuFrame || type == kUpgradeFrame ? 2 : 1]),
          length(frame.length),
          buffer(frame.bytes)
    {
    }

    // The frame's bytes: the buffer up to its length, never past it.
    std::span<const std::uint8_t> bytes() const
    {
        return buffer.first(static_cast<std::size_t>(std::clamp<std::int32_t>(length, 0, ReceiveBuffer::kCapacity)));
    }

    // What the page dispatches on: the data frame's type (byte 1) for the
    // SMS and TCP pages, the command code (byte 2) for the DTU and upgrade
    // pages.
    const std::uint8_t code;
    // The frame's length, as received.
    const std::int32_t length;
    // The whole receive buffer; the frame starts at index 0. The DTU page's
    // decoders read fixed offsets of it, past a short frame's end too.
    const std::span<const std::uint8_t, ReceiveBuffer::kCapacity> buffer;
};

}  // namespace ui
