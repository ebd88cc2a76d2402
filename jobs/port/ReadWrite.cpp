#include "jobs/port/ReadWrite.h"

#include "core/dtu/Commands.h"
#include "core/dtu/Requests.h"
#include "driver/host/LocalClock.h"

namespace jobs {

using namespace profile;

DeviceSettings ReadSettings(Link& link, unsigned queries, int timeoutMs, const StepReport& step)
{
    DeviceSettings s;
    for (const QueryStep& q : QuerySteps(queries)) {
        if (step)
            step(q.name);
        const Reply r = link.Exchange(*dtu::BuildQuery(q.code), timeoutMs, q.name);
        TakeAnswer(s, q.code, dtu::Response(r.buffer, r.length));
    }
    return s;
}

DeviceSettings AskUnit(Link& link, unsigned queries, int timeoutMs, bool silentAllowed, const StepReport& step)
{
    try {
        return ReadSettings(link, queries, timeoutMs, step);
    } catch (const LinkFailure& e) {
        if (!silentAllowed || e.cause != Cause::NoAnswer)
            throw;
        return {};
    }
}

WriteReport WriteProfile(Link& link, const Profile& profile, int timeoutMs, const StepReport& step,
                         const StepReport& verifyStep)
{
    const DeviceSettings current = ReadSettings(link, QueriesToComplete(profile), timeoutMs, step);
    const Profile complete = Complete(profile, current);
    const std::vector<PlannedWrite> writes = PlanWrites(complete, host::LocalNow());
    for (const PlannedWrite& w : writes) {
        if (step)
            step(w.what);
        // The clock is taken when its frame goes out, not when the plan was made.
        const bool clock = w.frame.size() > 2 && w.frame[2] == dtu::cmd::kSetClock;
        link.Exchange(clock ? dtu::BuildSetClock(host::LocalNow()) : w.frame, timeoutMs, w.what);
    }
    const DeviceSettings readBack =
        ReadSettings(link, QueriesToVerify(profile), timeoutMs, verifyStep ? verifyStep : step);
    return {Compare(profile, writes, readBack)};
}

}  // namespace jobs
