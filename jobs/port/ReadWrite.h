// A DTU's settings read and a profile written over one Link, request by
// request, each waiting for its answer.
#pragma once

#include "core/profile/Provision.h"
#include "core/profile/Settings.h"
#include "jobs/port/Link.h"

namespace jobs {

// Sends the queries asked for; throws Failure naming the request that was
// not answered.
profile::DeviceSettings ReadSettings(Link& link, unsigned queries, int timeoutMs,
                                     const profile::StepReport& step = {});

// `verifyStep`, when given, reports the read-back instead of `step`.
// What a unit says of itself before a job: the queries of `queries`. One
// that does not answer them gives nothing where `silentAllowed`: a unit
// left in its loader answers an upgrade and no query.
profile::DeviceSettings AskUnit(Link& link, unsigned queries, int timeoutMs, bool silentAllowed,
                                const profile::StepReport& step = {});

profile::WriteReport WriteProfile(Link& link, const profile::Profile& profile, int timeoutMs,
                                  const profile::StepReport& step = {}, const profile::StepReport& verifyStep = {});

}  // namespace jobs
