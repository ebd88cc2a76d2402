#include "dtuctl/cli/Test.h"

#include "core/production/JUnit.h"
#include "core/records/Record.h"
#include "dtuctl/cli/Board.h"
#include "dtuctl/cli/Interrupt.h"
#include "jobs/port/Batch.h"

#include <cctype>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <random>
#include <sstream>

namespace cli {

namespace {

using production::Verdict;

Verdict VerdictOf(jobs::Outcome::Result r)
{
    switch (r) {
    case jobs::Outcome::Result::Ok:
        return Verdict::Passed;
    case jobs::Outcome::Result::Stopped:
        return Verdict::Stopped;
    case jobs::Outcome::Result::Error:
        return Verdict::Error;
    case jobs::Outcome::Result::Differs:
    case jobs::Outcome::Result::Failed:
        break;
    }
    return Verdict::Failed;
}

std::string Upper(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

nlohmann::json MeasurementJson(const records::Measurement& m)
{
    nlohmann::json j{{"name", m.name}, {"value", m.value}, {"unit", m.unit}, {"passed", m.passed}};
    j["low"] = m.low ? nlohmann::json(*m.low) : nlohmann::json();
    j["high"] = m.high ? nlohmann::json(*m.high) : nlohmann::json();
    j["expected"] = m.expected;
    return j;
}

std::string Seconds(std::int64_t ms)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f s", static_cast<double>(ms) / 1000.0);
    return text;
}

// Written whole or not at all: a CI server never reads half a file.
bool WriteWhole(const std::string& path, const std::string& text, std::string& error)
{
    const std::string temporary = path + ".part";
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        file << text;
        file.close();
        if (!file) {
            error = path + ": cannot be written";
            std::remove(temporary.c_str());
            return false;
        }
    }
    std::error_code ec;
    std::filesystem::rename(temporary, path, ec);
    if (ec) {
        error = path + ": cannot be written: " + ec.message();
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace

int RunTests(const std::vector<std::string>& ports, const Line& line, const TestOptions& options, jobs::TestRun run,
             const jobs::Recorder& recorder, Console console)
{
    jobs::Station station;
    if (const std::string error = station.Start(run.plan.server.listenHost, run.plan.server.listenPort);
        !error.empty()) {
        console.err << "dtuctl: " << options.plan << ": the test server cannot listen on " << run.plan.server.listenHost
                    << ":" << run.plan.server.listenPort << ": " << error << "; nothing was sent\n";
        return kExitBadInput;
    }
    run.station = &station;
    run.seed = (std::uint64_t(std::random_device{}()) << 32) ^ std::random_device{}() ^
               std::uint64_t(std::chrono::steady_clock::now().time_since_epoch().count());
    const std::string started = records::IsoTime(server::Now::Current().wallMs);
    const auto label = [&](std::size_t i) { return i < options.labels.size() ? options.labels[i] : std::string(); };

    Board board(console.err, console.errIsTerminal, ports);
    InterruptScope interrupt;
    std::vector<production::UnitReport> reports(ports.size());
    const auto begun = std::chrono::steady_clock::now();
    std::vector<std::chrono::steady_clock::time_point> ended(ports.size());
    jobs::Batch batch(ports.size(), [&](std::size_t i, std::shared_ptr<const std::atomic<bool>> stop,
                                        const jobs::JobReport& report) {
        jobs::Outcome out = jobs::TestUnit(ports[i], i, line, run, label(i), recorder.On() ? &recorder : nullptr,
                                           std::move(stop), report);
        ended[i] = std::chrono::steady_clock::now();
        return out;
    });
    std::size_t passed = 0, failed = 0, errors = 0, stopped = 0;
    bool recordsKept = true;
    while (batch.Running()) {
        pollfd wait{interrupt.fd(), POLLIN, 0};
        ::poll(&wait, 1, 100);
        if (interrupt.interrupted())
            batch.Stop();
        for (jobs::Batch::Update& u : batch.Collect()) {
            if (u.progress && !u.outcome)
                board.Step(u.index, u.progress->step == jobs::Progress::Step::Opening ? "opening"
                                                                                       : u.progress->waitingFor);
            if (!u.outcome)
                continue;
            const jobs::Outcome& o = *u.outcome;
            production::UnitReport& r = reports[u.index];
            r.port = ports[u.index];
            r.ownId = o.ownId;
            r.label = o.label;
            r.verdict = VerdictOf(o.result);
            r.failure = o.detail;
            r.steps = o.steps;
            r.ms = std::chrono::duration_cast<std::chrono::milliseconds>(ended[u.index] - begun).count();
            passed += r.verdict == Verdict::Passed;
            failed += r.verdict == Verdict::Failed;
            errors += r.verdict == Verdict::Error;
            stopped += r.verdict == Verdict::Stopped;
            const bool lost = o.recordKept == jobs::Kept::Lost && !o.recordError.empty();
            recordsKept = recordsKept && !lost;
            const std::string verdict = Upper(production::VerdictName(r.verdict));
            board.Step(u.index, verdict + (r.failure.empty() ? "" : ": " + r.failure));
            if (!o.recordError.empty())
                console.err << "dtuctl: " << r.port << ": record not completed (" << o.recordError << ")"
                            << (o.recordKept == jobs::Kept::Waiting
                                    ? "; it waits on this station and is delivered when the store answers"
                                    : "")
                            << "\n";
            if (options.json) {
                nlohmann::json j{{"port", r.port},       {"own_id", r.ownId},     {"label", r.label},
                                 {"version", o.version}, {"outcome", production::VerdictName(r.verdict)},
                                 {"failure", r.failure}, {"seconds", double(r.ms) / 1000.0}};
                j["measurements"] = nlohmann::json::array();
                for (const production::Step& s : r.steps)
                    j["measurements"].push_back(MeasurementJson(s.m));
                if (!o.recordError.empty())
                    j["record_error"] = o.recordError;
                console.out << Dump(j) << "\n" << std::flush;
                continue;
            }
            std::string said = r.port + "  " + verdict;
            if (!r.failure.empty())
                said += "  " + r.failure;
            if (!r.ownId.empty())
                said += "  own ID " + r.ownId;
            if (!r.label.empty())
                said += "  label " + r.label;
            console.out << said << "  (" << Seconds(r.ms) << ")\n" << std::flush;
        }
    }
    station.Stop();
    if (!options.json) {
        std::ostringstream summary;
        summary << "passed " << passed << "/" << ports.size();
        if (failed)
            summary << ", failed " << failed;
        if (errors)
            summary << ", errors " << errors;
        if (stopped)
            summary << ", stopped " << stopped;
        console.out << summary.str() << "\n";
    }
    int code = passed == ports.size() && recordsKept ? kExitOk : kExitFailed;
    if (!options.junit.empty()) {
        const std::string suite = run.plan.name.empty() ? std::filesystem::path(options.plan).stem().string()
                                                        : run.plan.name;
        std::string error;
        const auto ranMs = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - begun);
        if (!WriteWhole(options.junit, production::JUnitXml(suite, started, ranMs.count(), reports), error)) {
            console.err << "dtuctl: " << error << "\n";
            code = kExitFailed;
        }
    }
    console.out << std::flush;
    return code;
}

}  // namespace cli
