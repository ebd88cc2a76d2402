// Listening, and the registration and heartbeat packets expected of the
// DTUs.
#include "ui/server/TestServerPage.h"

#include "core/common/Hex.h"
#include "ui/common/MessageBox.h"
#include "ui/server/TestServerPageInternal.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>

using ui::server_internal::Caption;

void TestServerPage::OnPropose()
{
    Propose(false);
    OnExpectedChanged();
}

void TestServerPage::Propose(bool onlyEmpty)
{
    if (!proposal_)
        return;
    const Proposal p = proposal_();
    const auto put = [&](QLineEdit* edit, const QString& text) {
        if (!onlyEmpty || edit->text().isEmpty())
            edit->setText(text);
    };
    const auto packet = [&](const std::optional<server::Bytes>& bytes) {
        if (!bytes)
            return QString();
        if (expectedHex_->isChecked())
            return QString::fromStdString(hex::FormatSpaced(*bytes)).trimmed();
        return QString::fromStdString(server::PacketText(*bytes, text::Encoding::Gbk));
    };
    if (!running_)
        put(port_, p.port);
    put(registration_, packet(p.registration));
    put(heartbeat_, packet(p.heartbeat));
}

bool TestServerPage::Expected(QLineEdit* edit, std::optional<server::Bytes>& out, const QString& what)
{
    out.reset();
    const QString typed = edit->text();
    if (typed.trimmed().isEmpty())
        return true;
    auto parsed = server::ParseSendText(typed.toStdString(), expectedHex_->isChecked(), text::Encoding::Gbk);
    if (auto* refusal = std::get_if<std::string>(&parsed)) {
        ui::ShowMessage(this, Caption(), what + tr("：") + QString::fromStdString(*refusal), ui::Buttons::Ok,
                        QMessageBox::Warning);
        return false;
    }
    out = std::get<server::Bytes>(parsed);
    return true;
}

void TestServerPage::OnExpectedChanged()
{
    if (!running_)
        return;
    std::optional<server::Bytes> registration, heartbeat;
    if (Expected(registration_, registration, tr("注册包")) &&
        Expected(heartbeat_, heartbeat, tr("心跳包")))
        server_->SetExpected(registration, heartbeat);
}

void TestServerPage::OnStartStop()
{
    if (running_) {
        server_->Stop();
        return;
    }
    server::Options options;
    options.host = host_->text().trimmed().toStdString();
    const bool portOk = !port_->text().isEmpty() && port_->text().toUInt() <= 65535;
    if (!portOk) {
        ui::ShowMessage(this, Caption(), tr("端口须为 0 到 65535 的数字！"), ui::Buttons::Ok,
                        QMessageBox::Warning);
        return;
    }
    options.port = static_cast<std::uint16_t>(port_->text().toUInt());
    if (!Expected(registration_, options.registration, tr("注册包")) ||
        !Expected(heartbeat_, options.heartbeat, tr("心跳包")))
        return;
    // The page keeps the history itself; the server's copy would double it.
    options.historyBytes = 0;
    starting_ = true;
    server_->Start(std::move(options));
    UpdateState(status_->text());
}

void TestServerPage::UpdateState(const QString& status)
{
    startStop_->setText(running_ ? tr("停止") : tr("启动"));
    startStop_->setEnabled(!starting_);
    host_->setEnabled(!running_ && !starting_);
    port_->setEnabled(!running_ && !starting_);
    status_->setText(status);
}
