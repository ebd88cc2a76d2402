// The notification of a completed frame, sent synchronously by the main
// window to each visible page. Each page has its own event type; the page
// reads the frame from the buffer during the call.
#pragma once

#include "serial/ReceiveBuffer.h"

#include <QEvent>

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
          wParam(frame.bytes[type == kDtuFrame || type == kUpgradeFrame ? 2 : 1]),
          lParam(frame.length),
          buffer(frame.bytes)
    {
    }

    // Byte 1 of the buffer for the SMS and TCP pages, byte 2 (the command
    // code) for the DTU and upgrade pages.
    const std::uint8_t wParam;
    // The frame's length.
    const std::int32_t lParam;
    // The whole receive buffer; the frame starts at index 0.
    const std::span<const std::uint8_t, ReceiveBuffer::kCapacity> buffer;
};

}  // namespace ui
