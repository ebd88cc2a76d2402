#include "jobs/port/Job.h"

#include "core/records/Record.h"
#include "jobs/port/ReadWrite.h"

#include <algorithm>

namespace jobs {

namespace {

// How much of a job each part is, for one bar: identifying is quick, the
// work is the rest.
constexpr int kIdentified = 10;

void Identify(Link& link, const Line& line, bool silentAllowed, Outcome& out, const JobReport& report)
{
    Progress p;
    p.step = Progress::Step::Identifying;
    const profile::DeviceSettings s = AskUnit(link, kIdentity, line.timeoutMs, silentAllowed, [&](const std::string& what) {
        p.waitingFor = what;
        report(p);
    });
    out.ownId = s.ownId ? s.ownId->id : std::string();
    out.version = s.version.value_or("");
    out.signal = s.signal.value_or("");
}

void Write(Link& link, const Line& line, const profile::Profile& wanted, Outcome& out, const JobReport& report)
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

void Upgrade(Link& link, const Line& line, const Image& image, Outcome& out, const JobReport& report)
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

std::string_view ActionName(Action a)
{
    switch (a) {
    case Action::Read:
        return records::kActionRead;
    case Action::Write:
        return records::kActionWrite;
    case Action::Upgrade:
        return records::kActionUpgrade;
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
    case Outcome::Result::Differs:
    case Outcome::Result::Failed:
        break;
    }
    return records::kResultFailed;
}

void Fail(Outcome& out, const std::string& why)
{
    out.result = Outcome::Result::Failed;
    out.cause = Cause::Other;
    out.detail = out.detail.empty() ? why : out.detail + "; " + why;
}

}  // namespace

Outcome RunJob(const std::string& port, const Line& line, const Work& work,
               std::shared_ptr<const std::atomic<bool>> stop, const JobReport& report)
{
    Outcome out;
    const JobReport tell = report ? report : [](const Progress&) {};
    const Recorder* recorder = work.recorder && work.recorder->On() ? work.recorder : nullptr;
    std::int64_t id = 0;
    std::string recordError;
    if (recorder) {
        const std::optional<std::int64_t> begun = recorder->Begin(port, ActionName(work.action), "", "", recordError);
        if (!begun) {
            Fail(out, recordError);
            return out;
        }
        id = *begun;
    }
    try {
        Link link;
        link.SetStop(std::move(stop));
        tell(Progress{});
        link.ThrowIfStopped();
        link.OpenOrThrow(port, line);
        Identify(link, line, work.action == Action::Upgrade, out, tell);
        // A unit that cannot be named is not worked on.
        if (recorder && !recorder->Identify(id, out.ownId, out.version, recordError)) {
            Fail(out, recordError);
        } else {
            out.result = Outcome::Result::Ok;
            if (work.action == Action::Write && work.profile)
                Write(link, line, *work.profile, out, tell);
            else if (work.action == Action::Upgrade && work.image)
                Upgrade(link, line, *work.image, out, tell);
        }
    } catch (const Stopped&) {
        out.result = Outcome::Result::Stopped;
        out.detail.clear();
    } catch (const LinkFailure& e) {
        out.result = Outcome::Result::Failed;
        out.cause = e.cause;
        out.request = e.request;
        out.detail = e.what();
    } catch (const std::exception& e) {
        out.result = Outcome::Result::Failed;
        out.detail = e.what();
    }
    if (recorder && !recorder->Complete(id, ResultName(out.result), out.detail, recordError))
        Fail(out, recordError);
    return out;
}

}  // namespace jobs
