#include "dtuctl/cli/Jobs.h"

#include "core/profile/Settings.h"
#include "core/records/Record.h"
#include "driver/serial/LineSettings.h"
#include "jobs/port/ReadWrite.h"

#include <algorithm>
#include <sstream>
#include <thread>

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

// Fails the port's result when its record could not be kept: a unit worked
// on without a trace is what records are there to prevent.
void RecordFailed(PortResult& result, const std::string& error)
{
    result.ok = false;
    result.summary = result.summary.empty() ? error : result.summary + "; " + error;
    result.json["record_error"] = error;
}

// Begins the port's record before anything is sent, opens the port, asks
// the unit who it is when the job is recorded, and completes the record
// after the job.
PortResult RunOnPort(const std::string& port, std::size_t index, const Line& line, Board& board, const Job& job,
                     const Recording& recording)
{
    PortResult result;
    const jobs::Recorder* recorder = recording.recorder && recording.recorder->On() ? recording.recorder : nullptr;
    std::int64_t id = 0;
    if (recorder) {
        std::string error;
        const std::optional<std::int64_t> begun = recorder->Begin(port, recording.action, "", "", error);
        if (!begun) {
            RecordFailed(result, error + "; nothing was sent");
            return result;
        }
        id = *begun;
    }
    try {
        Link link;
        board.Step(index, "opening");
        link.OpenOrThrow(port, {line.baud, ParityCode(line.parity), line.timeoutMs, line.connectTimeoutMs, line.fast});
        PortContext context{link, board, index, line.timeoutMs};
        profile::DeviceSettings identity;
        std::string error;
        if (recorder) {
            identity = jobs::AskUnit(link, profile::kOwnId | profile::kVersion, line.timeoutMs,
                                     recording.action == records::kActionUpgrade,
                                     [&](const std::string& what) { board.Step(index, what); });
            // A unit that cannot be named is not worked on.
            if (!recorder->Identify(id, identity.ownId ? identity.ownId->id : "", identity.version.value_or(""),
                                    error))
                throw jobs::Failure(error + "; nothing was changed");
            // A read takes what the unit said as its own; a silent unit is
            // asked again, to fail in the read's words.
            if (identity.ownId && identity.version)
                context.identity = &identity;
        }
        result = job(context);
    } catch (const std::exception& e) {
        result = PortResult{};
        result.summary = e.what();
        result.json["error"] = e.what();
    }
    if (!recorder)
        return result;
    const std::string detail = !result.recordDetail.empty() ? result.recordDetail : result.ok ? "" : result.summary;
    std::string error;
    if (!recorder->Complete(id, result.ok ? records::kResultOk : records::kResultFailed, detail, error))
        RecordFailed(result, error);
    return result;
}

}  // namespace

int RunOnPorts(const std::vector<std::string>& ports, const Line& line, bool json, Console console, const Job& job,
               const Recording& recording)
{
    Board board(console.err, console.errIsTerminal, ports);
    std::vector<PortResult> results(ports.size());
    std::vector<std::thread> threads;
    threads.reserve(ports.size());
    for (std::size_t i = 0; i < ports.size(); ++i) {
        threads.emplace_back([&, i] {
            PortResult& result = results[i];
            result = RunOnPort(ports[i], i, line, board, job, recording);
            board.Step(i, (result.ok ? "done: " : "FAILED: ") + result.summary);
        });
    }
    for (std::thread& t : threads)
        t.join();

    bool allOk = true;
    std::vector<std::vector<std::string>> summary{{"port", "result", "detail"}};
    for (std::size_t i = 0; i < ports.size(); ++i) {
        const PortResult& r = results[i];
        allOk = allOk && r.ok;
        if (json) {
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
