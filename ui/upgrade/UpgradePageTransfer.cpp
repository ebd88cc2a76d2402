// The transfer: started, fed the DTU's replies, watched while it runs, and
// ended by the user, the DTU, a time-out or the port.
#include "ui/upgrade/UpgradePage.h"

#include "core/common/Tr.h"
#include "driver/serial/BufferedPort.h"
#include "jobs/port/Messages.h"
#include "ui/common/PortWrite.h"
#include "ui/upgrade/UpgradePageInternal.h"

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QTimerEvent>

#include <algorithm>

using ui::upgrade_internal::Text;

namespace {

// Replies are looked for and the port is watched this often while a transfer
// runs; the main window completes frames no faster than every 100 ms.
constexpr int kWatchMs = 100;

const char kEmptyPath[] = QT_TRANSLATE_NOOP("UpgradePage", "打开文件的路径不正确,或不能为空！");
const char kStopped[] = QT_TRANSLATE_NOOP("UpgradePage", "停止下载程序成功！");

}  // namespace

void UpgradePage::PortSink::WriteFrame(std::span<const std::uint8_t> frame)
{
    UpgradePage* const page = page_;
    const std::uint64_t run = page->run_;
    ui::SendFrame(page, frame, [page, run](const QString& why) { page->WriteFailed(run, why); });
}

void UpgradePage::OnApp()
{
    Start(upgrade::Kind::App);
}

void UpgradePage::OnIap()
{
    Start(upgrade::Kind::Iap);
}

void UpgradePage::OnStop()
{
    ++starts_;
    if (transferring())
        Finish(tr("升级已停止。"), records::kResultStopped, StoppedAfter());
    transfer_.Stop();
    progressBar_->setValue(0);
    Say(Text(kStopped));
}

void UpgradePage::EndTransfer()
{
    ++starts_;
    if (transferring())
        Finish(tr("窗口已关闭，升级已停止。"), records::kResultStopped,
               text::Fill(jobs::msg::kWindowClosed, {StoppedAfter()}));
}

void UpgradePage::Start(upgrade::Kind kind)
{
    // A start without a file only says so: the transfer under way goes on.
    const QString path = pathEdit_->text();
    if (path.trimmed().isEmpty()) {
        Say(Text(kEmptyPath));
        return;
    }
    portLossReported_ = false;
    // Pressing a start button ends what ran before.
    if (transferring())
        Finish(tr("升级已停止。"), records::kResultStopped, text::Fill(jobs::msg::kStartedAgain, {StoppedAfter()}));
    if (!g_Serial.IsOpen() || g_Serial.PortLost()) {
        Say(tr("串口没有打开，不能升级。请先在“系统设置”中打开串口。"));
        return;
    }
    std::optional<std::vector<std::uint8_t>> bytes = ReadImage(path);
    if (!bytes)
        return;

    // Recorded before a byte goes out, or not sent at all; the record is
    // begun on the store's thread, and the transfer starts when it is.
    const std::uint64_t start = ++starts_;
    jobs::Image recorded{path.toStdString(), kind, *bytes};
    ui::BeginPageRecord(records::kActionUpgrade, {}, std::move(recorded), this,
                        [this, start, kind, path, bytes = std::move(*bytes)](std::optional<ui::PageRecord> record,
                                                                            const QString& error) mutable {
                            if (start != starts_) {
                                if (record)
                                    ui::CompletePageRecord(*record, records::kResultStopped, jobs::msg::kNotBegun,
                                                           this, {});
                                return;
                            }
                                                    if (!record) {
                                Say(tr("不能记录，没有升级：%1").arg(error));
                                return;
                            }
                            if (!g_Serial.IsOpen() || g_Serial.PortLost()) {
                                ui::CompletePageRecord(*record, records::kResultFailed, jobs::msg::kPortClosed, this, {});
                                Say(tr("串口没有打开，不能升级。请先在“系统设置”中打开串口。"));
                                return;
                            }
                            record_ = std::move(record);
                            Begin(kind, path, std::move(bytes));
                        });
}

