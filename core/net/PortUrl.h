// Ports across the network, named as URLs where a device path would stand:
//   rfc2217://HOST:PORT   Telnet with the COM-PORT-OPTION: the line settings
//                         are negotiated with the server;
//   socket://HOST:PORT    raw TCP: the line settings are the server's.
// HOST is a name, an IPv4 address or an IPv6 address in brackets.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace net {

enum class Scheme { Rfc2217, Socket };

struct PortUrl {
    Scheme scheme = Scheme::Socket;
    std::string host;  // without brackets
    std::uint16_t port = 0;
};

// Anything with a scheme is meant as a URL, and never as a path or a glob.
bool LooksLikeUrl(std::string_view text);

// The URL, or nothing when it is not one of the two forms above.
std::optional<PortUrl> ParsePortUrl(std::string_view text);

}  // namespace net
