// Writing a profile: the frames it stands for, built by the same core
// functions as the window's buttons, then a read-back of every setting
// that can be read and a verdict per setting.
#pragma once

#include "core/dtu/Requests.h"
#include "core/profile/Profile.h"
#include "core/profile/Settings.h"

#include <string>
#include <vector>

namespace profile {

// A record the DTU takes whole (own ID, serial settings, packets, wireless
// parameters) with some of its keys left out keeps the DTU's values for
// them: those records are read first.
unsigned QueriesToComplete(const Profile& p);
// The profile with those keys filled in from `current`. Throws Failure
// when a value cannot be written back as it is (a frequency that is not
// whole MHz).
Profile Complete(const Profile& p, const DeviceSettings& current);

// The packets a 0xF7 write frame carries: its payload is a flag, a length,
// 10 bytes, a length, 32 bytes.
struct PacketPair {
    dtu::Bytes heartbeat, registration;
};
PacketPair PacketsOfWrite(const dtu::Bytes& frame);

struct PlannedWrite {
    std::string what;  // the request's name
    dtu::Bytes frame;
};
// The frames of a complete profile, in a fixed order.
std::vector<PlannedWrite> PlanWrites(const Profile& complete, const dtu::LocalTime& now);

// The queries that read back what was written.
unsigned QueriesToVerify(const Profile& p);

enum class Verdict { Ok, Differs, Written };
struct Checked {
    std::string setting;
    std::string wanted;
    std::string readBack;
    Verdict verdict;
};
// One row per key the profile gives (`given`), wanted values taken from the
// completed profile and its frames.
std::vector<Checked> Compare(const Profile& given, const std::vector<PlannedWrite>& writes,
                             const DeviceSettings& readBack);
const char* VerdictText(Verdict v);

struct WriteReport {
    std::vector<Checked> rows;
    bool ok() const;
};
}  // namespace profile
