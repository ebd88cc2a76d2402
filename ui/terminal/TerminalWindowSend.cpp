// The send line: its history, its line endings and the timed send.
#include "ui/terminal/TerminalWindow.h"

#include "driver/serial/BufferedPort.h"
#include "ui/common/MessageBox.h"
#include "ui/common/PortWrite.h"
#include "ui/terminal/TerminalWindowInternal.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSpinBox>

#include <algorithm>

using ui::terminal_internal::NowMs;
using ui::terminal_internal::SteadyMs;

namespace {

const char kTip[] = QT_TRANSLATE_NOOP("TerminalWindow", "提示！");

}  // namespace

bool TerminalWindow::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == sendEdit_ && e->type() == QEvent::KeyPress) {
        const int k = static_cast<QKeyEvent*>(e)->key();
        if (k == Qt::Key_Up || k == Qt::Key_Down) {
            const std::optional<QString> line = k == Qt::Key_Up ? history_.Older(sendEdit_->text()) : history_.Newer();
            if (line)
                sendEdit_->setText(*line);
            return true;
        }
    }
    return FramePage::eventFilter(watched, e);
}

std::optional<terminal::Bytes> TerminalWindow::LineBytes()
{
    const terminal::Outgoing out =
        hexCheck_->isChecked()
            ? terminal::BuildHex(sendEdit_->text())
            : terminal::BuildText(sendEdit_->text(), encoding(),
                                  static_cast<terminal::LineEnding>(endingCombo_->currentIndex()));
    if (!out.ok()) {
        Refuse(out.refusal);
        return std::nullopt;
    }
    return out.bytes;
}

void TerminalWindow::OnSend()
{
    // The port may have opened since the last look.
    UpdatePortState();
    if (!portOpen_) {
        QApplication::beep();
        return;
    }
    const std::optional<terminal::Bytes> bytes = LineBytes();
    if (!bytes)
        return;
    if (!bytes->empty())
        Transmit(*bytes);
    Remember(sendEdit_->text());
    sendEdit_->clear();
}

void TerminalWindow::OnHexToggled(bool hex)
{
    endingCombo_->setEnabled(!hex);
    sendEdit_->setPlaceholderText(hex ? tr("十六进制字节，如 41 54 0D 0A")
                                      : tr("文本，如 AT+CSQ；回车发送"));
    SaveOptions();
}

void TerminalWindow::OnTimedToggled(bool on)
{
    UpdatePortState();
    if (!on) {
        sendTimer_.stop();
        return;
    }
    // What the line holds now is what repeats; editing it meanwhile changes
    // nothing until the next start.
    const std::optional<terminal::Bytes> bytes = portOpen_ ? LineBytes() : std::optional<terminal::Bytes>();
    if (bytes && bytes->empty())
        Refuse(tr("发送行是空的，没有可定时发送的内容！"));
    if (!bytes || bytes->empty()) {
        const QSignalBlocker quiet(timedCheck_);
        timedCheck_->setChecked(false);
        return;
    }
    timedBytes_ = *bytes;
    Remember(sendEdit_->text());
    Transmit(timedBytes_);
    sendTimer_.start(intervalSpin_->value(), this);
}

void TerminalWindow::StopTimed()
{
    if (timedCheck_->isChecked())
        timedCheck_->setChecked(false);
}

void TerminalWindow::Transmit(const terminal::Bytes& bytes)
{
    ui::SendFrame(this, bytes, [this](const QString& why) { OnSendFailed(why); });
    // Start, 8 data bits, parity, stop: the time the bytes take on the wire.
    const unsigned baud = std::max(1u, g_Serial.BaudRate());
    const std::int64_t bits = std::int64_t(bytes.size()) * (g_Serial.Parity() != 0 ? 11 : 10);
    lineFreeAtMs_ = std::max(SteadyMs(), lineFreeAtMs_) + (bits * 1000 + baud - 1) / baud;
    Record({NowMs(), Kind::Sent, bytes, {}});
}

void TerminalWindow::OnSendFailed(const QString& why)
{
    StopTimed();
    Record({NowMs(), Kind::Notice, {}, tr("发送失败：%1").arg(why)});
}

void TerminalWindow::Refuse(const QString& why)
{
    ui::ShowMessage(this, tr(kTip), why, ui::Buttons::Ok, QMessageBox::Warning);
}
