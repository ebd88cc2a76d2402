#include "driver/host/Identity.h"

#include <chrono>
#include <climits>
#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace host {

std::string Station()
{
    char name[HOST_NAME_MAX + 1] = {};
    if (::gethostname(name, sizeof name - 1) != 0)
        return {};
    return name;
}

std::string OperatorName()
{
    if (const char* named = std::getenv("DTUTOOL_OPERATOR"); named && *named)
        return named;
    // Under sudo the person is who ran it, not root.
    if (const char* sudo = std::getenv("SUDO_USER"); sudo && *sudo && ::getuid() == 0)
        return sudo;
    // LOGNAME only for an account without an entry, as in a bare container.
    if (const passwd* pw = ::getpwuid(::getuid()))
        return pw->pw_name;
    const char* name = std::getenv("LOGNAME");
    return name ? name : std::to_string(::getuid());
}

std::int64_t WallMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

}  // namespace host
