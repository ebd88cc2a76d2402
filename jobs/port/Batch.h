// Many jobs at once, one thread a port, as dtuctl runs its ports and the
// bench its checked rows: started together, stopped together at their next
// safe point, and their progress and outcomes collected by whoever shows
// them, without ever waiting on a line.
#pragma once

#include "jobs/port/Job.h"

#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace jobs {

class Batch {
public:
    // One job's work, on a thread of its own: `index` of the batch, `stop`
    // set by Stop, `report` for its progress. Must not throw.
    using Work = std::function<Outcome(std::size_t index, std::shared_ptr<const std::atomic<bool>> stop,
                                       const JobReport& report)>;

    Batch(std::size_t jobs, Work work);
    // Stops every job and waits for them: nothing outlives the batch.
    ~Batch();
    Batch(const Batch&) = delete;
    Batch& operator=(const Batch&) = delete;

    // Every job ends at its next safe point.
    void Stop();

    // What changed since the last call: each job's newest progress not yet
    // taken, and the outcomes of those that ended, each once.
    struct Update {
        std::size_t index = 0;
        std::optional<Progress> progress;
        std::optional<Outcome> outcome;
    };
    std::vector<Update> Collect();

    // False once every outcome has been collected.
    bool Running() const;
    // Waits for every job; their outcomes in order. For a caller that has
    // nothing else to do (dtuctl).
    std::vector<Outcome> Wait();

private:
    struct Slot {
        std::optional<Progress> progress;
        std::optional<Outcome> outcome;
        bool collected = false;
    };

    std::shared_ptr<std::atomic<bool>> stop_ = std::make_shared<std::atomic<bool>>(false);
    mutable std::mutex lock_;
    std::vector<Slot> slots_;
    std::vector<std::thread> threads_;
};

}  // namespace jobs
