// What the test server page's own source files share; nobody else includes it.
#pragma once

#include <QString>

#include <string>

namespace ui::serverdlg {

// The page's caption, also the caption of its messages.
QString Caption();

inline QString FromStd(const std::string& s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

}  // namespace ui::serverdlg
