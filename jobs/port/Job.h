// One job on one unit, as the window's bench runs it on every checked port
// at once: open the port, identify the DTU (own ID, version, signal), then
// read, write a profile with read-back, or upgrade an image. Progress and
// the outcome are values; the caller words them.
#pragma once

#include "core/profile/Profile.h"
#include "core/profile/Provision.h"
#include "core/profile/Settings.h"
#include "jobs/port/Link.h"
#include "jobs/port/Upgrade.h"
#include "jobs/records/Recorder.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace jobs {

enum class Action { Read, Write, Upgrade };

struct Work {
    Action action = Action::Read;
    const profile::Profile* profile = nullptr;  // Write
    const Image* image = nullptr;               // Upgrade
    // Keeps a record of the unit, begun once it is identified; null or off
    // for none.
    const Recorder* recorder = nullptr;
};

struct Progress {
    enum class Step { Opening, Identifying, Writing, Verifying, Upgrading };
    Step step = Step::Opening;
    std::string waitingFor;  // the request whose answer is awaited
    // Of the whole job, 0 to 100; an upgrade also counts its blocks.
    int percent = 0;
    std::size_t blocks = 0, totalBlocks = 0;
};

struct Outcome {
    enum class Result { Ok, Differs, Stopped, Failed };
    Result result = Result::Failed;
    std::string detail;  // dtuctl's words for the failure; for a write, what differs
    Cause cause = Cause::Other;
    std::string request;  // the request that failed, where one did
    // As read before the work; empty where the DTU did not answer.
    std::string ownId, version, signal;
    profile::WriteReport report;  // Write
    std::size_t differing = 0;    // Write: settings read back different
    std::size_t blocks = 0;       // Upgrade: blocks acknowledged
    std::size_t totalBlocks = 0;
};

using JobReport = std::function<void(const Progress&)>;

// The bits of what identifies a unit.
inline constexpr unsigned kIdentity = profile::kOwnId | profile::kVersion | profile::kSignal;

// Runs on the calling thread until done, failed or stopped (`stop` set from
// any thread ends it at its next safe point). Never throws. A record that
// cannot be kept fails the job: before the work, the work is not done.
Outcome RunJob(const std::string& port, const Line& line, const Work& work,
               std::shared_ptr<const std::atomic<bool>> stop, const JobReport& report);

}  // namespace jobs
