// What the upgrade page's own source files share; nobody else includes it.
#pragma once

#include <QCoreApplication>
#include <QString>

namespace ui::upgrade_internal {

// A text marked for the page's translation context.
inline QString Text(const char* source)
{
    return QCoreApplication::translate("UpgradePage", source);
}

}  // namespace ui::upgrade_internal
