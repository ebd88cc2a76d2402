// Where the records of the jobs are kept: an SQLite file by default, a
// PostgreSQL server for a shared bench, or nowhere. A store may be shared
// between threads, and two stores, of one process or two, may write to one
// place at once. Every error is a message that names the store and the
// cause.
#pragma once

#include "core/records/Record.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace records {

class Store {
public:
    virtual ~Store() = default;

    // The path or the URL (its password hidden), as messages name it.
    virtual const std::string& Name() const = 0;

    // Keeps `r` as begun, whatever its result and end: "interrupted", no
    // end. Returns its id.
    virtual std::optional<std::int64_t> Begin(const Record& r, std::string& error) = 0;
    // The unit of a begun record, once it has said who it is.
    virtual bool Identify(std::int64_t id, const std::string& unitId, const std::string& version,
                          std::string& error) = 0;
    // `ended` in the records' form (IsoTime).
    virtual bool Complete(std::int64_t id, std::string_view result, const std::string& detail,
                          const std::string& ended, std::string& error) = 0;
    // Newest first.
    virtual std::optional<std::vector<Record>> Query(const Filter& f, std::string& error) = 0;
};

// What `--records PLACE` (empty when not given) and the environment choose:
// DTUTOOL_RECORDS, else $XDG_DATA_HOME/dtutool/records.sqlite.
std::string ChosenPlace(const std::string& given);

// A path (folders made as needed), "off" or a postgresql:// URL. Null with
// `error` empty when records are off.
std::unique_ptr<Store> OpenStore(const std::string& place, std::string& error);

}  // namespace records
