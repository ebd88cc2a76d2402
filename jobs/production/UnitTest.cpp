#include "jobs/production/UnitTest.h"

#include "core/dtu/Commands.h"
#include "core/dtu/Frame.h"
#include "core/production/Messages.h"
#include "core/profile/Settings.h"
#include "core/records/Record.h"
#include "driver/host/ProfileFile.h"
#include "jobs/port/ReadWrite.h"

#include <algorithm>
#include <filesystem>

namespace jobs {

namespace {

using production::Step;
using Clock = std::chrono::steady_clock;

// Thrown by a measurement out of its limit: the test ends there.
struct OutOfLimit {};

std::int64_t WallNow()
{
    return server::Now::Current().wallMs;
}

Clock::time_point In(std::int64_t ms)
{
    return Clock::now() + std::chrono::milliseconds(std::max<std::int64_t>(ms, 0));
}

// The bytes the unit's serial line gives within the time, up to `count`.
production::Bytes Collect(Link& link, std::size_t count, Clock::time_point deadline, std::int64_t& lastWallMs)
{
    production::Bytes got;
    while (got.size() < count && Clock::now() < deadline) {
        link.ThrowIfStopped();
        if (const std::optional<Reply> r = link.NextFrame()) {
            const auto frame = r->frame();
            got.insert(got.end(), frame.begin(), frame.end());
            lastWallMs = WallNow();
        }
    }
    return got;
}

// The steps of the test, in order, on the open port; measurements go to
// `out.steps` and the first that fails ends the test.
class Tester {
public:
    Tester(Link& link, const Line& line, const TestRun& run, std::size_t index, const Recorder* recorder,
           const std::atomic<bool>* stop, const JobReport& report, Outcome& out)
        : link_(link), line_(line), run_(run), plan_(run.plan), index_(index), recorder_(recorder), stop_(stop),
          report_(report), out_(out)
    {
        progress_.step = Progress::Step::Testing;
    }

    void Run()
    {
        Upgrade();
        if (!plan_.version.empty())
            Add(production::MeasureVersion(out_.version, plan_.version));
        if (plan_.signal)
            Add(production::MeasureSignal(out_.signal, *plan_.signal));
        const std::string token =
            production::Token(static_cast<std::uint32_t>(production::Scramble(run_.seed + index_)));
        Point(token);
        const Station::Arrival arrival = Register(token);
        if (plan_.server.heartbeatWithinMs)
            Heartbeat(arrival);
        if (plan_.echo)
            Echo(arrival.connection, *plan_.echo);
        if (plan_.ownIds)
            GiveOwnId(*plan_.ownIds);
        if (run_.finalProfile)
            Write(production::kProfile, *run_.finalProfile);
    }

private:
    void Tell(std::string_view what, int percent)
    {
        progress_.waitingFor = std::string(what);
        progress_.percent = percent;
        report_(progress_);
    }

    void Add(Step s)
    {
        const bool passed = s.m.passed;
        const bool overTheNetwork = s.m.name == production::kRegistration || s.m.name == production::kHeartbeat ||
                                    s.m.name.starts_with("echo");
        out_.steps.push_back(std::move(s));
        if (passed)
            return;
        // Nothing came over the network: a unit that is gone, or no longer
        // answers on its line, is an error of the unit, not of its link.
        if (overTheNetwork)
            StillThere();
        throw OutOfLimit{};
    }

    void StillThere()
    {
        link_.ThrowIfStopped();
        if (link_.PortLost())
            throw LinkFailure(link_.GoneCause(), "", link_.Gone());
        AskUnit(link_, profile::kVersion, line_.timeoutMs, false);
    }

