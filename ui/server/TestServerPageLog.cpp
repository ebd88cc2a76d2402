// Starting and stopping the log file; each event goes to it as it is
// handled, and a write that fails stops it, in words.
#include "ui/server/TestServerPage.h"

#include "ui/common/FileDialog.h"
#include "ui/common/MessageBox.h"
#include "ui/server/TestServerPageInternal.h"

#include <QLabel>
#include <QPushButton>

using ui::server_internal::Caption;

void TestServerPage::OnLog()
{
    if (log_.isOpen()) {
        log_.Close();
        logButton_->setText(tr("记录到文件..."));
        logPath_->setText(tr("未记录"));
        return;
    }
    const QString path = ui::GetSaveFileName(this, tr("日志文件 (*.log *.txt);;所有文件 (*)"));
    if (path.isEmpty())
        return;
    if (const QString failure = log_.Open(path, terminal::SessionLog::Existing::Append); !failure.isEmpty()) {
        ui::ShowMessage(this, Caption(), failure, ui::Buttons::Ok, QMessageBox::Warning);
        return;
    }
    logButton_->setText(tr("停止记录"));
    logPath_->setText(tr("记录到 %1").arg(path));
}

void TestServerPage::Log(const server::Event& e)
{
    if (!log_.isOpen())
        return;
    const QString failure = log_.Write(QString::fromStdString(server::FormatEvent(e, encoding())));
    if (failure.isEmpty())
        return;
    logButton_->setText(tr("记录到文件..."));
    logPath_->setText(tr("记录已停止：%1").arg(failure));
    // Said once the news in hand are shown, not in the middle of them.
    QMetaObject::invokeMethod(
        this,
        [this, failure] {
            ui::ShowMessage(this, Caption(), tr("%1\n记录已停止，服务器照常运行。").arg(failure), ui::Buttons::Ok,
                            QMessageBox::Warning);
        },
        Qt::QueuedConnection);
}
