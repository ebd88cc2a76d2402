#include "core/production/Plan.h"

#include "core/common/Hex.h"
#include "core/common/Tr.h"
#include "core/dtu/Requests.h"
#include "core/profile/TomlChecker.h"

#include <toml++/toml.h>

#include <algorithm>
#include <cctype>
#include <charconv>

namespace production {

using profile::TomlChecker;
using text::Fill;

namespace {

constexpr std::int64_t kHourMs = 3600 * 1000;

std::optional<std::array<std::uint8_t, 4>> ParseIpv4(std::string_view text)
{
    std::array<std::uint8_t, 4> ip{};
    for (std::size_t i = 0; i < 4; ++i) {
        unsigned value = 0;
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
        const std::size_t used = static_cast<std::size_t>(end - text.data());
        if (ec != std::errc() || used == 0 || used > 3 || value > 255)
            return std::nullopt;
        ip[i] = static_cast<std::uint8_t>(value);
        text.remove_prefix(used);
        if (i < 3) {
            if (text.empty() || text.front() != '.')
                return std::nullopt;
            text.remove_prefix(1);
        }
    }
    return text.empty() ? std::optional(ip) : std::nullopt;
}

std::optional<std::int64_t> Duration(TomlChecker& c, const toml::node& node, const std::string& name)
{
    const auto text = c.String(node, name);
    if (!text)
        return std::nullopt;
    const auto ms = ParseDuration(*text);
    if (!ms || *ms <= 0)
        c.Error(node.source(),
                Fill(DTU_TR("plan", "%1 = \"%2\" is no time from 1ms to 1h (e.g. \"60s\", \"500ms\")"), {name, *text}));
    return ms && *ms > 0 ? ms : std::nullopt;
}

std::optional<std::string> OwnId(TomlChecker& c, const toml::node& node, const std::string& name)
{
    const auto text = c.String(node, name);
    if (!text)
        return std::nullopt;
    std::string compact = hex::RemoveSpaces(*text);
    if (compact.size() != 12 || !std::all_of(compact.begin(), compact.end(), hex::IsHexDigit)) {
        c.Error(node.source(), Fill(DTU_TR("plan", "%1 = \"%2\" must be 12 hex digits"), {name, *text}));
        return std::nullopt;
    }
    std::transform(compact.begin(), compact.end(), compact.begin(), [](unsigned char ch) { return std::toupper(ch); });
    return compact;
}

void ReadSignal(TomlChecker& c, const toml::table& t, Plan& p)
{
    c.OnlyKeys(t, "signal", {"min", "max"});
    Plan::Signal s;
    if (const toml::node* n = t.get("min"))
        s.min = c.Integer(*n, "signal.min", 0, 31).value_or(s.min);
    if (const toml::node* n = t.get("max"))
        s.max = c.Integer(*n, "signal.max", 0, 31).value_or(s.max);
    if (s.min > s.max)
        c.Error(t.source(), Fill(DTU_TR("plan", "signal.min %1 is above signal.max %2"),
                                 {std::to_string(s.min), std::to_string(s.max)}));
    p.signal = s;
}

void ReadServer(TomlChecker& c, const toml::table& t, const toml::node& section, Plan& p)
{
    c.OnlyKeys(t, "server", {"listen", "address", "register_within", "heartbeat_within", "restart"});
    Plan::Server& s = p.server;
    if (const toml::node* n = t.get("listen")) {
        if (const auto text = c.String(*n, "server.listen")) {
            const std::size_t colon = text->rfind(':');
            unsigned port = 0;
            const std::string host = colon == std::string::npos ? "" : text->substr(0, colon);
            const char* first = text->data() + (colon == std::string::npos ? 0 : colon + 1);
            const char* last = text->data() + text->size();
            const auto [end, ec] = std::from_chars(first, last, port);
            if (!ParseIpv4(host) || ec != std::errc() || end != last || port > 65535)
                c.Error(n->source(), Fill(DTU_TR("plan", "server.listen = \"%1\" is no IPv4 address and port "
                                                         "(e.g. \"0.0.0.0:5020\")"),
                                          {*text}));
            else {
                s.listenHost = host;
                s.listenPort = static_cast<std::uint16_t>(port);
            }
        }
    } else {
        c.Error(section.source(), DTU_TR("plan", "[server] needs listen, e.g. listen = \"0.0.0.0:5020\""));
    }
    if (const toml::node* n = t.get("address")) {
        if (const auto text = c.String(*n, "server.address")) {
            s.ip = ParseIpv4(*text);
            const dtu::Built built = dtu::BuildSetDomain(*text);
            if (!s.ip && !built.ok())
                c.Error(n->source(), "server.address: " + std::string(text::Translate("dtu::msg", built.message.c_str())));
            else
                s.address = *text;
        }
    } else if (!s.listenHost.empty()) {
        s.ip = ParseIpv4(s.listenHost);
        s.address = s.listenHost;
        if (s.listenHost == "0.0.0.0")
            c.Error(section.source(), DTU_TR("plan", "[server] listens on every address: give address, the one "
                                                     "the DTU is to dial"));
    }
    if (const toml::node* n = t.get("register_within"))
        s.registerWithinMs = Duration(c, *n, "server.register_within").value_or(s.registerWithinMs);
    if (const toml::node* n = t.get("heartbeat_within"))
        s.heartbeatWithinMs = Duration(c, *n, "server.heartbeat_within");
    if (const toml::node* n = t.get("restart"))
        s.restart = c.Bool(*n, "server.restart").value_or(false);
}

void ReadEcho(TomlChecker& c, const toml::table& t, Plan& p)
{
    c.OnlyKeys(t, "echo", {"bytes", "within"});
    Plan::Echo e;
    if (const toml::node* n = t.get("bytes"))
        e.bytes = static_cast<std::size_t>(
            c.Integer(*n, "echo.bytes", 1, static_cast<long long>(kMaxEchoBytes)).value_or(static_cast<int>(e.bytes)));
    if (const toml::node* n = t.get("within"))
        e.withinMs = Duration(c, *n, "echo.within").value_or(e.withinMs);
    p.echo = e;
}

void ReadOwnIds(TomlChecker& c, const toml::table& t, const toml::node& section, Plan& p)
{
    c.OnlyKeys(t, "own_id", {"first", "last"});
    const toml::node* first = t.get("first");
    const toml::node* last = t.get("last");
    if (!first || !last) {
        c.Error(section.source(), DTU_TR("plan", "[own_id] needs first and last, 12 hex digits each"));
        return;
    }
    const auto a = OwnId(c, *first, "own_id.first");
    const auto b = OwnId(c, *last, "own_id.last");
    if (!a || !b)
        return;
    if (*a > *b) {
        c.Error(last->source(), Fill(DTU_TR("plan", "own_id.last %1 comes before own_id.first %2"), {*b, *a}));
        return;
    }
    p.ownIds = Plan::OwnIds{*a, *b};
}

void ReadFinal(TomlChecker& c, const toml::table& t, Plan& p)
{
    c.OnlyKeys(t, "final", {"profile", "image"});
    if (const toml::node* n = t.get("profile"))
        p.finalProfile = c.String(*n, "final.profile").value_or("");
    if (const toml::node* n = t.get("image")) {
        p.finalImage = c.String(*n, "final.image").value_or("");
        // Which units already run it is told by their version alone.
        if (p.version.empty())
            c.Error(n->source(), DTU_TR("plan", "final.image needs version, the glob of the version the image "
                                                "gives: units whose version matches it are not upgraded again"));
    }
}

}  // namespace

ParsedPlan ParsePlan(std::string_view text, const std::string& fileName)
{
    ParsedPlan out;
    const std::optional<toml::table> parsed = profile::ParseToml(text, fileName, out.errors);
    if (!parsed)
        return out;
    const toml::table& root = *parsed;
    TomlChecker c(fileName);
    c.OnlyKeys(root, "", {"name", "version", "signal", "server", "echo", "own_id", "final"});
    Plan& p = out.plan;
    if (const toml::node* n = root.get("name"))
        p.name = c.String(*n, "name").value_or("");
    if (const toml::node* n = root.get("version"))
        p.version = c.String(*n, "version").value_or("");
    const auto section = [&](const char* name, auto read) {
        if (const toml::node* node = root.get(name))
            if (const toml::table* table = c.Section(*node, name))
                read(*table, *node);
    };
    section("signal", [&](const toml::table& t, const toml::node&) { ReadSignal(c, t, p); });
    if (!root.get("server"))
        c.Error(root.source(), DTU_TR("plan", "the plan needs [server]: where this station listens for the units"));
    section("server", [&](const toml::table& t, const toml::node& n) { ReadServer(c, t, n, p); });
    section("echo", [&](const toml::table& t, const toml::node&) { ReadEcho(c, t, p); });
    section("own_id", [&](const toml::table& t, const toml::node& n) { ReadOwnIds(c, t, n, p); });
    section("final", [&](const toml::table& t, const toml::node&) { ReadFinal(c, t, p); });
    out.errors = c.Sorted();
    return out;
}

std::optional<std::int64_t> ParseDuration(std::string_view text)
{
    std::int64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end == text.data() || value < 0)
        return std::nullopt;
    const std::string_view unit = text.substr(static_cast<std::size_t>(end - text.data()));
    std::int64_t scale = 0;
    if (unit == "ms")
        scale = 1;
    else if (unit == "s")
        scale = 1000;
    else if (unit == "min")
        scale = 60000;
    if (scale == 0 || value > kHourMs / scale)
        return std::nullopt;
    return value * scale;
}