    void Upgrade()
    {
        if (!run_.image || production::GlobMatch(plan_.version, out_.version))
            return;
        Tell(production::kUpgrade, 5);
        Outcome u;
        UpgradeWork(link_, line_, *run_.image, u, report_);
        out_.blocks = u.blocks;
        out_.totalBlocks = u.totalBlocks;
        // A unit that stopped answering or a port that went is the unit's
        // error; a refused image is a measurement that failed.
        if (u.result != Outcome::Result::Ok && u.cause != Cause::Refused && u.cause != Cause::Other)
            throw LinkFailure(u.cause, u.request, u.detail);
        if (u.result != Outcome::Result::Ok)
            Add(production::MeasureDone(production::kUpgrade, "", u.detail));
        out_.version = AskVersionAgain(link_, line_, report_);
        // The unit as it now is, asked again: a loader has no signal.
        const profile::DeviceSettings now =
            AskUnit(link_, profile::kOwnId | profile::kSignal, line_.timeoutMs, false);
        out_.ownId = now.ownId ? now.ownId->id : out_.ownId;
        out_.signal = now.signal.value_or("");
        Add(production::MeasureDone(production::kUpgrade, out_.version,
                                    out_.version.empty() ? production::msg::kNoVersionAfter : ""));
    }

    // Written with read-back; a setting read back different fails `name`.
    void Write(std::string_view name, const profile::Profile& p)
    {
        Tell(name, 60);
        Outcome w;
        WriteWork(link_, line_, p, w, report_);
        Add(production::MeasureDone(name, w.differing == 0 ? "ok" : w.detail,
                                    w.differing == 0 ? "" : text::Fill(production::msg::kReadBackDiffers,
                                                                       {std::string(name), w.detail})));
    }

    void Point(const std::string& token)
    {
        Write(production::kSetup, PointAt(plan_.server, run_.station->port(), token));
        if (plan_.server.restart)
            link_.Exchange(*dtu::BuildQuery(dtu::cmd::kRestart), line_.timeoutMs, "restart");
        pointedWallMs_ = WallNow();
    }

    Station::Arrival Register(const std::string& token)
    {
        Tell(production::kRegistration, 30);
        const std::optional<Station::Arrival> a =
            run_.station->AwaitRegistration(token, In(plan_.server.registerWithinMs), stop_);
        link_.ThrowIfStopped();
        Add(production::MeasureWait(production::kRegistration,
                                    a ? std::optional(std::max<std::int64_t>(a->wallMs - pointedWallMs_, 0))
                                      : std::nullopt,
                                    plan_.server.registerWithinMs));
        return *a;
    }

    void Heartbeat(const Station::Arrival& registered)
    {
        Tell(production::kHeartbeat, 40);
        const std::int64_t within = *plan_.server.heartbeatWithinMs;
        const std::optional<Station::Arrival> beat = run_.station->AwaitHeartbeat(
            registered.connection, registered.wallMs, In(within - (WallNow() - registered.wallMs)), stop_);
        link_.ThrowIfStopped();
        Add(production::MeasureWait(production::kHeartbeat,
                                    beat ? std::optional(beat->wallMs - registered.wallMs) : std::nullopt, within));
    }

    void Echo(std::uint64_t connection, const production::Plan::Echo& echo)
    {
        Tell("echo", 50);
        const std::uint64_t seed = production::Scramble(run_.seed ^ (index_ << 32));
        const production::Bytes up = production::EchoBytes(echo.bytes, seed);
        const production::Bytes down = production::EchoBytes(echo.bytes, ~seed);
        run_.station->ClearData(connection);
        const auto deadline = In(echo.withinMs);
        const std::int64_t upFrom = WallNow();
        link_.Send(up, "echo");
        const production::Bytes beat(Station::kHeartbeat.begin(), Station::kHeartbeat.end());
        // Whole once it is the data, beats aside; a unit that garbles it is
        // given the time to send all it will.
        const Station::Carried carried = run_.station->AwaitData(
            connection, [&](const production::Bytes& got) { return production::Echoed(up, got, beat); }, deadline,
            stop_);
        link_.ThrowIfStopped();
        Add(production::MeasureEcho(production::kEchoUp, up, carried.bytes, echo.withinMs, beat));
        const std::int64_t downFrom = WallNow();
        std::int64_t downAt = downFrom;
        run_.station->Send(connection, down);
        const production::Bytes arrived = Collect(link_, down.size(), deadline, downAt);
        Add(production::MeasureEcho(production::kEchoDown, down, arrived, echo.withinMs));
        Add(production::MeasureEchoTime((carried.lastWallMs - upFrom) + (downAt - downFrom), echo.withinMs));
    }

