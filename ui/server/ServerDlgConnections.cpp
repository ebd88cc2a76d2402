// The connections table: the server's events become rows, and the counters
// are redrawn on a timer rather than on every packet.
#include "server/ServerDlg.h"

#include "common/Hex.h"
#include "server/ServerDlgInternal.h"

#include <QTimerEvent>
#include <QTreeWidget>


namespace {

constexpr int kRedrawMs = 250;
constexpr int kIdRole = Qt::UserRole;

QString Seconds(std::int64_t ms)
{
    return ms < 0 ? QStringLiteral("—") : QStringLiteral("%1 s").arg(static_cast<double>(ms) / 1000.0, 0, 'f', 3);
}

}  // namespace

void CServerDlg::OnReady()
{
    server_.Process(server::Now::Current());
    for (const server::Event& e : server_.TakeEvents())
        Handle(e);
}

void CServerDlg::Handle(const server::Event& e)
{
    if (log_.isOpen()) {
        log_.write(server::FormatEvent(e, encoding()).append("\n").c_str());
        log_.flush();
    }
    switch (e.kind) {
    case server::EventKind::Connected: {
        auto* item = new QTreeWidgetItem(table_);
        rows_[e.id] = item;
        item->setData(Id, kIdRole, QVariant::fromValue<qulonglong>(e.id));
        item->setText(Id, QString::number(e.id));
        item->setText(Peer, QString::fromStdString(e.peer));
        item->setText(Since, QString::fromStdString(server::FormatTime(e.wallMs)).left(8));
        UpdateRow(e.id);
        break;
    }
    case server::EventKind::Closed:
        dirty_.erase(e.id);
        delete Row(e.id);
        rows_.erase(e.id);
        break;
    case server::EventKind::Registration:
    case server::EventKind::Heartbeat:
    case server::EventKind::Data:
    case server::EventKind::Sent:
        if (e.id == SelectedId()) {
            server::Packet p{e.wallMs, e.kind == server::EventKind::Sent, e.kind, e.bytes};
            AppendPacket(p);
        }
        // What a person looks for at once is drawn at once; counters wait.
        if (e.kind == server::EventKind::Registration)
            UpdateRow(e.id);
        else
            dirty_.insert(e.id);
        if (!redraw_.isActive())
            redraw_.start(kRedrawMs, this);
        break;
    default:
        break;
    }
}

void CServerDlg::timerEvent(QTimerEvent* e)
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

QTreeWidgetItem* CServerDlg::Row(std::uint64_t id) const
{
    const auto it = rows_.find(id);
    return it == rows_.end() ? nullptr : it->second;
}

void CServerDlg::UpdateRow(std::uint64_t id)
{
    const server::Connection* c = server_.Find(id);
    QTreeWidgetItem* item = Row(id);
    if (!c || !item)
        return;
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
    const QColor colour = c->registrationMatch == server::Match::Equal       ? QColor(0x00, 0x80, 0x00)
                          : c->registrationMatch == server::Match::Different ? QColor(0xB0, 0x00, 0x00)
                                                                             : table_->palette().placeholderText().color();
    item->setForeground(Compared, colour);
    item->setText(Heartbeats, QString::number(c->heartbeats));
    item->setText(Interval, Seconds(c->lastIntervalMs));
}

std::uint64_t CServerDlg::SelectedId() const
{
    const QList<QTreeWidgetItem*> selected = table_->selectedItems();
    return selected.isEmpty() ? 0 : selected.first()->data(Id, kIdRole).toULongLong();
}

void CServerDlg::OnSelection()
{
    ShowHistory();
}

void CServerDlg::OnView()
{
    ShowHistory();
    for (int i = 0; i < table_->topLevelItemCount(); ++i)
        UpdateRow(table_->topLevelItem(i)->data(Id, kIdRole).toULongLong());
}
