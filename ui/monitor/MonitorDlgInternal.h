// What the line monitor's own source files share; nobody else includes it.
#pragma once

#include <QString>

#include <string>

namespace ui::monitordlg {

inline QString FromStd(const std::string& s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

}  // namespace ui::monitordlg