void UpgradePage::Begin(upgrade::Kind kind, const QString& path, std::vector<std::uint8_t> bytes)
{
    transfer_.Stop();
    image_.emplace(std::move(bytes));
    imageBytes_ = image_->size();
    // What is shown is what is sent: the file as it was read just now.
    ShowFileInfo(path, static_cast<qint64>(imageBytes_));
    SetRange(imageBytes_);
    verdictText_->clear();
    sentBlocks_ = 0;
    sentBytes_ = 0;
    started_ = true;
    const std::int64_t now = NowMs();
    pace_ = {0, upgrade::BlocksFor(imageBytes_) + (kind == upgrade::Kind::App ? 1 : 0), now, now};
    replyTimeoutMs_ = upgrade::ReplyTimeoutMs(g_Serial.BaudRate());
    transfer_.SetReplyTimeout(replyTimeoutMs_);

    ++run_;
    const upgrade::Outcome outcome = transfer_.Start(kind, *image_, now);
    if (transferring())
        watch_.start(kWatchMs, this);
    Show(outcome, {});
}

void UpgradePage::OnFrame(const ui::FrameEvent& frame)
{
    // Only the bytes of this frame: left-overs of an earlier, longer one are
    // no verdict.
    HandleReply(frame.code, frame.bytes());
}

void UpgradePage::HandleReply(std::uint8_t command, std::span<const std::uint8_t> reply)
{
    const QString outstanding = OutstandingFrame();
    const upgrade::Outcome outcome = transfer_.OnReply(command, reply, NowMs());
    Show(outcome, outstanding);
}

void UpgradePage::timerEvent(QTimerEvent* e)
{
    if (e->timerId() != watch_.timerId()) {
        FramePage::timerEvent(e);
        return;
    }
    if (!g_Serial.IsOpen() || g_Serial.PortLost()) {
        PortLost();
        return;
    }
    const QString outstanding = OutstandingFrame();
    const upgrade::Outcome late = transfer_.Poll(NowMs());
    if (late != upgrade::Outcome::Ignored)
        Show(late, outstanding);
    else
        UpdateProgress();
}

void UpgradePage::PortLost()
{
    Interrupted(tr("串口已断开"));
}

void UpgradePage::WriteFailed(std::uint64_t run, const QString& why)
{
    // A frame of a transfer that has ended since has nothing left to stop.
    if (run != run_ || !transferring())
        return;
    // One frame is out at a time: the one that failed is the last counted.
    if (transfer_.state() == upgrade::State::Sending && sentBlocks_ > 0) {
        --sentBlocks_;
        sentBytes_ = std::min<std::uint64_t>(imageBytes_, sentBlocks_ * upgrade::kBlockSize);
    }
    Interrupted(why);
}

void UpgradePage::Interrupted(const QString& why)
{
    const QString text = tr("%1，升级已中断：已发送 %2/%3 块。\n"
                                        "请检查连接，在“系统设置”中重新打开串口后重新升级。")
                             .arg(why)
                             .arg(sentBlocks_)
                             .arg(upgrade::BlocksFor(imageBytes_));
    portLossReported_ = true;
    Finish(text, records::kResultFailed,
           text::Fill(jobs::msg::kLineFailedAfter,
                      {std::to_string(sentBlocks_), std::to_string(upgrade::BlocksFor(imageBytes_))}));
    Say(text);
}

std::string UpgradePage::StoppedAfter() const
{
    return text::Fill(jobs::msg::kStoppedAfter,
                      {std::to_string(sentBlocks_), std::to_string(upgrade::BlocksFor(imageBytes_))});
}

void UpgradePage::Finish(const QString& verdict, std::string_view result, const std::string& detail)
{
    if (record_) {
        ui::CompletePageRecord(*record_, result, detail, this, [this](const QString& words) { Say(words); });
        record_.reset();
        // The unit runs another version now, or may: ask it again.
        if (result == records::kResultOk)
            ui::ForgetUnit();
    }
    watch_.stop();
    endedMs_ = NowMs();
    transfer_.Stop();
    image_.reset();
    verdictText_->setText(verdict);
    UpdateProgress();
}
