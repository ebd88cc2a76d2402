// The checks of a profile's TOML values: each refusal is collected with
// its place in the file, so that one run names every error.
#pragma once

#include <toml++/toml.h>

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace profile {

// The TOML document in `text`, or nothing with its syntax error added to
// `errors` as "file:line:column: what".
std::optional<toml::table> ParseToml(std::string_view text, const std::string& fileName,
                                     std::vector<std::string>& errors);

// "a", "b", "c": the names a value may take, as a refusal lists them.
std::string QuotedList(const std::vector<std::string>& names);

class TomlChecker {
public:
    explicit TomlChecker(std::string file) : file_(std::move(file)) {}

    void Error(const toml::source_region& where, const std::string& message);
    // Every error so far, in the order of the file.
    std::vector<std::string> Sorted();

    // Refuses every key of `table` outside `known`.
    void OnlyKeys(const toml::table& table, const std::string& section, std::initializer_list<std::string_view> known);
    // A value of the kind named, or an error and nothing.
    std::optional<std::string> String(const toml::node& node, const std::string& name);
    std::optional<bool> Bool(const toml::node& node, const std::string& name);
    std::optional<int> Integer(const toml::node& node, const std::string& name, long long low, long long high);
    // The index of a string value in `names`.
    std::optional<int> Choice(const toml::node& node, const std::string& name, const std::vector<std::string>& names);
    std::optional<std::vector<std::string>> Strings(const toml::node& node, const std::string& name);
    // A section given as a table; an error for anything else.
    const toml::table* Section(const toml::node& node, const std::string& name);

private:
    struct Entry {
        std::uint32_t line;
        std::uint32_t column;
        std::string text;
    };
    std::string file_;
    std::vector<Entry> errors_;
};

}  // namespace profile
