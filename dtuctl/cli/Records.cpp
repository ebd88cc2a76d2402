#include "dtuctl/cli/Records.h"

#include "core/common/Hex.h"
#include "core/records/Place.h"
#include "core/profile/Settings.h"
#include "core/records/Record.h"
#include "driver/records/Outbox.h"
#include "driver/records/Store.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <sstream>

namespace cli {

namespace {

// What the table shows of each record; --json and --csv give every column.
constexpr std::array<std::string_view, 9> kTableColumns{"id",    "started", "action",  "result", "unit_id",
                                                        "label", "port",    "version", "detail"};

// One record, one line.
std::string OneLine(std::string text)
{
    std::replace_if(text.begin(), text.end(), [](unsigned char c) { return c < 0x20; }, ' ');
    return text;
}

std::string Cell(const records::Record& r, std::string_view name)
{
    const auto column = std::find_if(records::kColumns.begin(), records::kColumns.end(),
                                     [&](const records::Column& c) { return c.name == name; });
    const records::Value v = Get(r, *column);
    return OneLine(std::holds_alternative<std::int64_t>(v) ? std::to_string(std::get<std::int64_t>(v))
                   : std::holds_alternative<std::string>(v) ? std::get<std::string>(v)
                                                            : std::string());
}

// Columns as wide as their widest cell on a terminal, Chinese counted as
// two, with no blanks after the last.
void PrintRows(const std::vector<std::vector<std::string>>& rows, std::ostream& out)
{
    std::istringstream table(profile::FormatTable(rows));
    for (std::string line; std::getline(table, line);) {
        line.erase(line.find_last_not_of(' ') + 1);
        out << line << "\n";
    }
}

void PrintTable(const std::vector<records::Record>& found, std::ostream& out)
{
    std::vector<std::vector<std::string>> rows(1, std::vector<std::string>(kTableColumns.begin(), kTableColumns.end()));
    for (const records::Record& r : found) {
        std::vector<std::string>& row = rows.emplace_back();
        for (const std::string_view name : kTableColumns)
            row.push_back(Cell(r, name));
    }
    PrintRows(rows, out);
}

// The units' figures, then the tests by period, then what failed most.
void PrintSummary(const records::Summary& s, records::By by, std::ostream& out)
{
    char yield[16];
    std::snprintf(yield, sizeof yield, "%.1f%%", s.yield * 100);
    PrintRows({{"units", "passed", "failed", "yield"},
               {std::to_string(s.units), std::to_string(s.passed), std::to_string(s.failed), yield}},
              out);
    std::vector<std::vector<std::string>> periods{{by == records::By::Hour ? "hour (UTC)" : "day (UTC)", "passed", "failed"}};
    for (const records::Summary::Period& p : s.periods)
        periods.push_back({p.start, std::to_string(p.passed), std::to_string(p.failed)});
    out << "\n";
    PrintRows(periods, out);
    if (s.failing.empty())
        return;
    std::vector<std::vector<std::string>> failing{{"measurement", "failed"}};
    for (const records::Summary::Failing& f : s.failing)
        failing.push_back({OneLine(f.name), std::to_string(f.count)});
    out << "\n";
    PrintRows(failing, out);
}

}  // namespace

int ListRecords(const std::string& place, const RecordsOptions& o, Console console)
{
    const auto bad = [&](const std::string& message) {
        console.err << "dtuctl: " << message << "\n";
        return kExitBadInput;
    };
    if (o.json && o.csv)
        return bad("records: --json and --csv cannot be given together");
    if (o.summary && o.csv)
        return bad("records: --summary is text or, with --json, JSON; not CSV");
    if (o.summary && o.limit > 0)
        return bad("records: --summary counts every test selected; --limit lists records");
    records::Filter filter;
    filter.unit = o.unit;
    std::transform(filter.unit.begin(), filter.unit.end(), filter.unit.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    if (!std::all_of(filter.unit.begin(), filter.unit.end(), hex::IsHexDigit))
        return bad("--unit: not a unit ID (hex digits): " + o.unit);
    filter.port = o.port;
    filter.label = o.label;
    filter.result = o.result;
    filter.measurements = o.json;
    // --until takes in the whole day, minute or second it names.
    const auto time = [](const std::string& text, bool end, std::string& bound) {
        if (text.empty())
            return true;
        const std::optional<records::Span> span = records::ParseIsoTime(text);
        if (span)
            bound = records::IsoTime(end ? span->end : span->first);
        return span.has_value();
    };
    if (!time(o.since, false, filter.since))
        return bad("--since: not an ISO 8601 time such as 2026-12-08 or 2026-12-08T08:40Z: " + o.since);
    if (!time(o.until, true, filter.before))
        return bad("--until: not an ISO 8601 time such as 2026-12-08 or 2026-12-08T08:40Z: " + o.until);
    filter.limit = o.limit;

    std::string error;
    const std::string chosen = records::ChosenPlace(place);
    // Listing makes nothing: a mistyped path is said, not made a database.
    if (const records::Place p = records::ParsePlace(chosen);
        p.kind == records::Place::Kind::File && !p.where.empty() && !std::filesystem::exists(p.where)) {
        console.err << "dtuctl: records store " << p.where << ": no such file; nothing has been recorded there\n";
        return kExitFailed;
    }
    const records::Outbox outbox(records::OutboxPath());
    // Ends that could not reach the store wait on this station: said on
    // standard error, so that a script reading the list sees none.
    const auto sayWaiting = [&](std::size_t n) {
        if (n > 0)
            console.err << "dtuctl: " << n << " record end(s) wait in " << outbox.Path()
                        << " until the store takes them\n";
    };
    const std::unique_ptr<records::Store> store = records::OpenStore(chosen, error);
    if (!store) {
        if (error.empty())
            return bad("records are off; there are none to list");
        console.err << "dtuctl: " << error << "\n";
        sayWaiting(outbox.Waiting(records::Shown(records::ParsePlace(chosen).where)));
        return kExitFailed;
    }
    sayWaiting(outbox.Deliver(*store));
    if (o.summary) {
        const records::By by = o.by == "hour" ? records::By::Hour : records::By::Day;
        const auto summary = store->Summarize(filter, by, error);
        if (!summary) {
            console.err << "dtuctl: " << error << "\n";
            return kExitFailed;
        }
        if (o.json)
            console.out << records::SummaryJson(*summary, by) << "\n";
        else if (summary->units == 0 && summary->periods.empty())
            console.err << "No test passed or failed in " << store->Name() << ".\n";
        else
            PrintSummary(*summary, by, console.out);
        return kExitOk;
    }
    const auto found = store->Query(filter, error);
    if (!found) {
        console.err << "dtuctl: " << error << "\n";
        return kExitFailed;
    }
    if (o.csv)
        console.out << records::CsvHeader() << "\n";
    for (const records::Record& r : *found) {
        if (o.json)
            console.out << records::JsonLine(r) << "\n";
        else if (o.csv)
            console.out << records::CsvLine(r) << "\n";
    }
    if (o.json || o.csv)
        return kExitOk;
    if (found->empty())
        console.err << "No records in " << store->Name() << ".\n";
    else
        PrintTable(*found, console.out);
    return kExitOk;
}

}  // namespace cli
