// The session log: every chunk both ways and the failures, one line each.
#include "ui/terminal/TerminalWindow.h"

#include "driver/serial/BufferedPort.h"
#include "ui/common/FileDialog.h"
#include "ui/common/MessageBox.h"
#include "ui/terminal/TerminalWindowInternal.h"

#include <QDateTime>
#include <QLabel>
#include <QPushButton>

using ui::terminal_internal::kLogCaption;

void TerminalWindow::OnLog()
{
    if (log_.isOpen()) {
        // What has arrived so far belongs to the log: the record in progress
        // ends here, and what follows starts the next.
        stream_->CutNow();
        StopLog({});
        return;
    }
    const QString path =
        ui::GetSaveFileName(this, tr("日志文件 (*.log *.txt);;所有文件 (*)"));
    if (path.isEmpty())
        return;
    QString failure = log_.Open(path);
    if (failure.isEmpty()) {
        const QString port = g_Serial.IsOpen()
                                 ? tr("串口 %1，%2 bps").arg(QString::fromStdString(g_Serial.PortPath()))
                                       .arg(g_Serial.BaudRate())
                                 : tr("串口未打开");
        const QString now = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        failure = log_.Write(tr("# 调试工具会话日志，开始于 %1，%2").arg(now, port));
    }
    if (!failure.isEmpty()) {
        ui::ShowMessage(this, ui::AppCaption(), failure, ui::Buttons::Ok, QMessageBox::Warning);
        return;
    }
    logButton_->setText(tr("停止日志"));
    logState_->setText(tr("正在记录日志：%1").arg(path));
    logState_->show();
}

void TerminalWindow::StopLog(const QString& why)
{
    log_.Close();
    logButton_->setText(tr(kLogCaption));
    if (why.isEmpty()) {
        logState_->clear();
        logState_->hide();
        return;
    }
    logState_->setText(tr("日志已停止：%1").arg(why));
    // Said after the frame in hand has reached every page, not inside its
    // notification.
    QMetaObject::invokeMethod(
        this,
        [this, why] {
            ui::ShowMessage(this, ui::AppCaption(), tr("%1\n日志已停止，终端照常工作。").arg(why),
                            ui::Buttons::Ok, QMessageBox::Warning);
        },
        Qt::QueuedConnection);
}