    void GiveOwnId(const production::Plan::OwnIds& range)
    {
        Tell(production::kOwnId, 70);
        std::string error = kOwnIdsNeedRecords;
        const std::optional<std::string> id =
            recorder_ ? recorder_->TakeOwnId(range.first, range.last, out_.ownId, error) : std::nullopt;
        if (!id) {
            Add(production::MeasureDone(production::kOwnId, "", error.empty() ? "no own ID given" : error));
            return;
        }
        if (*id != out_.ownId) {
            profile::Profile p;
            p.ownId = profile::Profile::OwnId{*id, std::nullopt};
            Write(production::kOwnId, p);
            out_.steps.back().m.value = *id;
            out_.ownId = *id;
        } else {
            Add(production::MeasureDone(production::kOwnId, *id, ""));
        }
    }

    Link& link_;
    const Line& line_;
    const TestRun& run_;
    const production::Plan& plan_;
    std::size_t index_;
    const Recorder* recorder_;
    const std::atomic<bool>* stop_;
    const JobReport& report_;
    Outcome& out_;
    Progress progress_;
    std::int64_t pointedWallMs_ = 0;
};

}  // namespace

profile::Profile PointAt(const production::Plan::Server& server, std::uint16_t port, const std::string& token)
{
    profile::Profile p;
    profile::Profile::Server s;
    if (server.ip)
        s.ip = server.ip;
    else
        s.domain = server.address;
    s.port = port;
    p.server = s;
    profile::Profile::Mode mode;
    mode.protocol = false;
    mode.subMode = static_cast<int>(std::find(profile::kSubModeNames.begin(), profile::kSubModeNames.end(), "tcp") -
                                    profile::kSubModeNames.begin());
    p.mode = mode;
    profile::Profile::Packets packets;
    packets.custom = true;
    packets.heartbeat = std::string(Station::kHeartbeat);
    packets.registration = token;
    p.packets = packets;
    return p;
}

std::optional<TestRun> LoadTestRun(const std::string& path, std::vector<std::string>& errors)
{
    production::ParsedPlan parsed = profile::LoadPlan(path);
    errors = parsed.errors;
    if (!parsed.ok())
        return std::nullopt;
    TestRun run;
    run.plan = std::move(parsed.plan);
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    const auto near = [&](const std::string& name) { return (folder / name).string(); };
    if (!run.plan.finalProfile.empty()) {
        const std::string file = near(run.plan.finalProfile);
        const profile::ParsedProfile p = profile::LoadProfile(file);
        errors.insert(errors.end(), p.errors.begin(), p.errors.end());
        // Written last to every unit, an own ID there would stamp them all
        // with one, over the range's.
        if (const std::string* id = p.ok() ? profile::OwnIdSet(p.profile) : nullptr)
            errors.push_back(text::Fill(production::msg::kFinalOwnId, {file, *id}));
        else if (p.ok())
            run.finalProfile = p.profile;
    }
    if (!run.plan.finalImage.empty()) {
        std::string error;
        run.image = LoadImage(near(run.plan.finalImage), upgrade::Kind::App, error);
        if (!run.image)
            errors.push_back(error);
    }
    if (!errors.empty())
        return std::nullopt;
    return run;
}

Outcome TestUnit(const std::string& port, std::size_t index, const Line& line, const TestRun& run,
                 const std::string& label, const Recorder* recorder, std::shared_ptr<const std::atomic<bool>> stop,
                 const JobReport& report)
{
    const JobReport tell = report ? report : [](const Progress&) {};
    Sequence sequence;
    sequence.action = records::kActionTest;
    sequence.identify = kIdentity;
    // A unit left in its loader answers only the upgrade that mends it.
    sequence.silentAllowed = run.image.has_value();
    sequence.failureIsError = true;
    sequence.label = label;
    const std::atomic<bool>* stopFlag = stop.get();
    sequence.work = [&](Link& link, const profile::DeviceSettings&, Outcome& out) {
        try {
            Tester(link, line, run, index, recorder, stopFlag, tell, out).Run();
        } catch (const OutOfLimit&) {
        }
        const production::Judged judged = production::Judge(out.steps);
        out.result = judged.verdict == production::Verdict::Passed ? Outcome::Result::Ok : Outcome::Result::Failed;
        out.detail = judged.failure;
    };
    Outcome out = RunSequence(port, line, sequence, recorder, std::move(stop), tell);
    out.label = label;
    return out;
}

}  // namespace jobs
