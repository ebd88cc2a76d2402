// What a record adds to a job (Begin and Complete), `dtuctl records --unit
// X` among a million records, and the yield of a million tests (`dtuctl
// records --summary`), in an SQLite file and in PostgreSQL on loopback, the
// server started as the tests start it (README, "Benchmarks", "Records"):
//   records_bench [--jobs 1000] [--records 1000000] [--units 10000]
#include "bench/DtuctlRun.h"
#include "core/records/Record.h"
#include "driver/records/Store.h"
#include "tests/support/Postgres.h"

#include <libpq-fe.h>
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <numeric>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Figures {
    double mean = 0, worst = 0, first = 0;  // ms
};

// `step` timed `n` times.
Figures Timed(int n, const std::function<bool()>& step)
{
    std::vector<double> ms;
    for (int i = 0; i < n; ++i) {
        const auto start = Clock::now();
        if (!step())
            return {};
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    return {std::accumulate(ms.begin(), ms.end(), 0.0) / n, *std::max_element(ms.begin(), ms.end()), ms.front()};
}

// A write on a bench, as a job records it.
records::Record Job(int i)
{
    records::Record r;
    r.started = records::IsoTime(1796716800000 + i * 1000LL);
    r.station = "bench-1";
    r.operatorName = "li";
    r.program = "dtuctl 0.1.0";
    r.port = "/dev/ttyUSB" + std::to_string(i % 16);
    r.portId = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A" + std::to_string(i % 16) + "-if00-port0";
    r.action = records::kActionWrite;
    char unit[16];
    std::snprintf(unit, sizeof unit, "%012X", i);
    r.unitId = unit;
    r.version = "KV-331 V2.3.1";
    r.profileName = "line-3.toml";
    r.profileSha256 = std::string(64, 'a');
    return r;
}

// `records` started a second apart from 2026-01-01: writes over `units`
// units, or the tests of a line that fails one unit in 20 and tests it
// again at once (one test in 97 drops out, one in 53 is stopped), each test
// with three measurements, two of them failed in a failed test.
std::string FillSql(bool postgres, int records, int units, bool tests)
{
    const std::string n = std::to_string(records), u = std::to_string(units);
    const std::string columns = "INSERT INTO records (started, ended, station, operator, program, port, port_id, "
                                "action, unit_id, version, result, detail) SELECT ";
    const std::string values = std::string("'bench-' || (n % 4), 'li', 'dtuctl 0.1.0', '/dev/ttyUSB' || (n % 16), "
                                           "'/dev/serial/by-id/usb-FTDI_A' || (n % 16), ") +
                               (tests ? "'test', " : "'write', ");
    const std::string result = tests ? "CASE WHEN n % 97 = 0 THEN 'error' WHEN n % 53 = 0 THEN 'stopped' "
                                       "WHEN n % 20 = 0 THEN 'failed' ELSE 'ok' END"
                                     : "'ok'";
    const std::string unit = tests ? "CASE WHEN n % 20 = 1 THEN n - 1 ELSE n END" : "n % " + u;
    const std::string measured =
        "; INSERT INTO measurements (record_id, seq, name, value, unit, low, high, expected, passed) "
        "SELECT id, s, 'step ' || ((id + s * 3) % 8), '1.0', 'V', 0.5, 1.5, '', "
        "CASE WHEN result = 'failed' AND s < 2 THEN 0 ELSE 1 END FROM records, ";
    if (postgres)
        return columns + "to_char(timestamp '2026-01-01' + n * interval '1 second', 'YYYY-MM-DD\"T\"HH24:MI:SS.MS\"Z\"'), "
               "to_char(timestamp '2026-01-01' + (n + 20) * interval '1 second', 'YYYY-MM-DD\"T\"HH24:MI:SS.MS\"Z\"'), " +
               values + "lpad(upper(to_hex(" + unit + ")), 12, '0'), 'KV-331 V2.3.1', " + result + ", '' " +
               "FROM generate_series(0, " + n + " - 1) AS n" +
               (tests ? measured + "generate_series(0, 2) AS s" : "");
    return "WITH RECURSIVE g(n) AS (SELECT 0 UNION ALL SELECT n + 1 FROM g WHERE n + 1 < " + n + ") " + columns +
           "strftime('%Y-%m-%dT%H:%M:%fZ', 1767225600 + n, 'unixepoch'), "
           "strftime('%Y-%m-%dT%H:%M:%fZ', 1767225600 + n + 20, 'unixepoch'), " +
           values + "printf('%012X', " + unit + "), 'KV-331 V2.3.1', " + result + ", '' FROM g" +
           (tests ? measured + "(SELECT 0 AS s UNION ALL SELECT 1 UNION ALL SELECT 2)" : "");
}

bool Fill(const std::string& place, bool postgres, int records, int units, bool tests = false)
{
    const std::string sql = FillSql(postgres, records, units, tests);
    std::string error;
    if (!records::OpenStore(place, error)) {  // the table and its indexes
        std::fprintf(stderr, "%s\n", error.c_str());
        return false;
    }
    if (postgres) {
        PGconn* c = PQconnectdb(place.c_str());
        // Then as autovacuum leaves a table: its statistics and its
        // visibility map, which lets an index answer alone.
        bool ok = true;
        for (const std::string& step : {sql, std::string("VACUUM ANALYZE")}) {
            PGresult* r = PQexec(c, step.c_str());
            ok = ok && PQresultStatus(r) == PGRES_COMMAND_OK;
            PQclear(r);
        }
        if (!ok)
            std::fprintf(stderr, "fill: %s\n", PQerrorMessage(c));
        PQfinish(c);
        return ok;
    }
    sqlite3* db = nullptr;
    char* said = nullptr;
    const bool ok = sqlite3_open(place.c_str(), &db) == SQLITE_OK &&
                    sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &said) == SQLITE_OK;
    if (!ok)
        std::fprintf(stderr, "fill: %s\n", said ? said : sqlite3_errmsg(db));
    sqlite3_free(said);
    sqlite3_close(db);
    return ok;
}

