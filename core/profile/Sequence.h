// A whole-DTU read or write as a chain of requests, each sent when the one
// before it was answered or given up on. Driven by values: the caller sends
// the current step's frame, hands in every answer and says when a step
// waited too long, so the window can run it on its own event loop and a
// test can run it on bytes.
#pragma once

#include "core/dtu/Responses.h"
#include "core/profile/Provision.h"
#include "core/profile/Settings.h"

#include <cstddef>
#include <string>
#include <vector>

namespace profile {

struct Step {
    std::string what;  // the request's name, for progress and for a missing answer
    dtu::Bytes frame;
    std::uint8_t code = 0;  // the command code its answer carries
};

// Every read request of `queries`, in the order dtuctl sends them.
std::vector<Step> ReadSteps(unsigned queries);
// The writes of a complete profile, then the reads that check them.
std::vector<Step> WriteSteps(const std::vector<PlannedWrite>& writes, unsigned verifyQueries);

class Sequence {
public:
    explicit Sequence(std::vector<Step> steps) : steps_(std::move(steps)) {}

    // The step whose answer is awaited, or nullptr once all are done.
    const Step* Current() const { return next_ < steps_.size() ? &steps_[next_] : nullptr; }
    bool Done() const { return Current() == nullptr; }
    // Steps answered or given up on, and all of them.
    std::size_t Finished() const { return next_; }
    std::size_t Total() const { return steps_.size(); }

    // True when `answer` answers the current step, which is then finished;
    // an answer with another code (a single request of the page's, a late
    // answer) is not this sequence's. Read answers are decoded into Read().
    bool OnAnswer(const dtu::Response& answer);
    // The current step waited too long: named in Unanswered(), and the
    // sequence goes on with the next.
    void GiveUp();

    const DeviceSettings& Read() const { return read_; }
    const std::vector<std::string>& Unanswered() const { return unanswered_; }

private:
    std::vector<Step> steps_;
    std::size_t next_ = 0;
    DeviceSettings read_;
    std::vector<std::string> unanswered_;
};

}  // namespace profile
