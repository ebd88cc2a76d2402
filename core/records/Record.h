// A record of one job on one unit: written when the job starts, with the
// result "interrupted", and completed when it ends, so that a job cut short
// by a crash, a kill or a power cut shows as interrupted, never missing.
// Times are UTC to the millisecond, "2026-12-08T08:40:12.345Z": fixed
// width, so that they sort and compare as text in any store.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace records {

inline constexpr std::string_view kActionRead = "read";
inline constexpr std::string_view kActionWrite = "write";
inline constexpr std::string_view kActionUpgrade = "upgrade";
inline constexpr std::string_view kActionTest = "test";

inline constexpr std::string_view kResultOk = "ok";
inline constexpr std::string_view kResultFailed = "failed";
// A test the unit dropped out of: it stopped answering, or its port went.
inline constexpr std::string_view kResultError = "error";
inline constexpr std::string_view kResultStopped = "stopped";
inline constexpr std::string_view kResultInterrupted = "interrupted";
inline constexpr std::array<std::string_view, 5> kResults{kResultOk, kResultFailed, kResultError, kResultStopped,
                                                          kResultInterrupted};

inline constexpr std::string_view kImageApp = "app";
inline constexpr std::string_view kImageIap = "iap";

// One step of a production test. The value is text: a number, or a version
// that `expected` (a glob) must match; `low` and `high` bound a number.
struct Measurement {
    std::string name;
    std::string value;
    std::string unit;
    std::optional<double> low, high;
    std::string expected;
    bool passed = false;

    bool operator==(const Measurement&) const = default;
};

struct Record {
    std::int64_t id = 0;  // given by the store
    std::string started;
    std::string ended;  // empty until the job ends
    std::string station;
    std::string operatorName;
    std::string program;  // "dtuctl 0.1.0"
    std::string port;     // as given
    std::string portId;   // its /dev/serial/by-id/ name, or the URL
    std::string action;
    std::string unitId;   // the DTU's own ID; empty when it did not answer
    std::string label;    // the serial number printed on it, as typed or scanned
    std::string version;
    std::string profileName, profileSha256;
    std::string imageName, imageSha256;
    std::optional<std::int64_t> imageSize;
    std::string imageKind;
    std::string result{kResultInterrupted};
    std::string detail;
    // A test's, in their order; kept beside the record, not a column.
    std::vector<Measurement> measurements;

    bool operator==(const Record&) const = default;
};

// The columns, in the one order the schema, the JSON keys and the CSV
// header share. The first is the key the store gives.
struct Column {
    std::string_view name;
    std::variant<std::int64_t Record::*, std::string Record::*, std::optional<std::int64_t> Record::*> field;
};
inline constexpr std::array<Column, 20> kColumns{{
    {"id", &Record::id},
    {"started", &Record::started},
    {"ended", &Record::ended},
    {"station", &Record::station},
    {"operator", &Record::operatorName},
    {"program", &Record::program},
    {"port", &Record::port},
    {"port_id", &Record::portId},
    {"action", &Record::action},
    {"unit_id", &Record::unitId},
    {"label", &Record::label},
    {"version", &Record::version},
    {"profile_name", &Record::profileName},
    {"profile_sha256", &Record::profileSha256},
    {"image_name", &Record::imageName},
    {"image_sha256", &Record::imageSha256},
    {"image_size", &Record::imageSize},
    {"image_kind", &Record::imageKind},
    {"result", &Record::result},
    {"detail", &Record::detail},
}};

// A value as a store binds it; monostate is SQL's NULL. Only measurements
// hold a double.
using Value = std::variant<std::monostate, std::int64_t, std::string, double>;
Value Get(const Record& r, const Column& c);
// A value of the wrong kind leaves the field as it was.
void Set(Record& r, const Column& c, Value v);

// Which records a query returns, newest first. Empty fields match all.
struct Filter {
    std::string unit;    // the unit ID, exactly
    std::string port;    // the port as given or its by-id name
    std::string result;
    std::string since;   // started at or after, in the records' form
    std::string before;  // started before, in the records' form
    std::size_t limit = 0;  // 0: no limit
    // Keyset paging: only what comes after the record (belowStarted,
    // belowId) newest first, so that a page costs the same however deep.
    std::string belowStarted;
    std::int64_t belowId = 0;  // 0: none
    // In the unit ID, label, port, action, result or detail; any case.
    std::string text;
    std::string label;  // exactly
    // Also read each record's measurements.
    bool measurements = false;
};

// A test is counted for its unit: the latest test that says something of
// the unit (ok, failed or error) decides it.
struct Summary {
    std::int64_t units = 0, passed = 0, failed = 0;
    double yield = 0;  // passed / units; 0 without units
    // Tests that started in one day or hour (UTC), the oldest first.
    struct Period {
        std::string start;  // "2026-12-08", or "2026-12-08T08:00"
        std::int64_t passed = 0, failed = 0;
        bool operator==(const Period&) const = default;
    };
    std::vector<Period> periods;
    // The measurements that failed most often in those tests, most first.
    struct Failing {
        std::string name;
        std::int64_t count = 0;
        bool operator==(const Failing&) const = default;
    };
    std::vector<Failing> failing;

    bool operator==(const Summary&) const = default;
};
// The periods a summary counts tests by.
enum class By { Day, Hour };
inline constexpr std::size_t kMostFailing = 10;

// Milliseconds since the epoch in the records' form.
std::string IsoTime(std::int64_t ms);
// The span an ISO 8601 time names, [first, end) in milliseconds since the
// epoch: "2026-12-08" a day, "2026-12-08T08:40" a minute, ":12" a second,
// ".345" a millisecond. A zone is "Z" or "+08:00"; none means UTC, as the
// records are kept. Nothing for what is not such a time.
struct Span {
    std::int64_t first = 0;
    std::int64_t end = 0;
};
std::optional<Span> ParseIsoTime(std::string_view text);

// One object per line, the column names as keys; image_size a number or
// null. A record with measurements adds them, as "measurements".
std::string JsonLine(const Record& r);
std::string CsvHeader();
std::string CsvLine(const Record& r);
// One object: the figures, "periods" and "failing_measurements".
std::string SummaryJson(const Summary& s, By by);

// An own ID's number, from up to 12 hex digits in either case; nothing
// for what is not one. Ranges and the IDs handed out compare as numbers,
// which is as 12 upper-case hex digits compare.
std::optional<std::int64_t> OwnIdNumber(std::string_view text);
// 12 upper-case hex digits.
std::string OwnIdText(std::int64_t n);

}  // namespace records
