#include "core/records/Place.h"

#include <algorithm>
#include <cctype>

namespace records {

Place ParsePlace(const std::string& text)
{
    std::string lower = text;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    if (lower == "off")
        return {Place::Kind::Off, text};
    if (lower.starts_with("postgresql://") || lower.starts_with("postgres://"))
        return {Place::Kind::Postgres, text};
    return {Place::Kind::File, text};
}

std::string ChoosePlace(const std::string& given, const std::string& env, const std::string& xdgDataHome,
                        const std::string& home)
{
    if (!given.empty())
        return given;
    if (!env.empty())
        return env;
    // A relative XDG_DATA_HOME is to be ignored.
    const std::string data = xdgDataHome.starts_with('/') ? xdgDataHome : home + "/.local/share";
    return data + "/dtutool/records.sqlite";
}

std::string Shown(const std::string& place)
{
    const std::size_t scheme = place.find("://");
    if (scheme == std::string::npos)
        return place;
    const std::size_t at = place.find('@', scheme);
    const std::size_t colon = place.find(':', scheme + 3);
    if (at == std::string::npos || colon == std::string::npos || colon > at)
        return place;
    return place.substr(0, colon + 1) + "***" + place.substr(at);
}

}  // namespace records
