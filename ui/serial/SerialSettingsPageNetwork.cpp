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

using uartparam::FailureText;
using uartparam::kNetRetryMs;
using uartparam::ParityName;
using uartparam::Say;

void SerialSettingsPage::Connect(const QString& url, unsigned baudRate, unsigned parity)
{
    const auto parsed = net::ParsePortUrl(url.toStdString());
    if (!parsed) {
        SayFailure(FailureText(SerialError::BadUrl, EINVAL, url, false));
        return;
    }
    canceller_->Reset();
    if (!awaitingReconnect())
        SayFailure({});
    Say(line_, tr("正在连接 %1 …").arg(url));
    auto* watcher = new QFutureWatcher<std::shared_ptr<serial::NetConnection>>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [=, this] {
        watcher->deleteLater();
        connectPending_ = false;
        Connected(url, baudRate, parity, *watcher->result());
    });
    connectPending_ = true;
    connecting_ = QtConcurrent::run([url = *parsed, baudRate, parity, cancelFd = canceller_->Fd()] {
        return std::make_shared<serial::NetConnection>(serial::ConnectPort(url, baudRate, parity, cancelFd));
    });
    watcher->setFuture(connecting_);
    UpdateState();
}

void SerialSettingsPage::Connected(const QString& url, unsigned baudRate, unsigned parity,
                              serial::NetConnection& connection)
{
    const bool reconnecting = awaitingReconnect() && QString::fromStdString(awaited_) == url;
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
        if (reconnecting && !cancelled)
            retry_->start(kNetRetryMs);
        // Cancelled by hand while reconnecting: the wait ends with it.
        if (reconnecting && cancelled) {
            awaited_.clear();
            Say(reconnect_, tr("已取消自动重新连接 %1。").arg(lostPath_));
        }
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
    if (reconnecting) {
        awaited_.clear();
        SayReopened(url, baudRate, parity);
    }
    UpdateState();
}
