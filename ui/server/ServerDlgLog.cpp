// Starting and stopping the log file; each event goes to it as it is handled.
#include "server/ServerDlg.h"

#include "common/FileDialog.h"
#include "common/MessageBox.h"
#include "server/ServerDlgInternal.h"

#include <QLabel>
#include <QPushButton>

using ui::serverdlg::Caption;

void CServerDlg::OnLog()
{
    if (log_.isOpen()) {
        log_.close();
        logButton_->setText(tr("记录到文件..."));
        logPath_->setText(tr("未记录"));
        return;
    }
    const QString path = ui::GetSaveFileName(this, tr("日志文件 (*.log *.txt);;所有文件 (*)"));
    if (path.isEmpty())
        return;
    log_.setFileName(path);
    if (!log_.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
        ui::ShowMessage(this, Caption(), tr("无法写入 %1：%2").arg(path, log_.errorString()), ui::Buttons::Ok,
                        QMessageBox::Warning);
        return;
    }
    logButton_->setText(tr("停止记录"));
    logPath_->setText(tr("记录到 %1").arg(path));
}
