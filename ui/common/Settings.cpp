#include "ui/common/Settings.h"

#include <atomic>

namespace ui {

namespace {

std::atomic<bool> g_remember{false};

}  // namespace

void RememberSettings(bool on)
{
    g_remember = on;
}

std::unique_ptr<QSettings> Remembered()
{
    return g_remember ? std::make_unique<QSettings>() : nullptr;
}

}  // namespace ui
