// One job on one unit, as the window's bench runs it on every checked port
// at once: open the port, identify the DTU (own ID, version, signal), then
// read, write a profile with read-back, or upgrade an image. Progress and
// the outcome are values; the caller words them.
#pragma once

#include "core/production/Verdict.h"
#include "core/profile/Profile.h"
#include "core/profile/Provision.h"
#include "core/records/Record.h"
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

enum class Action { Read, Write, Upgrade, Test };

struct TestRun;

struct Work {
    Action action = Action::Read;
    const profile::Profile* profile = nullptr;  // Write
    const Image* image = nullptr;               // Upgrade
    const TestRun* test = nullptr;              // Test
    // Test: the unit's place in the run, and its printed label.
    std::size_t index = 0;
    std::string label;
    // Keeps a record of the unit, begun once it is identified; null or off
    // for none.
    const Recorder* recorder = nullptr;
};

struct Progress {
    enum class Step { Opening, Identifying, Writing, Verifying, Upgrading, Testing };
    Step step = Step::Opening;
    std::string waitingFor;  // the request whose answer is awaited
    // Of the whole job, 0 to 100; an upgrade also counts its blocks.
    int percent = 0;
    std::size_t blocks = 0, totalBlocks = 0;
};

struct Outcome {
    // Error: a test's unit stopped answering, apart from a measurement that
    // failed.
    enum class Result { Ok, Differs, Stopped, Failed, Error };
    Result result = Result::Failed;
    std::string detail;  // dtuctl's words for the failure; for a write, what differs
    Cause cause = Cause::Other;
    std::string request;  // the request that failed, where one did
    // As read before the work, the version as read again after an upgrade;
    // empty where the DTU did not answer.
    std::string ownId, version, signal;
    profile::WriteReport report;  // Write
    std::size_t differing = 0;    // Write: settings read back different
    std::size_t blocks = 0;       // Upgrade: blocks acknowledged
    std::size_t totalBlocks = 0;
    // The store's words when the record could not be begun, named or
    // completed: apart from what happened to the unit, which `result` says.
    std::string recordError;
    Kept recordKept = Kept::Stored;  // how its end was kept
    // The record as the job left it; its id 0 when not recorded.
    records::Record record;
    // A test: what it measured, in order, and its label.
    std::vector<production::Step> steps;
    std::string label;
};

using JobReport = std::function<void(const Progress&)>;

// What any job does on one port, in the one order every program runs it:
// begin the record, open the port, ask the unit who it is, the work, then
// (after an upgrade) its version again, and complete the record.
struct Sequence {
    std::string_view action;  // the records' action
    // Asked before the work; 0 asks nothing.
    unsigned identify = 0;
    // A unit that answers no query is still worked on (one left in its
    // loader answers an upgrade and nothing else).
    bool silentAllowed = false;
    // The work, on the open port, told what the unit said; throws
    // LinkFailure, Stopped or Failure, else leaves its result in `out`.
    std::function<void(Link&, const profile::DeviceSettings& unit, Outcome& out)> work;
    // Asks the version again after a successful work.
    bool upgrades = false;
    // A unit that stops answering is an error of the unit, not a failed
    // work (a test's measurements fail; its unit errs).
    bool failureIsError = false;
    // The unit's printed label, as the operator gave it; for the record.
    std::string label;
};

Outcome RunSequence(const std::string& port, const Line& line, const Sequence& sequence, const Recorder* recorder,
                    std::shared_ptr<const std::atomic<bool>> stop, const JobReport& report);

// The bench's work, as a test does it too.
void WriteWork(Link& link, const Line& line, const profile::Profile& wanted, Outcome& out, const JobReport& report);
void UpgradeWork(Link& link, const Line& line, const Image& image, Outcome& out, const JobReport& report);
// A unit that has just taken an image restarts into it: asked a few times
// before its version is given up on; empty then. A stop here keeps the
// upgrade's result: the image is in.
std::string AskVersionAgain(Link& link, const Line& line, const JobReport& report);

// The records' words for an action and a result.
std::string_view ActionName(Action a);
std::string_view ResultName(Outcome::Result r);

// The bits of what identifies a unit.
inline constexpr unsigned kIdentity = profile::kOwnId | profile::kVersion | profile::kSignal;

// The bench's read, write and upgrade as a sequence. Runs on the calling
// thread until done, failed or stopped (`stop` set from any thread ends it
// at its next safe point). Never throws. A record that cannot be begun or
// named fails the job before the work; one whose end cannot be kept leaves
// the result as it was and says so in `recordError`.
Outcome RunJob(const std::string& port, const Line& line, const Work& work,
               std::shared_ptr<const std::atomic<bool>> stop, const JobReport& report);

// The same with a store that may still be being opened: waited for on the
// job's own thread, never on a window's. A store that could not be opened
// fails the job, before any byte, with its words.
Outcome RunJob(const std::string& port, const Line& line, const Work& work, OpeningStore& opening,
               const records::Record& basis, std::shared_ptr<const std::atomic<bool>> stop, const JobReport& report);

}  // namespace jobs
