#include "jobs/port/Batch.h"

namespace jobs {

Batch::Batch(std::size_t jobs, Work work) : slots_(jobs)
{
    threads_.reserve(jobs);
    // The slots are all made before the first thread runs: none moves.
    for (std::size_t i = 0; i < jobs; ++i)
        threads_.emplace_back([this, i, work] {
            Outcome outcome = work(i, stop_, [this, i](const Progress& p) {
                std::lock_guard hold(lock_);
                slots_[i].progress = p;
            });
            std::lock_guard hold(lock_);
            slots_[i].outcome = std::move(outcome);
        });
}

Batch::~Batch()
{
    Stop();
    for (std::thread& t : threads_)
        t.join();
}

void Batch::Stop()
{
    stop_->store(true);
}

std::vector<Batch::Update> Batch::Collect()
{
    std::vector<Update> updates;
    std::lock_guard hold(lock_);
    for (std::size_t i = 0; i < slots_.size(); ++i) {
        Slot& s = slots_[i];
        if (s.collected || (!s.progress && !s.outcome))
            continue;
        Update u;
        u.index = i;
        u.progress.swap(s.progress);
        if (s.outcome) {
            u.outcome = std::move(s.outcome);
            s.outcome.reset();
            s.collected = true;
        }
        updates.push_back(std::move(u));
    }
    return updates;
}

bool Batch::Running() const
{
    std::lock_guard hold(lock_);
    for (const Slot& s : slots_)
        if (!s.collected)
            return true;
    return false;
}

std::vector<Outcome> Batch::Wait()
{
    for (std::thread& t : threads_)
        t.join();
    threads_.clear();
    std::vector<Outcome> outcomes;
    std::lock_guard hold(lock_);
    for (Slot& s : slots_) {
        outcomes.push_back(s.outcome ? std::move(*s.outcome) : Outcome{});
        s.outcome.reset();
        s.collected = true;
    }
    return outcomes;
}

}  // namespace jobs