// What a durable commit costs at least on this disk: an 8 KiB write and
// fdatasync, as PostgreSQL's WAL and SQLite's do.
double SyncMs(const std::string& dir)
{
    const std::string path = dir + "/sync";
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    const std::string page(8192, 'x');
    const Figures f = Timed(100, [&] {
        return ::pwrite(fd, page.data(), page.size(), 0) == static_cast<ssize_t>(page.size()) && ::fdatasync(fd) == 0;
    });
    ::close(fd);
    ::unlink(path.c_str());
    return f.mean;
}

struct Row {
    const char* name;
    double ms[2];  // SQLite, PostgreSQL
};

}  // namespace

int main(int argc, char** argv)
{
    int jobs = 1000, count = 1000000, units = 10000;
    for (int i = 1; i + 1 < argc; i += 2) {
        const int value = std::atoi(argv[i + 1]);
        if (std::strcmp(argv[i], "--jobs") == 0)
            jobs = value;
        else if (std::strcmp(argv[i], "--records") == 0)
            count = value;
        else if (std::strcmp(argv[i], "--units") == 0)
            units = value;
    }
    char pattern[] = "/var/tmp/records-bench-XXXXXX";
    if (!::mkdtemp(pattern))
        return 1;
    const std::string dir = pattern;
    std::string error;
    char unit[16];
    std::snprintf(unit, sizeof unit, "%012X", units / 2);
    records::Filter byUnit;  // as `dtuctl records --unit` asks
    byUnit.unit = unit;

    Row rows[] = {{"job: Begin + Complete, mean", {}},  {"job: Begin + Complete, worst", {}},
                  {"job, commits not waited, mean", {}}, {"job, commits not waited, worst", {}},
                  {"query --unit, first", {}},           {"query --unit, mean", {}},
                  {"query --unit, worst", {}},           {"dtuctl records --unit, mean", {}},
                  {"dtuctl records --unit, worst", {}},  {"summary, first", {}},
                  {"summary, mean", {}},                 {"summary of a week, mean", {}},
                  {"dtuctl records --summary, mean", {}}};
    rows[2].ms[0] = rows[3].ms[0] = NAN;
    std::size_t found[2] = {};
    double yield[2] = {};
    for (const bool postgres : {false, true}) {
        std::string jobsPlace = dir + "/jobs.sqlite", manyPlace = dir + "/many.sqlite";
        if (postgres) {
            jobsPlace = pgtest::FreshDatabase(error);
            manyPlace = pgtest::FreshDatabase(error);
            if (manyPlace.empty()) {
                std::fprintf(stderr, "%s\n", error.c_str());
                return 1;
            }
        }
        const int k = postgres;
        const auto record = [&](const std::string& place, Row& mean, Row& worst) {
            const auto store = records::OpenStore(place, error);
            int i = 0;
            const Figures job = Timed(jobs, [&] {
                const auto id = store ? store->Begin(Job(i), error) : std::nullopt;
                return id && store->Complete(*id, records::kResultOk, "", records::IsoTime(1796716800000 + ++i * 1000LL), error);
            });
            mean.ms[k] = job.mean;
            worst.ms[k] = job.worst;
        };
        record(jobsPlace, rows[0], rows[1]);
        // What a URL may choose: a commit that does not wait for the disk,
        // lost (the record left interrupted) if the server crashes within
        // a second of it.
        if (postgres)
            record(pgtest::FreshDatabase(error) + "?options=-c%20synchronous_commit%3Doff", rows[2], rows[3]);

        std::fprintf(stderr, "filling %s with %d records...\n", postgres ? "PostgreSQL" : "SQLite", count);
        if (!Fill(manyPlace, postgres, count, units))
            return 1;
        const auto many = records::OpenStore(manyPlace, error);
        const Figures query = Timed(20, [&] {
            const auto got = many->Query(byUnit, error);
            found[k] = got ? got->size() : 0;
            return got.has_value();
        });
        rows[4].ms[k] = query.first;
        rows[5].ms[k] = query.mean;
        rows[6].ms[k] = query.worst;
        const Figures run = Timed(10, [&] {
            return bench::Dtuctl({"--records", manyPlace, "records", "--unit", unit}).exitCode == 0;
        });
        rows[7].ms[k] = run.mean;
        rows[8].ms[k] = run.worst;

        // The yield of a line's million tests, and of its last week.
        std::string testsPlace = dir + "/tests.sqlite";
        if (postgres)
            testsPlace = pgtest::FreshDatabase(error);
        std::fprintf(stderr, "filling %s with %d tests...\n", postgres ? "PostgreSQL" : "SQLite", count);
        if (!Fill(testsPlace, postgres, count, units, true))
            return 1;
        const auto tests = records::OpenStore(testsPlace, error);
        const auto summarize = [&](const records::Filter& f) {
            const auto got = tests->Summarize(f, records::By::Day, error);
            if (got && !f.since.empty())
                yield[k] = got->yield;
            return got.has_value();
        };
        const Figures summary = Timed(5, [&] { return summarize({}); });
        rows[9].ms[k] = summary.first;
        rows[10].ms[k] = summary.mean;
        records::Filter week;
        week.since = records::IsoTime(1767225600000LL + count * 1000LL - 7 * 86'400'000LL);
        rows[11].ms[k] = Timed(5, [&] { return summarize(week); }).mean;
        rows[12].ms[k] = Timed(3, [&] {
                             return bench::Dtuctl({"--records", testsPlace, "records", "--summary"}).exitCode == 0;
                         }).mean;
        if (!error.empty())
            std::fprintf(stderr, "%s\n", error.c_str());
    }
    const double sync = SyncMs(dir);
    std::filesystem::remove_all(dir);

    std::printf("%d jobs; %d records over %d units, unit %s: %zu records from SQLite, %zu from PostgreSQL; "
                "a week's yield %.4f in SQLite, %.4f in PostgreSQL; this disk's fdatasync of 8 KiB: %.2f ms\n\n",
                jobs, count, units, unit, found[0], found[1], yield[0], yield[1], sync);
    std::printf("| %-30s | SQLite (ms) | PostgreSQL (ms) | target |\n|%s|------------:|----------------:|--------|\n",
                "", std::string(32, '-').c_str());
    for (const Row& r : rows) {
        char sqlite[16] = "n/a";
        if (!std::isnan(r.ms[0]))
            std::snprintf(sqlite, sizeof sqlite, "%.2f", r.ms[0]);
        const bool summary = std::strstr(r.name, "summary") != nullptr;
        std::printf("| %-30s | %11s | %15.2f | %s |\n", r.name, sqlite, r.ms[1],
                    std::strncmp(r.name, "job", 3) == 0 ? "< 5 ms" : summary ? "< 1 s" : "< 100 ms");
    }
    return 0;
}
