// The page's remembered settings: the last port with its line settings, and
// the network ports used last.
#include "ui/serial/SerialSettingsPage.h"
#include "ui/serial/SerialSettingsPageInternal.h"

#include "driver/serial/BufferedPort.h"
#include "ui/common/Settings.h"

#include <QComboBox>
#include <QFileInfo>
#include <QSettings>

using uartparam::IsUrl;
using uartparam::kRecentUrls;
using uartparam::kRecentUrlsKey;

bool SerialSettingsPage::OpenRemembered()
{
    const auto settings = ui::Remembered();
    const QString path = settings ? settings->value(QStringLiteral("port/path")).toString() : QString();
    // A port that has gone since is not tried: its name may be another
    // device's by now.
    if (path.isEmpty() || (!IsUrl(path) && !QFileInfo::exists(path)) || g_Serial.IsOpen())
        return false;
    const int at = portCombo_->findData(path);
    if (at >= 0)
        portCombo_->setCurrentIndex(at);
    else
        portCombo_->setEditText(path);
    OpenChosen();
    return g_Serial.IsOpen();
}

void SerialSettingsPage::Remember() const
{
    if (const auto settings = ui::Remembered()) {
        settings->setValue(QStringLiteral("port/path"), QString::fromStdString(openedStable_));
        // What is open, not what the lists show: a reconnect reopens with
        // the settings from before the loss, whatever the lists say since.
        settings->setValue(QStringLiteral("port/baud"), QString::number(g_Serial.BaudRate()));
        settings->setValue(QStringLiteral("port/parity"), g_Serial.Parity());
        if (IsUrl(QString::fromStdString(openedStable_))) {
            QStringList recent = settings->value(kRecentUrlsKey).toStringList();
            recent.removeAll(QString::fromStdString(openedStable_));
            recent.prepend(QString::fromStdString(openedStable_));
            settings->setValue(kRecentUrlsKey, recent.mid(0, kRecentUrls));
        }
    }
}
