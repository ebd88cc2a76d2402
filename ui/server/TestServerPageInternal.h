// What the test server page's own source files share; nobody else includes it.
#pragma once

#include <QString>

namespace ui::server_internal {

// The page's caption, also the caption of its messages.
QString Caption();

}  // namespace ui::server_internal
