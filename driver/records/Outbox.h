// The ends of records that could not reach their store, kept on this station
// until the store answers again: a database away for a minute loses no
// job's end. One small file a user, shared by every program and thread of
// theirs; each entry names its store, so that one outbox serves them all.
#pragma once

#include "driver/records/Store.h"

#include <cstdint>
#include <string>
#include <vector>

namespace records {

struct Pending {
    std::string store;  // the store's Name()
    std::int64_t id = 0;
    std::string result, detail, ended;
    // The unit as it was last heard, given with the end; empty: unchanged.
    std::string unitId, version;
    // A test's, kept with its end.
    std::vector<Measurement> measurements;

    bool operator==(const Pending&) const = default;
};

class Outbox {
public:
    explicit Outbox(std::string path);

    const std::string& Path() const { return path_; }

    // Kept on the disk before it returns; false with `error` when it cannot be.
    bool Add(const Pending& p, std::string& error) const;
    // Completes in `store` what waits for it, oldest first; what it refused,
    // and what waits for other stores, stays. The number that still wait
    // for `store`.
    std::size_t Deliver(Store& store) const;
    std::size_t Waiting(const std::string& storeName) const;
    std::vector<Pending> All() const;

private:
    std::string path_;
};

// $XDG_DATA_HOME/dtutool/outbox.jsonl, else under ~/.local/share.
std::string OutboxPath();

}  // namespace records
