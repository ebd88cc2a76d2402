// What the page shows of a transfer: blocks and bytes sent, times, and the
// verdict.
#include "ui/upgrade/UpgradePage.h"

#include "core/common/Tr.h"
#include "jobs/port/Messages.h"

#include "ui/common/MessageBox.h"
#include "ui/upgrade/UpgradePageInternal.h"

#include <QLabel>
#include <QProgressBar>

#include <algorithm>
#include <climits>

using ui::upgrade_internal::Text;

namespace {

const char kCheckFailed[] = QT_TRANSLATE_NOOP("UpgradePage", "校验错误,升级失败!");
const char kSucceeded[] = QT_TRANSLATE_NOOP("UpgradePage", "升级成功，等待从新启动");

}  // namespace

void UpgradePage::Show(upgrade::Outcome outcome, const QString& lastFrame)
{
    using upgrade::Outcome;
    switch (outcome) {
    case Outcome::Ignored:
    case Outcome::Empty:
        return;
    case Outcome::BlockWritten:
        sentBlocks_ = transfer_.blocksWritten();
        sentBytes_ = transfer_.bytesSent();
        progressBar_->setValue(static_cast<int>(std::min<std::uint64_t>(sentBlocks_, progressBar_->maximum())));
        [[fallthrough]];
    case Outcome::EndFrameWritten:
        ++pace_.framesWritten;
        pace_.lastWriteMs = NowMs();
        UpdateProgress();
        return;
    case Outcome::Failed:
        Finish(Text(kCheckFailed), records::kResultFailed, jobs::msg::kRejectedNow);
        Say(Text(kCheckFailed));
        return;
    case Outcome::Succeeded:
        Finish(Text(kSucceeded), records::kResultOk);
        // The answer changes nothing.
        ui::ShowMessage(this, ui::AppCaption(), Text(kSucceeded), ui::Buttons::OkCancel);
        return;
    case Outcome::TimedOut: {
        const QString text = tr("%1在 %2 秒内没有应答，升级已停止。\n请检查 DTU 和连线后重新升级。")
                                 .arg(lastFrame)
                                 .arg((replyTimeoutMs_ + 999) / 1000);
        Finish(text, records::kResultFailed,
               text::Fill(jobs::msg::kNoAnswer,
                          {transfer_.state() == upgrade::State::AwaitingVerdict
                               ? std::string(jobs::msg::kImageEnd)
                               : text::Fill(jobs::msg::kImageBlockN, {std::to_string(transfer_.blocksWritten())}),
                           std::to_string(replyTimeoutMs_)}));
        Say(text);
        return;
    }
    case Outcome::ReadFailed:
        Finish(tr("读取升级文件失败，升级已停止。"), records::kResultFailed, jobs::msg::kImageUnread);
        Say(verdictText_->text());
        return;
    }
}

QString UpgradePage::OutstandingFrame() const
{
    if (transfer_.state() == upgrade::State::AwaitingVerdict)
        return tr("结束帧（全部 %1 块已发送）").arg(transfer_.blocksWritten());
    return tr("第 %1 块（共 %2 块）").arg(transfer_.blocksWritten()).arg(upgrade::BlocksFor(imageBytes_));
}

void UpgradePage::SetRange(std::uint64_t bytes)
{
    // Blocks sent of blocks to send: full when the last block has gone.
    progressBar_->setRange(0, static_cast<int>(std::clamp<std::uint64_t>(upgrade::BlocksFor(bytes), 1, INT_MAX)));
    progressBar_->setValue(0);
    progressBar_->setTextVisible(true);
}

void UpgradePage::UpdateProgress()
{
    const std::uint64_t blocks = upgrade::BlocksFor(imageBytes_);
    if (!started_) {
        progressText_->setText(tr("共 %1 块，%2 字节").arg(blocks).arg(imageBytes_));
        return;
    }
    const bool running = transferring();
    const std::int64_t now = NowMs();
    QString text = tr("已发送 %1/%2 块，%3/%4 字节，%5 %6")
                       .arg(sentBlocks_)
                       .arg(blocks)
                       .arg(sentBytes_)
                       .arg(imageBytes_)
                       .arg(running ? tr("已用") : tr("用时"))
                       .arg(QString::fromStdString(upgrade::DurationText((running ? now : endedMs_) - pace_.startMs)));
    if (running) {
        if (const std::optional<std::int64_t> left = upgrade::RemainingMs(pace_, now))
            text += tr("，剩余约 %1").arg(QString::fromStdString(upgrade::DurationText(*left)));
    }
    progressText_->setText(text);
}
