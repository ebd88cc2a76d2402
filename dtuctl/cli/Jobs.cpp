#include "dtuctl/cli/Jobs.h"

#include "core/profile/Settings.h"
#include "driver/serial/LineSettings.h"

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

int RunOnPorts(const std::vector<std::string>& ports, const Line& line, bool json, Console console, const Job& job)
{
    Board board(console.err, console.errIsTerminal, ports);
    std::vector<PortResult> results(ports.size());
    std::vector<std::thread> threads;
    threads.reserve(ports.size());
    for (std::size_t i = 0; i < ports.size(); ++i) {
        threads.emplace_back([&, i] {
            PortResult& result = results[i];
            try {
                Link link;
                board.Step(i, "opening");
                link.OpenOrThrow(ports[i], {line.baud, ParityCode(line.parity), line.timeoutMs, line.connectTimeoutMs,
                                            line.fast});
                PortContext context{link, board, i, line.timeoutMs};
                result = job(context);
            } catch (const std::exception& e) {
                result = PortResult{};
                result.summary = e.what();
                result.json["error"] = e.what();
            }
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
