// Frames of the pages go to the line through here. The driver's writer
// thread writes them, so no page ever waits on the line, and a write that
// fails is told back to the page on the page's own thread.
#pragma once

#include <QString>

#include <cstdint>
#include <functional>
#include <span>

class QObject;
class QWidget;

namespace ui {

// `onFailure` runs later, on this thread, with the reason in words, unless
// `page` has been destroyed by then.
void SendFrame(QObject* page, std::span<const std::uint8_t> frame, std::function<void(const QString& why)> onFailure);

// For pages without a status pane: a failure is shown in a message box with
// `caption`; failures arriving while it is open add no second box.
void SendFrameOrSay(QWidget* page, std::span<const std::uint8_t> frame, const QString& caption);

}  // namespace ui
