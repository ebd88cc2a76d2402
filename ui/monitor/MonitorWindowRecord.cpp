// Recording: frames written by any thread and frames received, into the log,
// and a request marked unanswered when its answer is overdue.
#include "ui/monitor/MonitorWindow.h"

#include "core/dtu/Commands.h"
#include "core/upgrade/Transfer.h"
#include "driver/host/Identity.h"
#include "driver/serial/BufferedPort.h"

#include <QScrollBar>
#include <QTableView>
#include <QTimerEvent>

#include <algorithm>
#include <chrono>

namespace {

using monitor::Direction;

std::int64_t SteadyMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

void MonitorWindow::OnWritten(const std::uint8_t* data, std::size_t length)
{
    Sent sent{host::WallMs(), SteadyMs(), std::vector<std::uint8_t>(data, data + length)};
    std::lock_guard lock(inboxLock_);
    inbox_.push_back(std::move(sent));
    if (!takePosted_) {
        takePosted_ = true;
        QMetaObject::invokeMethod(this, &MonitorWindow::TakeSent, Qt::QueuedConnection);
    }
}

void MonitorWindow::TakeSent()
{
    std::vector<Sent> sent;
    {
        std::lock_guard lock(inboxLock_);
        sent.swap(inbox_);
        takePosted_ = false;
    }
    // A request waits as long as its page waits for the answer.
    log_.SetReplyTimeouts(dtu::kReplyTimeoutMs, upgrade::ReplyTimeoutMs(g_Serial.BaudRate()));
    for (const Sent& s : sent)
        Record(Direction::Sent, s.bytes, s.wallMs, s.steadyMs);
}

void MonitorWindow::OnReceived(std::span<const std::uint8_t> bytes)
{
    if (bytes.empty())
        return;
    // What was written before this frame completed comes first.
    TakeSent();
    Record(Direction::Received, bytes, host::WallMs(), SteadyMs());
}

void MonitorWindow::RecordCut(ui::StreamReader::Records& records)
{
    for (const auto& r : records)
        OnReceived(r.bytes);
}

void MonitorWindow::Record(Direction direction, std::span<const std::uint8_t> bytes, std::int64_t wallMs,
                         std::int64_t steadyMs)
{
    log_.Add(direction, bytes, wallMs, steadyMs);
    ArmExpiry();
    ScheduleRefresh();
}

void MonitorWindow::ArmExpiry()
{
    const auto deadline = log_.NextDeadline();
    if (!deadline) {
        expiry_.stop();
        return;
    }
    expiry_.start(static_cast<int>(std::clamp<std::int64_t>(*deadline - SteadyMs() + 1, 0, 60000)), this);
}

void MonitorWindow::timerEvent(QTimerEvent* e)
{
    if (e->timerId() != expiry_.timerId()) {
        QDialog::timerEvent(e);
        return;
    }
    for (const std::uint64_t seq : log_.Expire(SteadyMs()))
        model_->EntryChanged(seq);
    ArmExpiry();
}

void MonitorWindow::ScheduleRefresh()
{
    // One table update per turn of the event loop, however many frames.
    if (refreshPosted_ || paused_ || !isVisible())
        return;
    refreshPosted_ = true;
    QMetaObject::invokeMethod(this, &MonitorWindow::Refresh, Qt::QueuedConnection);
}

void MonitorWindow::Refresh()
{
    refreshPosted_ = false;
    TakeSent();
    if (paused_)
        return;
    QScrollBar* bar = table_->verticalScrollBar();
    const bool atEnd = bar->value() >= bar->maximum();
    model_->Sync();
    if (atEnd)
        table_->scrollToBottom();
    UpdateCount();
}
