// The page's port list: the devices there are, as sysfs and their holders
// describe them, and the network ports used last; kept up to date as
// adapters come and go while the port is closed.
#include "ui/serial/SerialSettingsPage.h"
#include "ui/serial/SerialSettingsPageInternal.h"

#include "driver/serial/BufferedPort.h"
#include "driver/serial/PortHolder.h"
#include "driver/serial/PortList.h"
#include "ui/common/Language.h"
#include "ui/common/Settings.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>

using ui::serial_internal::IsUrl;
using ui::serial_internal::kRecentUrlsKey;

void SerialSettingsPage::OnRefresh()
{
    portCombo_->clear();
    portCombo_->clearEditText();
    FillPorts();
    if (portCombo_->count() > 0)
        portCombo_->setCurrentIndex(0);
    // A long label shows from its start, where the path is.
    portCombo_->lineEdit()->setCursorPosition(0);
    ShowSetup();
}

void SerialSettingsPage::FillPorts()
{
    const QStringList paths = ports_ ? ports_() : QStringList();
    std::vector<std::string> nodes;
    for (const QString& path : paths)
        nodes.push_back(path.toStdString());
    // Sysfs, /proc/locks and the lock folder only, all in memory: quick
    // enough for this thread.
    const std::vector<std::optional<serial::Holder>> holders = serial::FindHolders(nodes, roots_);
    // Each port as a person knows it; after a USB adapter its by-id name,
    // the one that stays the same after a replug.
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        const QString& path = paths[static_cast<qsizetype>(i)];
        if (IsUrl(path)) {
            portCombo_->addItem(path, path);
            continue;
        }
        const serial::PortInfo info = serial::DescribePort(nodes[i], roots_);
        portCombo_->addItem(
            QString::fromStdString(serial::PortEntry(info, holders[i], names_.value(path).toStdString())), path);
        if (!info.byId.empty() && info.byId != info.path)
            portCombo_->addItem(QString::fromStdString(info.byId + serial::HolderMark(holders[i])),
                                QString::fromStdString(info.byId));
    }
    // The network ports used last, after the devices there are.
    if (const auto settings = ui::Remembered())
        for (const QString& url : settings->value(kRecentUrlsKey).toStringList())
            if (IsUrl(url) && portCombo_->findData(url) < 0)
                portCombo_->addItem(url, url);
    // The by-id names are long: the list opens as wide as they are.
    portCombo_->view()->setMinimumWidth(portCombo_->view()->sizeHintForColumn(0) + 24);
}

void SerialSettingsPage::OnDevicesChanged()
{
    Follow();
    switch (state_) {
    case State::Awaiting:
    case State::Retrying:
        // A server's return raises no event here: its retries keep time.
        if (!IsUrl(QString::fromStdString(awaited_.name)))
            TryReconnect();
        return;
    case State::Reconnecting:
        return;
    case State::Open:
        // While the port is open the list stays as it was opened from.
        opened_.listStale = true;
        return;
    case State::Idle:
    case State::Connecting:
        RebuildList();
        return;
    }
}

void SerialSettingsPage::RebuildList()
{
    opened_.listStale = false;
    // Rebuilt without losing what the user chose or typed.
    const int index = portCombo_->currentIndex();
    const bool typed = index < 0 || portCombo_->currentText() != portCombo_->itemText(index);
    const QString text = portCombo_->currentText();
    const QVariant chosen = index >= 0 ? portCombo_->itemData(index) : QVariant();
    portCombo_->clear();
    FillPorts();
    const int again = chosen.isValid() ? portCombo_->findData(chosen) : -1;
    portCombo_->setCurrentIndex(again >= 0 ? again : (portCombo_->count() > 0 && text.isEmpty() ? 0 : -1));
    if (typed || (again < 0 && !text.isEmpty()))
        portCombo_->setEditText(text);
    portCombo_->lineEdit()->setCursorPosition(0);
    ShowSetup();
}

QString SerialSettingsPage::ChosenPath() const
{
    const int index = portCombo_->currentIndex();
    if (index >= 0 && portCombo_->currentText() == portCombo_->itemText(index))
        return portCombo_->itemData(index).toString();
    // A label typed or pasted back: its path is what comes before its
    // description or its holder.
    QString text = portCombo_->currentText().trimmed();
    for (const QString& after : {QStringLiteral(" - "), ui::CoreText("serial", serial::kHeldBy)}) {
        const int at = text.indexOf(after);
        if (at > 0)
            text = text.left(at).trimmed();
    }
    return text;
}
