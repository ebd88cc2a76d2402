// The connections table: the server's events become rows, and the counters
// are redrawn on a timer rather than on every packet.
#include "ui/server/TestServerPage.h"

#include "core/common/Hex.h"
#include "ui/common/MessageBox.h"
#include "ui/common/Widgets.h"
#include "ui/server/TestServerPageInternal.h"

#include <algorithm>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTimerEvent>
#include <QTreeWidget>

using ui::server_internal::Caption;

namespace {

constexpr int kRedrawMs = 250;
constexpr int kIdRole = Qt::UserRole;

QString Seconds(std::int64_t ms)
{
    return ms < 0 ? QStringLiteral("—") : QStringLiteral("%1 s").arg(static_cast<double>(ms) / 1000.0, 0, 'f', 3);
}

}  // namespace

void TestServerPage::OnNews()
{
    server::News news = server_->Take();
    running_ = news.running;
    boundPort_ = news.port;
    Apply(std::move(news));
}

void TestServerPage::Watch(server::News news)
{
    // One server at a time in the table: the page's own goes first.
    if (running_ || starting_)
        return;
    for (const server::Event& e : news.events) {
        if (e.kind == server::EventKind::Listening) {
            table_->clear();
            rows_.clear();
            connections_.clear();
            dirty_.clear();
            data_->clear();
        }
    }
    const bool stopped = std::any_of(news.events.begin(), news.events.end(),
                                     [](const server::Event& e) { return e.kind == server::EventKind::Stopped; });
    const std::uint16_t port = news.port;
    news.startFailed.reset();
    news.notSent.clear();
    Apply(std::move(news));
    UpdateState(stopped ? tr("批量测试已结束") : tr("批量测试的服务器正在监听端口 %1").arg(port));
}

void TestServerPage::Apply(server::News news)
{
    std::set<std::uint64_t> urgent;
    for (const server::Event& e : news.events)
        Handle(e, urgent);
    // The counters come apart from the events; the history stays the page's.
    for (auto& [id, row] : news.rows) {
        const auto it = connections_.find(id);
        if (it == connections_.end())
            continue;  // closed since
        row.history = std::move(it->second.history);
        row.historyBytes = it->second.historyBytes;
        it->second = std::move(row);
        if (!urgent.contains(id))
            dirty_.insert(id);
    }
    for (const std::uint64_t id : urgent)
        UpdateRow(id);
    if (!dirty_.empty() && !redraw_.isActive())
        redraw_.start(kRedrawMs, this);
    if (news.startFailed && !running_) {
        starting_ = false;
        UpdateState(tr("无法监听"));
        ui::ShowMessage(this, Caption(), tr("无法启动服务器：%1").arg(QString::fromStdString(*news.startFailed)),
                        ui::Buttons::Ok, QMessageBox::Warning);
    }
    for (const std::string& why : news.notSent)
        ui::ShowMessage(this, Caption(), tr("未发送：%1").arg(QString::fromStdString(why)), ui::Buttons::Ok,
                        QMessageBox::Warning);
}

void TestServerPage::Handle(const server::Event& e, std::set<std::uint64_t>& urgent)
{
    Log(e);
    switch (e.kind) {
    case server::EventKind::Listening:
        // A new server: the rows of the one before are gone with it.
        starting_ = false;
        table_->clear();
        rows_.clear();
        connections_.clear();
        dirty_.clear();
        data_->clear();
        UpdateState(tr("正在监听 %1:%2（TCP，无认证）").arg(host_->text().trimmed()).arg(boundPort_));
        break;
    case server::EventKind::Stopped:
        UpdateState(tr("已停止"));
        break;
    case server::EventKind::Connected: {
        server::Connection& c = connections_[e.id];
        c.id = e.id;
        c.peer = e.peer;
        c.connectedWallMs = c.lastActivityWallMs = e.wallMs;
        auto* item = new QTreeWidgetItem(table_);
        rows_[e.id] = item;
        item->setData(Id, kIdRole, QVariant::fromValue<qulonglong>(e.id));
        item->setText(Id, QString::number(e.id));
        item->setText(Peer, QString::fromStdString(e.peer));
        item->setText(Since, QString::fromStdString(server::FormatTime(e.wallMs)).left(8));
        urgent.insert(e.id);
        break;
    }
    case server::EventKind::Closed:
        dirty_.erase(e.id);
        urgent.erase(e.id);
        delete Row(e.id);
        rows_.erase(e.id);
        connections_.erase(e.id);
        break;
    case server::EventKind::Registration:
    case server::EventKind::Heartbeat:
    case server::EventKind::Data:
    case server::EventKind::Sent: {
        const auto it = connections_.find(e.id);
        if (it == connections_.end())
            break;
        const server::Packet p{e.wallMs, e.kind == server::EventKind::Sent, e.kind, e.bytes};
        server::Remember(it->second, p, server::Options{}.historyBytes);
        if (e.id == SelectedId())
            AppendPacket(p);
        // What a person looks for at once is drawn at once; counters wait.
        if (e.kind == server::EventKind::Registration)
            urgent.insert(e.id);
        break;
    }
    default:
        break;
    }
}

void TestServerPage::timerEvent(QTimerEvent* e)
{
    if (e->timerId() != redraw_.timerId()) {
        QDialog::timerEvent(e);
        return;
    }
    redraw_.stop();
    for (const std::uint64_t id : dirty_)
        UpdateRow(id);
    dirty_.clear();
}

QTreeWidgetItem* TestServerPage::Row(std::uint64_t id) const
{
    const auto it = rows_.find(id);
    return it == rows_.end() ? nullptr : it->second;
}

void TestServerPage::UpdateRow(std::uint64_t id)
{
    const auto found = connections_.find(id);
    QTreeWidgetItem* item = Row(id);
    if (found == connections_.end() || !item)
        return;
    const server::Connection* c = &found->second;
    item->setText(BytesIn, QString::number(c->bytesIn));
    item->setText(BytesOut, QString::number(c->bytesOut));
    item->setText(LastActivity, QString::fromStdString(server::FormatTime(c->lastActivityWallMs)).left(8));
    if (c->registration) {
        item->setText(Registration, QString::fromStdString(server::PacketText(*c->registration, encoding())));
        item->setToolTip(Registration, QString::fromStdString(hex::FormatSpaced(*c->registration)));
    }
    // "—": nothing was expected to compare with.
    const QString compared[] = {QStringLiteral("—"), tr("一致"), tr("不一致")};
    item->setText(Compared, c->registration ? compared[static_cast<int>(c->registrationMatch)]
                                            : tr("未收到"));
    const QColor colour = c->registrationMatch == server::Match::Equal       ? ui::GoodColour(table_->palette())
                          : c->registrationMatch == server::Match::Different ? ui::AlarmColour(table_->palette())
                                                                             : table_->palette().placeholderText().color();
    item->setForeground(Compared, colour);
    item->setText(Heartbeats, QString::number(c->heartbeats));
    item->setText(Interval, Seconds(c->lastIntervalMs));
}

std::uint64_t TestServerPage::SelectedId() const
{
    const QList<QTreeWidgetItem*> selected = table_->selectedItems();
    return selected.isEmpty() ? 0 : selected.first()->data(Id, kIdRole).toULongLong();
}

void TestServerPage::OnSelection()
{
    ShowHistory();
}

void TestServerPage::OnView()
{
    ShowHistory();
    for (int i = 0; i < table_->topLevelItemCount(); ++i)
        UpdateRow(table_->topLevelItem(i)->data(Id, kIdRole).toULongLong());
}
