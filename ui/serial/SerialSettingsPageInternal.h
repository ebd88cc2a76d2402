// What the serial settings page's files share; for them only.
#pragma once

#include "driver/serial/SerialPort.h"

#include <QLabel>
#include <QLatin1String>
#include <QString>

#include <string>

namespace ui::serial_internal {

// A network port that went away is tried again this often, for as long as
// the page waits for it: no event says that a server is back.
constexpr int kNetRetryMs = 2000;
constexpr int kRecentUrls = 8;
inline const QString kRecentUrlsKey = QStringLiteral("port/recentUrls");

bool IsUrl(const QString& path);
QLatin1String ParityName(unsigned parity);
void Say(QLabel* label, const QString& text);
QString FailureText(SerialError error, int err, const QString& path, bool explained,
                    const std::string& serverSaid = {});

}  // namespace ui::serial_internal
