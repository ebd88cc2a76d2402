// The selected connection's data, and what is sent to one connection or all.
#include "ui/server/TestServerPage.h"

#include "core/common/Hex.h"
#include "ui/common/MessageBox.h"
#include "ui/server/TestServerPageInternal.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>

using ui::server_internal::Caption;

namespace {

QString KindText(const server::Packet& p)
{
    switch (p.kind) {
    case server::EventKind::Registration:
        return QCoreApplication::translate("TestServerPage", "注册包");
    case server::EventKind::Heartbeat:
        return QCoreApplication::translate("TestServerPage", "心跳");
    default:
        return QCoreApplication::translate("TestServerPage", "数据");
    }
}

}  // namespace

void TestServerPage::ShowHistory()
{
    data_->clear();
    if (const auto it = connections_.find(SelectedId()); it != connections_.end())
        for (const server::Packet& p : it->second.history)
            AppendPacket(p);
}

void TestServerPage::AppendPacket(const server::Packet& p)
{
    const QString body = dataHex_->isChecked() ? QString::fromStdString(hex::FormatSpaced(p.bytes)).trimmed()
                                               : QString::fromStdString(server::PacketText(p.bytes, encoding()));
    const QString line = tr("%1 %2 %3 %4字节: %5")
                             .arg(QString::fromStdString(server::FormatTime(p.wallMs)), p.sent ? tr("发") : tr("收"),
                                  p.sent ? tr("数据") : KindText(p))
                             .arg(p.bytes.size())
                             .arg(body);
    QScrollBar* bar = data_->verticalScrollBar();
    const bool following = bar->value() == bar->maximum();
    data_->appendPlainText(line);
    if (following)
        bar->setValue(bar->maximum());
}

QString TestServerPage::dataText() const
{
    return data_->toPlainText();
}

std::optional<server::Bytes> TestServerPage::TypedToSend()
{
    auto parsed = server::ParseSendText(send_->text().toStdString(), sendHex_->isChecked(), encoding());
    if (auto* refusal = std::get_if<std::string>(&parsed)) {
        ui::ShowMessage(this, Caption(), QString::fromStdString(*refusal), ui::Buttons::Ok, QMessageBox::Warning);
        return std::nullopt;
    }
    if (std::get<server::Bytes>(parsed).empty())
        return std::nullopt;
    return std::get<server::Bytes>(parsed);
}

void TestServerPage::OnSendSelected()
{
    const std::uint64_t id = SelectedId();
    if (id == 0) {
        ui::ShowMessage(this, Caption(), tr("请先在列表中选择一个连接！"), ui::Buttons::Ok,
                        QMessageBox::Warning);
        return;
    }
    const auto bytes = TypedToSend();
    if (!bytes)
        return;
    server_->Send(id, *bytes);
}

void TestServerPage::OnSendAll()
{
    const auto bytes = TypedToSend();
    if (!bytes)
        return;
    // Told at once when the page knows it; the server says so too should
    // the last DTU have gone meanwhile.
    if (connections_.empty()) {
        ui::ShowMessage(this, Caption(), tr("没有已连接的DTU，未发送。"), ui::Buttons::Ok,
                        QMessageBox::Warning);
        return;
    }
    server_->Send(0, *bytes);
}

void TestServerPage::OnCloseSelected()
{
    const std::uint64_t id = SelectedId();
    if (id == 0)
        return;
    server_->Close(id);
}
