// The page's reconnect after a loss: the open port's adapter pulled, or a
// network port's server gone. The page waits for the same device under the
// same stable name, or retries the server, and reopens it with the same
// settings.
#include "ui/serial/SerialSettingsPage.h"
#include "ui/serial/SerialSettingsPageInternal.h"

#include "driver/serial/BufferedPort.h"
#include "driver/serial/NetPort.h"
#include "driver/serial/PortInfo.h"
#include "ui/common/Settings.h"

#include <QCheckBox>
#include <QTimer>

using ui::serial_internal::FailureText;
using ui::serial_internal::IsUrl;
using ui::serial_internal::kNetRetryMs;
using ui::serial_internal::ParityName;
using ui::serial_internal::Say;

namespace {

// No reopen sooner than this after a loss: every page that watches the port
// (the upgrade page looks every 100 ms) must first have seen it closed and
// ended its transfer, so that nothing resumes on the reopened port.
constexpr qint64 kQuietAfterLossMs = 500;
constexpr int kRetryMs = 1000;
constexpr int kReopenTries = 10;

}  // namespace

void SerialSettingsPage::SayReopened(const QString& path, unsigned baudRate, unsigned parity)
{
    Say(reconnect_, tr("已重新打开 %1（%2 波特，%3），与断开前的设置相同。断开时中止的传输不会自动继续，"
                                   "请重新开始。")
                        .arg(path)
                        .arg(baudRate)
                        .arg(ParityName(parity)));
}

void SerialSettingsPage::OnReconnectToggled(bool on)
{
    if (const auto settings = ui::Remembered())
        settings->setValue(QStringLiteral("port/reconnect"), on);
    if (on || !awaitingReconnect())
        return;
    Step(Event::WaitEnded);
    retry_->stop();
    // A reconnect under way must not open the port after all.
    if (state_ == State::Connecting)
        canceller_->Cancel();
    Say(reconnect_, tr("已取消自动重新连接 %1。").arg(awaited_.path));
}

bool SerialSettingsPage::AwaitReconnect(const QString& path, unsigned baudRate, unsigned parity)
{
    const std::string lost = path.toStdString();
    std::string stable = lost == opened_.path ? opened_.stable : serial::ByIdFor(lost, roots_.dev);
    if (stable.empty())
        stable = lost;
    opened_.path.clear();
    Say(line_, {});
    // A pseudo-terminal's name, once gone, is never the same line again.
    const bool comesBack = reconnectBox_->isChecked() && !(stable == lost && serial::IsPseudoTerminal(lost));
    Step(comesBack ? Event::Lost : Event::Closed);
    UpdateState();
    if (state_ != State::Awaiting)
        return false;
    awaited_.name = stable;
    awaited_.path = path;
    awaited_.baudRate = baudRate;
    awaited_.parity = parity;
    if (IsUrl(path))
        Say(reconnect_, tr("网络端口 %1 的连接已断开（服务器关闭了连接、网络中断，或该端口正被另一用户使用）。将以相同设置（%2 波特，%3）"
                                       "每 %4 秒重新连接一次。")
                            .arg(path)
                            .arg(baudRate)
                            .arg(ParityName(parity))
                            .arg(kNetRetryMs / 1000));
    else
        Say(reconnect_, tr("串口 %1 已断开。插回同一设备（%2）后，将以相同设置（%3 波特，%4）自动重新打开。")
                            .arg(path, QString::fromStdString(stable))
                            .arg(baudRate)
                            .arg(ParityName(parity)));
    awaited_.since.start();
    TryReconnect();
    return true;
}

void SerialSettingsPage::TryReconnect()
{
    if ((state_ != State::Awaiting && state_ != State::Retrying) || g_Serial.IsOpen())
        return;
    if (const qint64 early = kQuietAfterLossMs - awaited_.since.elapsed(); early > 0) {
        retry_->start(static_cast<int>(early));
        return;
    }
    if (IsUrl(QString::fromStdString(awaited_.name))) {
        Connect(QString::fromStdString(awaited_.name), awaited_.baudRate, awaited_.parity);
        return;
    }
    const std::string node = serial::ResolveDevice(awaited_.name);
    if (node == awaited_.name && awaited_.name.find("/serial/by-id/") != std::string::npos)
        return;  // the link is not back yet
    if (!g_Serial.Open(node, awaited_.baudRate, awaited_.parity)) {
        // There but refused: udev may not have set its group yet, or
        // ModemManager is probing it. A close raises no event, so look
        // again a few times.
        if (g_Serial.LastError() != SerialError::NotFound) {
            if (state_ == State::Awaiting)
                awaited_.triesLeft = kReopenTries;
            Step(--awaited_.triesLeft > 0 ? Event::Refused : Event::LastRefused);
            if (state_ == State::Retrying)
                retry_->start(kRetryMs);
            else
                SayFailure(
                    FailureText(g_Serial.LastError(), g_Serial.LastErrno(), QString::fromStdString(node), false));
        }
        return;
    }
    opened_.path = node;
    opened_.stable = awaited_.name;
    Step(Event::Opened);
    retry_->stop();
    SayFailure({});
    SayReopened(QString::fromStdString(node), awaited_.baudRate, awaited_.parity);
    UpdateState();
}
