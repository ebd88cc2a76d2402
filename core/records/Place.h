// Where the records are kept, as --records and DTUTOOL_RECORDS name it: a
// file path (SQLite), "off", or a postgresql:// URL.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace records {

struct Place {
    enum class Kind { Off, File, Postgres };
    Kind kind = Kind::File;
    std::string where;  // the path or the URL
};
Place ParsePlace(const std::string& text);
// --records first, then DTUTOOL_RECORDS, then $XDG_DATA_HOME (when
// absolute), then ~/.local/share.
std::string ChoosePlace(const std::string& given, const std::string& env, const std::string& xdgDataHome,
                        const std::string& home);
// Where a URL holds a password, as it is written: after the user name, and
// as a password= parameter. {first, length} each, in order.
std::vector<std::pair<std::size_t, std::size_t>> PasswordSpans(const std::string& place);
// The place as messages show it: a URL's passwords hidden.
std::string Shown(const std::string& place);

}  // namespace records
