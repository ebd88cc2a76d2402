// What the bench page's two files share.
#pragma once

#include "core/net/PortUrl.h"

#include <QString>

#include <string>

namespace ui::bench_internal {

inline QString Q(const std::string& s)
{
    return QString::fromStdString(s);
}

inline bool IsUrl(const QString& port)
{
    return net::LooksLikeUrl(port.toStdString());
}

}  // namespace ui::bench_internal
