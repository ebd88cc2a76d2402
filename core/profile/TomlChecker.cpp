#include "core/profile/TomlChecker.h"

#include "core/common/Tr.h"

#include <algorithm>
#include <sstream>
#include <tuple>

namespace profile {

using text::Fill;

std::optional<toml::table> ParseToml(std::string_view text, const std::string& fileName,
                                     std::vector<std::string>& errors)
{
    try {
        return toml::parse(text, fileName);
    } catch (const toml::parse_error& e) {
        std::ostringstream message;
        message << fileName << ":" << e.source().begin.line << ":" << e.source().begin.column << ": "
                << e.description();
        errors.push_back(message.str());
        return std::nullopt;
    }
}

std::string QuotedList(const std::vector<std::string>& names)
{
    std::string out;
    for (const std::string& name : names)
        out += (out.empty() ? "\"" : ", \"") + name + "\"";
    return out;
}

void TomlChecker::Error(const toml::source_region& where, const std::string& message)
{
    std::ostringstream out;
    out << file_ << ":" << where.begin.line << ":" << where.begin.column << ": " << message;
    errors_.push_back({where.begin.line, where.begin.column, out.str()});
}

std::vector<std::string> TomlChecker::Sorted()
{
    std::stable_sort(errors_.begin(), errors_.end(),
                     [](const Entry& a, const Entry& b) { return std::tie(a.line, a.column) < std::tie(b.line, b.column); });
    std::vector<std::string> out;
    for (const Entry& e : errors_)
        out.push_back(e.text);
    return out;
}

void TomlChecker::OnlyKeys(const toml::table& table, const std::string& section, std::initializer_list<std::string_view> known)
{
    for (auto&& [key, node] : table) {
        if (std::find(known.begin(), known.end(), key.str()) == known.end())
            Error(key.source(),
                  section.empty()
                      ? Fill(DTU_TR("profile", "unknown key '%1'"), {std::string(key.str())})
                      : Fill(DTU_TR("profile", "unknown key '%1' in [%2]"), {std::string(key.str()), section}));
    }
}

std::optional<std::string> TomlChecker::String(const toml::node& node, const std::string& name)
{
    if (const auto v = node.value_exact<std::string>())
        return v;
    Error(node.source(), Fill(DTU_TR("profile", "%1 must be a string"), {name}));
    return std::nullopt;
}

std::optional<bool> TomlChecker::Bool(const toml::node& node, const std::string& name)
{
    if (const auto v = node.value_exact<bool>())
        return v;
    Error(node.source(), Fill(DTU_TR("profile", "%1 must be true or false"), {name}));
    return std::nullopt;
}

std::optional<int> TomlChecker::Integer(const toml::node& node, const std::string& name, long long low, long long high)
{
    const auto v = node.value_exact<std::int64_t>();
    if (!v) {
        Error(node.source(), Fill(DTU_TR("profile", "%1 must be a whole number"), {name}));
        return std::nullopt;
    }
    if (*v < low || *v > high) {
        Error(node.source(), Fill(DTU_TR("profile", "%1 = %2 is out of range (%3 to %4)"),
                                  {name, std::to_string(*v), std::to_string(low), std::to_string(high)}));
        return std::nullopt;
    }
    return static_cast<int>(*v);
}

std::optional<int> TomlChecker::Choice(const toml::node& node, const std::string& name, const std::vector<std::string>& names)
{
    const auto text = String(node, name);
    if (!text)
        return std::nullopt;
    const auto it = std::find(names.begin(), names.end(), *text);
    if (it == names.end()) {
        Error(node.source(), Fill(DTU_TR("profile", "%1 = \"%2\" is none of %3"), {name, *text, QuotedList(names)}));
        return std::nullopt;
    }
    return static_cast<int>(it - names.begin());
}

std::optional<std::vector<std::string>> TomlChecker::Strings(const toml::node& node, const std::string& name)
{
    const toml::array* array = node.as_array();
    if (!array) {
        Error(node.source(), Fill(DTU_TR("profile", "%1 must be a list of strings"), {name}));
        return std::nullopt;
    }
    std::vector<std::string> out;
    bool ok = true;
    for (const toml::node& item : *array) {
        const auto text = String(item, name + " entry");
        ok = ok && text.has_value();
        if (text)
            out.push_back(*text);
    }
    return ok ? std::optional(out) : std::nullopt;
}

const toml::table* TomlChecker::Section(const toml::node& node, const std::string& name)
{
    if (const toml::table* table = node.as_table())
        return table;
    Error(node.source(), Fill(DTU_TR("profile", "[%1] must be a table"), {name}));
    return nullptr;
}

}  // namespace profile
