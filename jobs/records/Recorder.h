// The records of one run's jobs, one per unit: begun as interrupted before
// anything is sent, given the unit once it has said who it is, and completed
// when its job ends, so a job cut short by a kill or a power cut is still
// there.
#pragma once

#include "core/common/Tr.h"
#include "core/records/Record.h"
#include "driver/records/Outbox.h"
#include "driver/records/Store.h"
#include "jobs/port/Upgrade.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

namespace jobs {

// What every record of a run shares: where, who, which program and files.
// The profile is named, and its digest taken, never its contents: it holds
// the APN password. Nothing, with `error`, when the profile cannot be read.
std::optional<records::Record> RunBasis(std::string_view program, const std::string& profilePath,
                                        const Image* image, std::string& error);

inline constexpr const char* kOwnIdsNeedRecords = DTU_TR_NOOP("jobs::msg", "an own-ID range needs a records store");

// How the end of a record was kept.
enum class Kept {
    Stored,   // in the store
    Waiting,  // in the station's outbox, for the store to answer again
    Lost,     // nowhere: the job's end is not on record
};

class Recorder {
public:
    Recorder() = default;  // records nothing
    // The ends the store cannot take wait in `outbox`.
    Recorder(std::shared_ptr<records::Store> store, records::Record basis,
             std::string outbox = records::OutboxPath());

    bool On() const { return store_ != nullptr; }

    // The id to complete later: 0 when records are off; nothing, with
    // `error`, when the store refused. A store that answers is first given
    // the ends that waited for it. `begun`, when given, gets the record as
    // it was begun. `label`: the unit's printed serial number, when known.
    std::optional<std::int64_t> Begin(const std::string& port, std::string_view action, const std::string& unitId,
                                      const std::string& version, std::string& error,
                                      records::Record* begun = nullptr, const std::string& label = {}) const;
    // The unit of a record begun before it answered.
    bool Identify(std::int64_t id, const std::string& unitId, const std::string& version, std::string& error) const;
    // `unitId` and `version`, when not empty, name the unit as it is at the
    // end (after an upgrade, its new version). `error` holds the store's
    // words whenever the end did not reach it.
    // `ended`, when given, gets the time it was completed at.
    Kept Complete(std::int64_t id, std::string_view result, const std::string& detail, std::string& error,
                  const std::string& unitId = {}, const std::string& version = {}, std::string* ended = nullptr) const;
    // A test's end, its measurements kept with it (in the outbox too).
    Kept Complete(std::int64_t id, std::string_view result, const std::string& detail,
                  const std::vector<records::Measurement>& measurements, std::string& error,
                  const std::string& unitId = {}, const std::string& version = {}, std::string* ended = nullptr) const;

    // The own ID a unit is to have from [first, last] (Store::TakeOwnId).
    // With records off, nothing: the store is what keeps two stations from
    // handing out one ID.
    std::optional<std::string> TakeOwnId(const std::string& first, const std::string& last,
                                         const std::string& current, std::string& error) const;

private:
    std::shared_ptr<records::Store> store_;
    records::Record basis_;
    records::Outbox outbox_{""};
};

// A store opened on a thread of its own, which then does what is posted to
// it, so that a window never waits for a disk sync or a database server
// that does not answer: jobs wait for it on theirs.
class OpeningStore {
public:
    explicit OpeningStore(std::string place);
    // Does what was posted first.
    ~OpeningStore();
    OpeningStore(const OpeningStore&) = delete;
    OpeningStore& operator=(const OpeningStore&) = delete;

    // The store (null when records are off), or nothing with `error` once
    // the open failed. Waits while it is still being opened.
    std::optional<std::shared_ptr<records::Store>> Wait(std::string& error);
    // False while the open goes on after `patience`.
    bool Done(std::chrono::milliseconds patience = {}) const;

    // Runs `task` on the store's thread once the open has ended, after what
    // was posted before: with the store (null when records are off), or with
    // the open's error.
    using Task = std::function<void(const std::shared_ptr<records::Store>& store, const std::string& error)>;
    void Post(Task task);

private:
    void Serve(std::string place);

    mutable std::mutex lock_;
    mutable std::condition_variable done_;
    bool finished_ = false;
    std::shared_ptr<records::Store> store_;
    std::string error_;
    std::deque<Task> tasks_;
    bool closing_ = false;
    std::condition_variable posted_;
    std::thread opener_;
};

}  // namespace jobs
