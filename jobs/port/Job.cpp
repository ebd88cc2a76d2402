#include "jobs/port/Job.h"

#include "core/common/Tr.h"
#include "core/records/Record.h"
#include "jobs/port/Messages.h"
#include "jobs/port/ReadWrite.h"
#include "jobs/production/UnitTest.h"

#include <algorithm>

namespace jobs {

namespace {

// How much of a job each part is, for one bar: identifying is quick, the
// work is the rest.
constexpr int kIdentified = 10;

}  // namespace

void WriteWork(Link& link, const Line& line, const profile::Profile& wanted, Outcome& out, const JobReport& report)
{
    Progress p;
    p.step = Progress::Step::Writing;
    p.percent = kIdentified;
    // Requests are not counted ahead: each one moves the bar a step further
    // towards the end, never past it.
    int requests = 0;
    const auto step = [&](Progress::Step now) {
        return [&, now](const std::string& what) {
            p.step = now;
            p.waitingFor = what;
            p.percent = std::min(99, kIdentified + 3 * ++requests);
            report(p);
        };
    };
    out.report = WriteProfile(link, wanted, line.timeoutMs, step(Progress::Step::Writing),
                              step(Progress::Step::Verifying));
    for (const profile::Checked& c : out.report.rows)
        out.differing += c.verdict == profile::Verdict::Differs;
    if (out.differing > 0) {
        out.result = Outcome::Result::Differs;
        std::string list;
        for (const profile::Checked& c : out.report.rows)
            if (c.verdict == profile::Verdict::Differs)
                list += (list.empty() ? "" : ", ") + c.setting;
        out.detail = list;
    }
}

void UpgradeWork(Link& link, const Line& line, const Image& image, Outcome& out, const JobReport& report)
{
    Progress p;
    p.step = Progress::Step::Upgrading;
    const UpgradeResult u = RunUpgradeOn(link, image, line.baud, line.timeoutMs, [&](const UpgradeProgress& up, bool) {
        p.blocks = up.blocks;
        p.totalBlocks = up.totalBlocks;
        out.blocks = up.blocks;
        out.totalBlocks = up.totalBlocks;
        const std::uint64_t total = std::max<std::uint64_t>(up.totalBytes, 1);
        p.percent = kIdentified + static_cast<int>((100 - kIdentified) * std::min(up.bytes, total) / total);
        report(p);
    });
    if (!u.ok) {
        out.result = Outcome::Result::Failed;
        out.cause = u.cause;
        out.detail = u.message;
    }
}

namespace {

// A job that could not be recorded, before anything was sent.
Outcome NotRecorded(const std::string& error)
{
    Outcome out;
    out.recordError = error;
    out.detail = error + "; " + msg::kNothingSent;
    out.recordKept = Kept::Lost;
    return out;
}

}  // namespace

std::string AskVersionAgain(Link& link, const Line& line, const JobReport& report)
{
    Progress p;
    p.step = Progress::Step::Identifying;
    p.percent = 100;
    try {
        for (int attempt = 0; attempt < 3; ++attempt) {
            const profile::DeviceSettings s = AskUnit(link, profile::kVersion, line.timeoutMs, true, [&](const std::string& what) {
                p.waitingFor = what;
                report(p);
            });
            if (s.version)
                return *s.version;
        }
    } catch (const Stopped&) {
    } catch (const LinkFailure&) {
    }
    return {};
}

std::string_view ActionName(Action a)
{
    switch (a) {
    case Action::Read:
        return records::kActionRead;
    case Action::Write:
        return records::kActionWrite;
    case Action::Upgrade:
        return records::kActionUpgrade;
    case Action::Test:
        return records::kActionTest;
    }
    return records::kActionRead;
}

std::string_view ResultName(Outcome::Result r)
{
    switch (r) {
    case Outcome::Result::Ok:
        return records::kResultOk;
    case Outcome::Result::Stopped:
        return records::kResultStopped;
    case Outcome::Result::Error:
        return records::kResultError;
    case Outcome::Result::Differs:
    case Outcome::Result::Failed:
        break;
    }
    return records::kResultFailed;
}

Outcome RunSequence(const std::string& port, const Line& line, const Sequence& sequence, const Recorder* recorder,
                    std::shared_ptr<const std::atomic<bool>> stop, const JobReport& report)
{
    Outcome out;
    const JobReport tell = report ? report : [](const Progress&) {};
    recorder = recorder && recorder->On() ? recorder : nullptr;
    std::int64_t id = 0;
    if (recorder) {
        const std::optional<std::int64_t> begun =
            recorder->Begin(port, sequence.action, "", "", out.recordError, &out.record, sequence.label);
        if (!begun) {
            Outcome refused = NotRecorded(out.recordError);
            if (sequence.failureIsError)
                refused.result = Outcome::Result::Error;
            return refused;
        }
        id = *begun;
    }
    std::string before, ownBefore;  // the unit before the work changed it
    try {
        Link link;
        link.SetStop(std::move(stop));
        tell(Progress{});
        link.ThrowIfStopped();
        link.OpenOrThrow(port, line);
        profile::DeviceSettings unit;
        if (sequence.identify != 0) {
            Progress p;
            p.step = Progress::Step::Identifying;
            unit = AskUnit(link, sequence.identify, line.timeoutMs, sequence.silentAllowed, [&](const std::string& what) {
                p.waitingFor = what;
                tell(p);
            });
            out.ownId = unit.ownId ? unit.ownId->id : std::string();
            out.version = before = unit.version.value_or("");
            ownBefore = out.ownId;
            out.signal = unit.signal.value_or("");
        }
        // A unit that cannot be named is not worked on.
        if (recorder && !recorder->Identify(id, out.ownId, out.version, out.recordError))
            throw Failure(out.recordError + "; " + msg::kNothingChanged);
        out.result = Outcome::Result::Ok;
        sequence.work(link, unit, out);
        // The version read before names what the unit ran then, not now.
        if (sequence.upgrades && out.result == Outcome::Result::Ok) {
            if (const std::string now = AskVersionAgain(link, line, tell); !now.empty())
                out.version = now;
            else
                out.detail = msg::kVersionUnread;
        }
    } catch (const Stopped&) {
        out.result = Outcome::Result::Stopped;
        // How far it got is what the next attempt starts from.
        out.detail = out.totalBlocks > 0 ? text::Fill(msg::kStoppedAfter, {std::to_string(out.blocks),
                                                                            std::to_string(out.totalBlocks)})
                                         : "";
    } catch (const LinkFailure& e) {
        out.result = sequence.failureIsError ? Outcome::Result::Error : Outcome::Result::Failed;
        out.cause = e.cause;
        out.request = e.request;
        out.detail = e.what();
    } catch (const std::exception& e) {
        out.result = sequence.failureIsError ? Outcome::Result::Error : Outcome::Result::Failed;
        out.detail = e.what();
    }
    if (recorder) {
        // An upgrade gives a new version, a test may give a new own ID.
        const bool renamed = (!out.version.empty() && out.version != before) || out.ownId != ownBefore;
        std::string error;
        std::vector<records::Measurement> measured;
        for (const production::Step& s : out.steps)
            measured.push_back(s.m);
        out.recordKept = recorder->Complete(id, ResultName(out.result), out.detail, measured, error,
                                            renamed ? out.ownId : "", renamed ? out.version : "",
                                            &out.record.ended);
        out.record.measurements = measured;
        if (out.recordKept != Kept::Stored)
            out.recordError = error;
        out.record.unitId = out.ownId;
        out.record.version = out.version;
        out.record.result = ResultName(out.result);
        out.record.detail = out.detail;
    }
    return out;
}

Outcome RunJob(const std::string& port, const Line& line, const Work& work,
               std::shared_ptr<const std::atomic<bool>> stop, const JobReport& report)
{
    const JobReport tell = report ? report : [](const Progress&) {};
    if (work.action == Action::Test && work.test)
        return TestUnit(port, work.index, line, *work.test, work.label, work.recorder, std::move(stop), tell);
    Sequence sequence;
    sequence.action = ActionName(work.action);
    sequence.identify = kIdentity;
    sequence.silentAllowed = work.action == Action::Upgrade;
    sequence.upgrades = work.action == Action::Upgrade && work.image;
    sequence.work = [&](Link& link, const profile::DeviceSettings&, Outcome& out) {
        if (work.action == Action::Write && work.profile)
            WriteWork(link, line, *work.profile, out, tell);
        else if (work.action == Action::Upgrade && work.image)
            UpgradeWork(link, line, *work.image, out, tell);
    };
    return RunSequence(port, line, sequence, work.recorder, std::move(stop), tell);
}

Outcome RunJob(const std::string& port, const Line& line, const Work& work, OpeningStore& opening,
               const records::Record& basis, std::shared_ptr<const std::atomic<bool>> stop, const JobReport& report)
{
    std::string error;
    const auto store = opening.Wait(error);
    if (!store)
        return NotRecorded(error);
    const Recorder recorder = *store ? Recorder(*store, basis) : Recorder();
    Work recorded = work;
    recorded.recorder = &recorder;
    return RunJob(port, line, recorded, std::move(stop), report);
}

}  // namespace jobs
