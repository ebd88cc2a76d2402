// The page's remembered settings: the last port with its line settings, and
// the network ports used last.
#include "ui/serial/SerialSettingsPage.h"
#include "ui/serial/SerialSettingsPageInternal.h"

#include "driver/serial/BufferedPort.h"
#include "ui/common/Settings.h"

#include <QComboBox>
#include <QFileInfo>
#include <QSettings>

using ui::serial_internal::IsUrl;
using ui::serial_internal::kRecentUrls;
using ui::serial_internal::kRecentUrlsKey;

bool SerialSettingsPage::OpenRemembered()
{
    const auto settings = ui::Remembered();
    const QString path = settings ? settings->value(QStringLiteral("port/path")).toString() : QString();
    // A port that has gone since is not tried: its name may be another
    // device's by now.
    Follow();
    if (path.isEmpty() || (!IsUrl(path) && !QFileInfo::exists(path)) || state_ != State::Idle)
        return false;
    const int at = portCombo_->findData(path);
    if (at >= 0)
        portCombo_->setCurrentIndex(at);
    else
        portCombo_->setEditText(path);
    OpenChosen();
    return state_ == State::Open;
}

void SerialSettingsPage::Remember() const
{
    if (const auto settings = ui::Remembered()) {
        settings->setValue(QStringLiteral("port/path"), QString::fromStdString(opened_.stable));
        // What is open, not what the lists show: a reconnect reopens with
        // the settings from before the loss, whatever the lists say since.
        settings->setValue(QStringLiteral("port/baud"), QString::number(g_Serial.BaudRate()));
        settings->setValue(QStringLiteral("port/parity"), g_Serial.Parity());
        if (IsUrl(QString::fromStdString(opened_.stable))) {
            QStringList recent = settings->value(kRecentUrlsKey).toStringList();
            recent.removeAll(QString::fromStdString(opened_.stable));
            recent.prepend(QString::fromStdString(opened_.stable));
            settings->setValue(kRecentUrlsKey, recent.mid(0, kRecentUrls));
        }
    }
}
