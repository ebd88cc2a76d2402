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
    // `ended` in the records' form (IsoTime). A test's measurements are
    // kept with its end, all or none; an end given again adds none twice.
    virtual bool Complete(std::int64_t id, std::string_view result, const std::string& detail,
                          const std::string& ended, const std::vector<Measurement>& measurements,
                          std::string& error) = 0;
    bool Complete(std::int64_t id, std::string_view result, const std::string& detail, const std::string& ended,
                  std::string& error)
    {
        return Complete(id, result, detail, ended, {}, error);
    }
    // Newest first; with their measurements when `f` asks.
    virtual std::optional<std::vector<Record>> Query(const Filter& f, std::string& error) = 0;

    // The yield of the tests `f` selects (their action is "test" whatever
    // `f` says; every one, its limit and paging aside), counted by day or
    // hour.
    virtual std::optional<Summary> Summarize(const Filter& f, By by, std::string& error) = 0;

    // The own ID a unit is to have from the range [first, last], 12 hex
    // digits: `current` when it lies in the range (marked as taken), else
    // the lowest one of the range that no one has taken, taken now. No two
    // calls, of any stores on one place, hand out the same one. Nothing,
    // with `error`, for a range used up or not a range.
    virtual std::optional<std::string> TakeOwnId(const std::string& first, const std::string& last,
                                                 const std::string& current, std::string& error) = 0;
};

// What `--records PLACE` (empty when not given) and the environment choose:
// DTUTOOL_RECORDS, else $XDG_DATA_HOME/dtutool/records.sqlite.
std::string ChosenPlace(const std::string& given);

// A path (folders made as needed), "off" or a postgresql:// URL. Null with
// `error` empty when records are off.
std::unique_ptr<Store> OpenStore(const std::string& place, std::string& error);

}  // namespace records