std::string DurationText(std::int64_t ms)
{
    if (ms % 1000 != 0)
        return ms < 1000 || ms % 100 != 0 ? std::to_string(ms) + " ms"
                                          : std::to_string(ms / 1000) + "." + std::to_string(ms % 1000 / 100) + " s";
    return std::to_string(ms / 1000) + " s";
}

bool GlobMatch(std::string_view pattern, std::string_view text)
{
    // Iterative with one backtrack point: linear enough for versions.
    std::size_t p = 0, t = 0, star = std::string_view::npos, mark = 0;
    const auto one = [&](std::size_t& at, char ch) {
        if (pattern[at] == '?') {
            ++at;
            return true;
        }
        if (pattern[at] == '[') {
            const std::size_t close = pattern.find(']', at + 2);
            if (close != std::string_view::npos) {
                std::size_t i = at + 1;
                const bool negate = pattern[i] == '!' || pattern[i] == '^';
                i += negate ? 1 : 0;
                bool found = false;
                for (; i < close; ++i) {
                    if (i + 2 < close && pattern[i + 1] == '-') {
                        found = found || (ch >= pattern[i] && ch <= pattern[i + 2]);
                        i += 2;
                    } else {
                        found = found || ch == pattern[i];
                    }
                }
                if (found == negate)
                    return false;
                at = close + 1;
                return true;
            }
        }
        if (pattern[at] != ch)
            return false;
        ++at;
        return true;
    };
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            mark = t;
            continue;
        }
        std::size_t next = p;
        if (p < pattern.size() && one(next, text[t])) {
            p = next;
            ++t;
            continue;
        }
        if (star == std::string_view::npos)
            return false;
        p = star + 1;
        t = ++mark;
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

}  // namespace production
