// The page's network ports: a connection is made on the thread pool, so that
// the page stays live for the seconds it may take, and can be cancelled.
#include "ui/serial/SerialSettingsPage.h"
#include "ui/serial/SerialSettingsPageInternal.h"

#include "core/net/PortUrl.h"
#include "driver/serial/BufferedPort.h"
#include "driver/serial/NetPort.h"

#include <QFutureWatcher>
#include <QLabel>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

#include <cerrno>

using ui::serial_internal::FailureText;
using ui::serial_internal::kNetRetryMs;
using ui::serial_internal::ParityName;
using ui::serial_internal::Say;

void SerialSettingsPage::Connect(const QString& url, unsigned baudRate, unsigned parity)
{
    const auto parsed = net::ParsePortUrl(url.toStdString());
    if (!parsed) {
        SayFailure(FailureText(SerialError::BadUrl, EINVAL, url, false));
        return;
    }
    canceller_->Reset();
    // A reconnect keeps saying why the last try failed.
    if (state_ != State::Awaiting)
        SayFailure({});
    Say(line_, tr("正在连接 %1 …").arg(url));
    auto* watcher = new QFutureWatcher<std::shared_ptr<serial::NetConnection>>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [=, this] {
        watcher->deleteLater();
        Connected(url, baudRate, parity, *watcher->result());
    });
    Step(Event::ConnectStarted);
    connecting_ = QtConcurrent::run([url = *parsed, baudRate, parity, cancelFd = canceller_->Fd()] {
        return std::make_shared<serial::NetConnection>(serial::ConnectPort(url, baudRate, parity, cancelFd));
    });
    watcher->setFuture(connecting_);
    UpdateState();
}

void SerialSettingsPage::Connected(const QString& url, unsigned baudRate, unsigned parity,
                              serial::NetConnection& connection)
{
    const bool reconnecting = state_ == State::Reconnecting;
    const SerialError error = connection.error;
    const int err = connection.err;
    const std::string serverSaid = connection.serverSaid;
    const bool connected = connection.fd >= 0;
    if (!connected || !g_Serial.Adopt(std::move(connection), url.toStdString(), baudRate, parity)) {
        const bool cancelled = !connected && error == SerialError::Closed;
        Say(line_, cancelled ? tr("已取消连接 %1。").arg(url) : QString());
        if (!cancelled)
            SayFailure(connected ? FailureText(g_Serial.LastError(), g_Serial.LastErrno(), url, false)
                                 : FailureText(error, err, url, false, serverSaid));
        Step(cancelled ? Event::Cancelled : Event::ConnectFailed);
        if (state_ == State::Awaiting)
            retry_->start(kNetRetryMs);
        else if (reconnecting)  // cancelled by hand: the wait ends with it
            Say(reconnect_, tr("已取消自动重新连接 %1。").arg(awaited_.path));
        UpdateState();
        return;
    }
    Opened(url.toStdString(), url.toStdString());
    SayFailure({});
    const QString parityName = ParityName(parity);
    Say(line_, g_Serial.ServerKeepsLine()
                   ? tr("已连接 %1。socket:// 端口的波特率和效验位由服务器决定，本页的设置对它不起作用。")
                         .arg(url)
                   : tr("已连接 %1，服务器已确认线路设置：%2 波特，%3，8 位数据位，1 位停止位。")
                         .arg(url)
                         .arg(baudRate)
                         .arg(parityName));
    if (reconnecting)
        SayReopened(url, baudRate, parity);
    UpdateState();
}
