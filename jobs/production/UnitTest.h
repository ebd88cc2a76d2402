// A production test of one unit, in the order a line proves a DTU: its
// image brought up to date, who it is and how well it hears the network,
// then pointed at this station's test server, where it must register, beat
// and carry data both ways unchanged; last its own ID and the customer's
// profile. Each step is a measurement; the first out of its limit fails
// the unit and ends its test, so a bad unit costs no more time than it must.
#pragma once

#include "core/production/Plan.h"
#include "core/profile/Profile.h"
#include "jobs/port/Job.h"
#include "jobs/production/Station.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace jobs {

// What the units of a run share.
struct TestRun {
    production::Plan plan;
    std::optional<profile::Profile> finalProfile;
    std::optional<Image> image;
    Station* station = nullptr;
    // This run's own: every unit's token and echo bytes are drawn from it.
    std::uint64_t seed = 0;
};

// The plan at `path` with the profile and image it names (relative to its
// folder), each checked: nothing, with every error in `errors`, when any
// is wrong. The seed and the station are the caller's to set.
std::optional<TestRun> LoadTestRun(const std::string& path, std::vector<std::string>& errors);

// The unit on `port`, the `index`th of the run. Never throws; the verdict
// is in the outcome's result (Ok passed, Failed, Error, Stopped), its
// words in `detail` and the measurements in `steps`.
Outcome TestUnit(const std::string& port, std::size_t index, const Line& line, const TestRun& run,
                 const std::string& label, const Recorder* recorder, std::shared_ptr<const std::atomic<bool>> stop,
                 const JobReport& report);

// The settings that point a unit at the station: server, transparent TCP,
// custom packets with its token as the registration.
profile::Profile PointAt(const production::Plan::Server& server, std::uint16_t port, const std::string& token);

}  // namespace jobs
