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

std::vector<std::pair<std::size_t, std::size_t>> PasswordSpans(const std::string& place)
{
    std::vector<std::pair<std::size_t, std::size_t>> spans;
    const std::size_t scheme = place.find("://");
    if (scheme == std::string::npos)
        return spans;
    // The user's part is up to the last '@' before the path: a password may
    // hold an '@' that was not escaped.
    const std::size_t path = place.find_first_of("/?", scheme + 3);
    const std::size_t at = place.rfind('@', path);
    const std::size_t colon = place.find(':', scheme + 3);
    if (at != std::string::npos && at > scheme && colon < at)
        spans.emplace_back(colon + 1, at - colon - 1);
    if (path == std::string::npos)
        return spans;
    for (std::size_t key = place.find("password=", path); key != std::string::npos;
         key = place.find("password=", key + 1)) {
        if (place[key - 1] != '?' && place[key - 1] != '&')
            continue;
        const std::size_t value = key + 9;
        spans.emplace_back(value, std::min(place.find('&', value), place.size()) - value);
    }
    return spans;
}

std::string Shown(const std::string& place)
{
    std::string shown = place;
    const auto spans = PasswordSpans(place);
    for (auto span = spans.rbegin(); span != spans.rend(); ++span)
        shown.replace(span->first, span->second, "***");
    return shown;
}

}  // namespace records
