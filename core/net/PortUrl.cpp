#include "core/net/PortUrl.h"

#include <charconv>

namespace net {

bool LooksLikeUrl(std::string_view text)
{
    const auto at = text.find("://");
    return at != std::string_view::npos && at > 0 && text.find('/') == at + 1;
}

std::optional<PortUrl> ParsePortUrl(std::string_view text)
{
    PortUrl url;
    std::string_view rest;
    if (text.starts_with("rfc2217://")) {
        url.scheme = Scheme::Rfc2217;
        rest = text.substr(10);
    } else if (text.starts_with("socket://")) {
        url.scheme = Scheme::Socket;
        rest = text.substr(9);
    } else {
        return std::nullopt;
    }
    if (rest.ends_with('/'))
        rest.remove_suffix(1);

    std::string_view host;
    std::string_view port;
    if (rest.starts_with('[')) {
        const auto close = rest.find(']');
        if (close == std::string_view::npos || close + 1 >= rest.size() || rest[close + 1] != ':')
            return std::nullopt;
        host = rest.substr(1, close - 1);
        port = rest.substr(close + 2);
    } else {
        const auto colon = rest.rfind(':');
        if (colon == std::string_view::npos)
            return std::nullopt;
        host = rest.substr(0, colon);
        port = rest.substr(colon + 1);
        if (host.find(':') != std::string_view::npos)
            return std::nullopt;
    }
    if (host.empty())
        return std::nullopt;
    if (host.find_first_of("/?#@ ") != std::string_view::npos)
        return std::nullopt;
    unsigned value = 0;
    const auto [end, ec] = std::from_chars(port.data(), port.data() + port.size(), value);
    if (port.empty() || ec != std::errc() || end != port.data() + port.size() || value == 0 || value > 65535)
        return std::nullopt;
    url.host = std::string(host);
    url.port = static_cast<std::uint16_t>(value);
    return url;
}

}  // namespace net
