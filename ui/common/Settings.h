// What the tool remembers between runs: QSettings' file under the user's
// configuration folder (~/.config/dtutool/dtutool.conf). Off until the
// application turns it on, so that tests and screenshot programs that
// build windows read and write no user's file.
#pragma once

#include <QSettings>

#include <memory>

namespace ui {

void RememberSettings(bool on);
// The settings, or nullptr while remembering is off.
std::unique_ptr<QSettings> Remembered();

}  // namespace ui
