#include "dtuctl/cli/Jobs.h"

#include "core/profile/Settings.h"
#include "core/records/Record.h"
#include "driver/serial/LineSettings.h"
#include "jobs/port/Batch.h"
#include "jobs/port/ReadWrite.h"

#include <algorithm>
#include <sstream>

namespace cli {

std::string Dump(const nlohmann::json& j)
{
    return j.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

unsigned ParityCode(const std::string& name)
{
    return name == "odd" ? serial::kParityOdd : name == "even" ? serial::kParityEven : serial::kParityNone;
}

namespace {

// Runs the job in the sequence every job runs (jobs::RunSequence): the
// record begun before the port is opened, the unit asked who it is when
// the job is recorded, the record completed after it.
PortResult RunOnPort(const std::string& port, std::size_t index, const Line& line, Board& board, const Job& job,
                     const Recording& recording)
{
    const jobs::Recorder* recorder = recording.recorder && recording.recorder->On() ? recording.recorder : nullptr;
    const bool upgrades = recording.action == records::kActionUpgrade;
    std::optional<PortResult> done;
    jobs::Sequence sequence;
    sequence.action = recording.action;
    // Unrecorded, a job sends only its own requests.
    sequence.identify = recorder ? profile::kOwnId | profile::kVersion : 0;
    sequence.silentAllowed = upgrades;
    sequence.upgrades = recorder && upgrades;
    sequence.work = [&](Link& link, const profile::DeviceSettings& unit, jobs::Outcome& out) {
        PortContext context{link, board, index, line.timeoutMs};
        // A read takes what the unit said as its own; a silent unit is
        // asked again, to fail in the read's words.
        if (unit.ownId && unit.version)
            context.identity = &unit;
        done = job(context);
        out.result = done->ok ? jobs::Outcome::Result::Ok : jobs::Outcome::Result::Failed;
        out.detail = !done->recordDetail.empty() ? done->recordDetail : done->ok ? "" : done->summary;
    };
    const jobs::Outcome out = jobs::RunSequence(port, line, sequence, recorder, nullptr, [&](const jobs::Progress& p) {
        board.Step(index, p.step == jobs::Progress::Step::Opening ? "opening" : p.waitingFor);
    });
    PortResult result;
    if (done) {
        result = *done;
    } else {
        result.summary = out.detail;
        result.json["error"] = out.detail;
    }
    if (!out.recordError.empty()) {
        result.json["record_error"] = out.recordError;
        // A unit's end kept nowhere fails the job: records are there so that
        // no unit is worked on without a trace.
        if (out.recordKept == jobs::Kept::Lost && result.ok) {
            result.ok = false;
            result.summary += "; record not completed: " + out.recordError;
        }
        if (out.recordKept == jobs::Kept::Waiting) {
            result.json["record_waiting"] = true;
            result.recordNote = "record not completed (" + out.recordError +
                                "); it waits on this station and is delivered when the store answers";
        }
    }
    if (upgrades && recorder && !out.version.empty())
        result.json["version"] = out.version;
    return result;
}

}  // namespace

int RunOnPorts(const std::vector<std::string>& ports, const Line& line, bool json, Console console, const Job& job,
               const Recording& recording)
{
    Board board(console.err, console.errIsTerminal, ports);
    // Each job writes its own result; all are read once the batch is over.
    std::vector<PortResult> results(ports.size());
    jobs::Batch(ports.size(), [&](std::size_t i, auto, const jobs::JobReport&) {
        PortResult& result = results[i];
        result = RunOnPort(ports[i], i, line, board, job, recording);
        board.Step(i, (result.ok ? "done: " : "FAILED: ") + result.summary);
        return jobs::Outcome{};
    }).Wait();

    bool allOk = true;
    std::vector<std::vector<std::string>> summary{{"port", "result", "detail"}};
    for (std::size_t i = 0; i < ports.size(); ++i) {
        const PortResult& r = results[i];
        allOk = allOk && r.ok;
        // Said after what happened to the unit, apart from it.
        const auto note = [&] {
            if (!r.recordNote.empty())
                console.err << "dtuctl: " << ports[i] << ": " << r.recordNote << "\n";
        };
        if (json) {
            note();
            nlohmann::json j = r.json;
            j["port"] = ports[i];
            j["ok"] = r.ok;
            console.out << Dump(j) << "\n";
            continue;
        }
        // With many ports a result that is one line stands in the summary alone.
        if (!r.text.empty() && (ports.size() == 1 || r.text != r.summary + "\n")) {
            if (ports.size() > 1)
                console.out << (r.textIsProfile ? "# == " : "== ") << ports[i] << "\n";
            console.out << r.text;
        }
        if (!r.ok && ports.size() == 1)
            console.err << "dtuctl: " << ports[i] << ": " << r.summary << "\n";
        note();
        summary.push_back({ports[i], r.ok ? "ok" : "FAILED", r.summary});
    }
    if (!json && ports.size() > 1) {
        // After profiles the summary stays a comment, so the output still
        // splits into valid files at its "# ==" lines.
        const bool comment = std::any_of(results.begin(), results.end(), [](const PortResult& r) { return r.textIsProfile; });
        std::istringstream table(profile::FormatTable(summary));
        console.out << "\n";
        for (std::string text; std::getline(table, text);)
            console.out << (comment ? "# " : "") << text << "\n";
    }
    console.out << std::flush;
    return allOk ? kExitOk : kExitFailed;
}

}  // namespace cli
