// The records of production tests, in an SQLite file and in PostgreSQL:
// measurements kept with a test's end, own IDs handed out from a range
// never twice, the line's yield, and stores of the schema before and after
// this one.
#include "core/records/Record.h"
#include "driver/records/Store.h"
#include "jobs/records/Recorder.h"
#include "tests/records/Stores.h"
#include "tests/support/Postgres.h"

#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <sqlite3.h>

#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <thread>

namespace records {

// A summary as a person reads it, when a test shows one.
void PrintTo(const Summary& s, std::ostream* out)
{
    *out << SummaryJson(s, By::Day);
}

}  // namespace records

namespace {

using namespace storetest;
using records::Measurement;
using records::Summary;

class TestStores : public Stores {};
INSTANTIATE_TEST_SUITE_P(Kinds, TestStores,
                         ::testing::Values(records::Place::Kind::File, records::Place::Kind::Postgres), KindName);

// A test begun and, unless interrupted, ended.
std::int64_t Tested(records::Store& store, const std::string& started, const std::string& unit,
                    std::string_view result, const std::vector<Measurement>& measurements = {},
                    std::string_view action = records::kActionTest)
{
    Record r;
    r.started = started;
    r.unitId = unit;
    r.label = unit.empty() ? "" : "SN-" + unit;
    r.action = action;
    std::string error;
    const auto id = store.Begin(r, error);
    EXPECT_TRUE(id) << error;
    if (id && result != records::kResultInterrupted) {
        EXPECT_TRUE(store.Complete(*id, result, "", started, measurements, error)) << error;
    }
    return id.value_or(0);
}

Measurement Failed(const std::string& name)
{
    return {name, "0", "", 1.0, std::nullopt, "", false};
}

Measurement Passed(const std::string& name)
{
    return {name, "1", "", 1.0, std::nullopt, "", true};
}

// SQL run as the test's own, on a file or a database: empty, or what went
// wrong.
std::string Sql(const std::string& place, const std::string& sql)
{
    std::string error;
    if (place.rfind("postgresql://", 0) == 0) {
        PGconn* c = PQconnectdb(place.c_str());
        PGresult* r = PQexec(c, sql.c_str());
        const ExecStatusType status = PQresultStatus(r);
        if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
            error = PQerrorMessage(c);
        PQclear(r);
        PQfinish(c);
        return error;
    }
    sqlite3* db = nullptr;
    char* said = nullptr;
    if (sqlite3_open(place.c_str(), &db) != SQLITE_OK ||
        sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &said) != SQLITE_OK)
        error = said ? said : sqlite3_errmsg(db);
    sqlite3_free(said);
    sqlite3_close(db);
    return error;
}

std::string Contents(const std::string& path)
{
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

TEST_P(TestStores, MeasurementsAreKeptWithTheEndAndComeBackWithTheirRecord)
{
    const auto store = Open(Place("records.sqlite"));
    ASSERT_TRUE(store);
    const std::vector<Measurement> many{
        {"supply voltage", "12.02", "V", 11.5, 12.5, "", true},
        {"firmware", "KV-331 V2.3.1", "", std::nullopt, std::nullopt, "KV-331 V2.*", true},
        {"rssi", "-101", "dBm", -95.0, std::nullopt, "", false},
        // What an array of text must quote.
        {"odd \"name\", {x} \\ 信号", "", "", std::nullopt, 0.1, "NULL", false},
    };
    const std::vector<Measurement> one{Passed("current")};
    const std::int64_t a = Tested(*store, "2026-12-08T08:00:00.000Z", "A1", records::kResultFailed, many);
    const std::int64_t b = Tested(*store, "2026-12-08T08:01:00.000Z", "B2", records::kResultOk, one);
    const std::int64_t c = Tested(*store, "2026-12-08T08:02:00.000Z", "C3", records::kResultOk, {}, records::kActionWrite);
    const std::int64_t d = Tested(*store, "2026-12-08T08:03:00.000Z", "D4", records::kResultInterrupted);
    std::string error;
    // An end given again, as the outbox may, adds none twice.
    ASSERT_TRUE(store->Complete(a, records::kResultFailed, "", "2026-12-08T08:00:00.000Z", many, error)) << error;
    EXPECT_FALSE(store->Complete(999, records::kResultOk, "", "2026-12-08T08:00:00.000Z", one, error));
    EXPECT_EQ(error, "records store " + store->Name() + ": no record 999");

    records::Filter all, measured, deep;
    measured.measurements = deep.measurements = true;
    // A page after the newest two: its own measurements, no others.
    deep.limit = 2;
    deep.belowStarted = "2026-12-08T08:02:00.000Z";
    deep.belowId = c;
    const struct {
        records::Filter filter;
        std::map<std::int64_t, std::vector<Measurement>> kept;
    } cases[] = {
        {all, {{a, {}}, {b, {}}, {c, {}}, {d, {}}}},
        {measured, {{a, many}, {b, one}, {c, {}}, {d, {}}}},
        {deep, {{a, many}, {b, one}}},
    };
    for (const auto& k : cases) {
        std::map<std::int64_t, std::vector<Measurement>> kept;
        const std::vector<Record> found = store->Query(k.filter, error).value();
        for (const Record& r : found)
            kept[r.id] = r.measurements;
        EXPECT_EQ(kept, k.kept) << k.filter.measurements << k.filter.limit;
    }
}

TEST_P(TestStores, OwnIdsComeFromTheRangeLowestFirstAndNeverTwice)
{
    const std::string place = Place("records.sqlite");
    const auto store = Open(place);
    const auto other = Open(place);
    ASSERT_TRUE(store && other);
    const std::string usedUp = "records store " + store->Name() + ": own ID range 000000010000–000000010003 is used up";
    const struct {
        records::Store* by;
        std::string first, last, current, given, error;
    } steps[] = {
        // A unit whose ID lies in the range keeps it.
        {store.get(), "000000010000", "000000010003", "000000010002", "000000010002", ""},
        {store.get(), "000000010000", "000000010003", "", "000000010000", ""},
        {other.get(), "000000010000", "000000010003", "0000000A0000", "000000010001", ""},
        {store.get(), "000000010000", "000000010003", "not an ID", "000000010003", ""},
        {other.get(), "000000010000", "000000010003", "", "", usedUp},
        {store.get(), "000000010000", "000000010003", "10001", "000000010001", ""},
        // Either case, leading zeros or none.
        {store.get(), "1fffe", "1FFFF", "", "00000001FFFE", ""},
        {store.get(), "2", "1", "", "", "records store " + store->Name() + ": not an own ID range: 2–1 (two IDs of up to 12 hex digits, the first not above the last)"},
        {store.get(), "1234567890ABC", "1234567890ABD", "", "", "records store " + store->Name() + ": not an own ID range: 1234567890ABC–1234567890ABD (two IDs of up to 12 hex digits, the first not above the last)"},
    };
    for (const auto& s : steps) {
        std::string error;
        const std::optional<std::string> given = s.by->TakeOwnId(s.first, s.last, s.current, error);
        EXPECT_EQ(given.value_or(""), s.given) << s.first << " " << s.current;
        EXPECT_EQ(given ? "" : error, s.error) << s.first << " " << s.current;
    }
}

// Two stations on one place, each giving units their IDs at once.
TEST_P(TestStores, TwoStoresTakingAtOnceNeverGetTheSameId)
{
    const std::string place = Place("records.sqlite");
    constexpr int kEach = 25;
    std::vector<std::string> given[2];
    const auto take = [&](std::vector<std::string>& mine) {
        std::string error;
        const auto store = records::OpenStore(place, error);
        ASSERT_TRUE(store) << error;
        for (int i = 0; i < kEach; ++i) {
            const auto id = store->TakeOwnId("000000000500", "000000000531", "", error);
            ASSERT_TRUE(id) << error;
            mine.push_back(*id);
        }
    };
    std::thread a(take, std::ref(given[0])), b(take, std::ref(given[1]));
    a.join();
    b.join();
    std::set<std::string> each(given[0].begin(), given[0].end());
    each.insert(given[1].begin(), given[1].end());
    EXPECT_EQ(each.size(), 2u * kEach);
    EXPECT_EQ(*each.begin(), "000000000500");
    EXPECT_EQ(*each.rbegin(), "000000000531");
    std::string error;
    EXPECT_FALSE(Open(place)->TakeOwnId("500", "531", "", error));
}

// Units counted by their latest test that says something of them; every
// test counted in its period; the measurements that failed most.
TEST_P(TestStores, TheYieldCountsEachUnitByItsLatestTest)
{
    const auto store = Open(Place("records.sqlite"));
    ASSERT_TRUE(store);
    const std::string day1 = "2026-12-08T", day2 = "2026-12-09T";
    std::vector<Measurement> eleven;
    for (int i = 1; i <= 11; ++i)
        eleven.push_back(Failed((i < 10 ? "m0" : "m") + std::to_string(i)));
    using records::kResultOk, records::kResultFailed, records::kResultError;
    // A failed, then passed on its retest.
    Tested(*store, day1 + "08:00:00.000Z", "0A", kResultFailed, {Failed("rssi"), Passed("voltage")});
    Tested(*store, day1 + "09:00:00.000Z", "0A", kResultOk, {Passed("rssi")});
    // B passed, then dropped out of a test after one that was stopped.
    Tested(*store, day1 + "10:00:00.000Z", "0B", kResultOk);
    Tested(*store, day2 + "00:30:00.000Z", "0B", records::kResultStopped, {Failed("rssi")});
    Tested(*store, day2 + "01:00:00.000Z", "0B", kResultError);
    // C failed, then its retest was cut short.
    Tested(*store, day2 + "02:00:00.000Z", "0C", kResultFailed, {Failed("rssi"), Failed("version")});
    Tested(*store, day2 + "03:00:00.000Z", "0C", records::kResultInterrupted);
    // Units that never answered, each a unit of its own.
    Tested(*store, day1 + "11:00:00.000Z", "", kResultFailed, eleven);
    Tested(*store, day2 + "04:00:00.000Z", "", kResultFailed, {Failed("current")});
    Tested(*store, day2 + "05:00:00.000Z", "", kResultOk);
    // Not a test.
    Tested(*store, day2 + "06:00:00.000Z", "0D", kResultOk, {}, records::kActionWrite);

    const std::vector<Summary::Failing> mostOfAll{{"rssi", 3}, {"current", 1}, {"m01", 1}, {"m02", 1}, {"m03", 1},
                                                  {"m04", 1},  {"m05", 1},     {"m06", 1}, {"m07", 1}, {"m08", 1}};
    const auto filter = [](std::string unit, std::string since, std::string before) {
        records::Filter f;
        f.unit = unit;
        f.since = since;
        f.before = before;
        // A summary counts every test selected, whatever the page.
        f.limit = 1;
        return f;
    };
    const struct {
        const char* what;
        records::Filter filter;
        records::By by;
        Summary summary;
    } cases[] = {
        {"all by day", {}, records::By::Day,
         {6, 2, 4, 2.0 / 6, {{"2026-12-08", 2, 2}, {"2026-12-09", 1, 3}}, mostOfAll}},
        {"all by hour", {}, records::By::Hour,
         {6, 2, 4, 2.0 / 6,
          {{"2026-12-08T08:00", 0, 1}, {"2026-12-08T09:00", 1, 0}, {"2026-12-08T10:00", 1, 0},
           {"2026-12-08T11:00", 0, 1}, {"2026-12-09T01:00", 0, 1}, {"2026-12-09T02:00", 0, 1},
           {"2026-12-09T04:00", 0, 1}, {"2026-12-09T05:00", 1, 0}},
          mostOfAll}},
        {"the second day", filter("", day2 + "00:00:00.000Z", ""), records::By::Day,
         {4, 1, 3, 1.0 / 4, {{"2026-12-09", 1, 3}}, {{"rssi", 2}, {"current", 1}, {"version", 1}}}},
        {"one unit", filter("0A", "", ""), records::By::Day, {1, 1, 0, 1.0, {{"2026-12-08", 1, 1}}, {{"rssi", 1}}}},
        // A retest after it is not among the tests selected.
        {"before the retest", filter("", "", day1 + "09:00:00.000Z"), records::By::Day,
         {1, 0, 1, 0.0, {{"2026-12-08", 0, 1}}, {{"rssi", 1}}}},
        {"none", filter("FFFFFFFFFFFF", "", ""), records::By::Day, {}},
    };
    for (const auto& c : cases) {
        std::string error;
        const std::optional<Summary> got = store->Summarize(c.filter, c.by, error);
        ASSERT_TRUE(got) << error;
        EXPECT_EQ(*got, c.summary) << c.what;
    }
}

// What a job hands the recorder reaches the store; with records off there
// is nothing to keep two stations from giving out one own ID.
TEST_F(Records, TheRecorderKeepsALabelMeasurementsAndOwnIds)
{
    std::string error;
    EXPECT_FALSE(jobs::Recorder().TakeOwnId("1", "2", "", error));
    EXPECT_EQ(error, "an own-ID range needs a records store");

    const std::shared_ptr<records::Store> store = Open((dir_ / "records.sqlite").string());
    ASSERT_TRUE(store);
    const jobs::Recorder recorder(store, {}, (dir_ / "outbox.jsonl").string());
    Record begun;
    const auto id = recorder.Begin("/dev/ttyUSB0", records::kActionTest, "", "", error, &begun, "SN-7");
    ASSERT_TRUE(id) << error;
    EXPECT_EQ(begun.label, "SN-7");
    const std::vector<Measurement> measured{Passed("rssi"), Failed("current")};
    EXPECT_EQ(recorder.Complete(*id, records::kResultFailed, "current", measured, error, "00000000000A"),
              jobs::Kept::Stored)
        << error;
    records::Filter f;
    f.measurements = true;
    const std::vector<Record> kept = store->Query(f, error).value();
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(std::tie(kept[0].label, kept[0].unitId, kept[0].measurements),
              std::tie("SN-7", "00000000000A", measured));
    EXPECT_EQ(recorder.TakeOwnId("1", "2", "", error).value_or(error), "000000000001");
}

// A store the tool made before it kept labels, measurements and own IDs.
std::string VersionOne(const std::string& place)
{
    if (place.rfind("postgresql://", 0) == 0)
        return Sql(place, Contents(DTU_TEST_DATA "/records-v1-postgres.sql")).empty() ? place : "";
    fs::copy_file(DTU_TEST_DATA "/records-v1.sqlite", place);
    return place;
}

int KeptVersion(const std::string& place)
{
    int version = -1;
    if (place.rfind("postgresql://", 0) == 0) {
        PGconn* c = PQconnectdb(place.c_str());
        PGresult* r = PQexec(c, "SELECT version FROM records_schema");
        if (PQresultStatus(r) == PGRES_TUPLES_OK && PQntuples(r) == 1)
            version = std::atoi(PQgetvalue(r, 0, 0));
        PQclear(r);
        PQfinish(c);
        return version;
    }
    sqlite3* db = nullptr;
    sqlite3_stmt* s = nullptr;
    if (sqlite3_open(place.c_str(), &db) == SQLITE_OK &&
        sqlite3_prepare_v2(db, "PRAGMA user_version", -1, &s, nullptr) == SQLITE_OK && sqlite3_step(s) == SQLITE_ROW)
        version = sqlite3_column_int(s, 0);
    sqlite3_finalize(s);
    sqlite3_close(db);
    return version;
}

TEST_P(TestStores, AStoreOfTheFirstSchemaIsBroughtUpToDateKeepingEveryRecord)
{
    const std::string place = VersionOne(Place("v1.sqlite"));
    ASSERT_NE(place, "");
    ASSERT_EQ(KeptVersion(place), GetParam() == records::Place::Kind::File ? 0 : -1);
    // Two programs opening it at once: one brings it up to date, the other
    // finds it done.
    std::unique_ptr<records::Store> opened[2];
    std::string errors[2];
    std::thread a([&] { opened[0] = records::OpenStore(place, errors[0]); });
    std::thread b([&] { opened[1] = records::OpenStore(place, errors[1]); });
    a.join();
    b.join();
    ASSERT_TRUE(opened[0] && opened[1]) << errors[0] << errors[1];
    EXPECT_EQ(KeptVersion(place), 2);

    // As tests/data/records-v1.sqlite holds them.
    const struct {
        std::string started, ended, operatorName, port, unit, result, detail;
    } was[] = {
        {"2026-12-09T11:54:19.873Z", "", "zhang.min", "/dev/pts/3", "", "interrupted", ""},
        {"2026-12-09T11:54:09.893Z", "2026-12-09T11:54:09.895Z", "li.wei", "/dev/nonexistent-tty", "", "failed",
         "Device /dev/nonexistent-tty not found."},
        {"2026-12-09T11:54:04.876Z", "2026-12-09T11:54:09.879Z", "li.wei", "/dev/pts/0", "000000000001", "ok", ""},
        {"2026-12-09T11:53:59.858Z", "2026-12-09T11:54:04.860Z", "li.wei", "/dev/pts/0", "000000000001", "ok", ""},
    };
    std::string error;
    const std::vector<Record> kept = opened[0]->Query({}, error).value();
    ASSERT_EQ(kept.size(), std::size(was)) << error;
    for (std::size_t i = 0; i < kept.size(); ++i) {
        const Record& r = kept[i];
        EXPECT_EQ(r.id, static_cast<std::int64_t>(std::size(was) - i));
        EXPECT_EQ(std::tie(r.started, r.ended, r.operatorName, r.port, r.unitId, r.result, r.detail),
                  std::tie(was[i].started, was[i].ended, was[i].operatorName, was[i].port, was[i].unit,
                           was[i].result, was[i].detail));
        EXPECT_EQ(std::tie(r.station, r.program, r.action, r.label), std::tie("vm", "dtuctl 0.1.0", "read", ""));
    }
    // What the first schema could not keep.
    const std::int64_t id = Tested(*opened[1], "2026-12-10T00:00:00.000Z", "0A", records::kResultOk, {Passed("rssi")});
    records::Filter test;
    test.label = "SN-0A";
    test.measurements = true;
    const std::vector<Record> found = opened[0]->Query(test, error).value();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].id, id);
    EXPECT_EQ(found[0].measurements, std::vector<Measurement>{Passed("rssi")});
    EXPECT_EQ(opened[0]->TakeOwnId("1", "2", "", error).value_or(error), "000000000001");
}

// A store a newer program made is refused, and nothing is written to it.
TEST_P(TestStores, AStoreOfANewerSchemaIsRefusedAndLeftAsItIs)
{
    const std::string place = Place("records.sqlite");
    const bool file = GetParam() == records::Place::Kind::File;
    ASSERT_TRUE(Open(place));
    // As a newer schema might be: a table gone, its version higher, even
    // its journal another.
    ASSERT_EQ(Sql(place, file ? "DROP TABLE own_ids; PRAGMA user_version = 3; PRAGMA journal_mode = DELETE"
                              : "DROP TABLE own_ids; UPDATE records_schema SET version = 3"),
              "");
    const std::string before = file ? Contents(place) : "";
    std::string error;
    EXPECT_FALSE(records::OpenStore(place, error));
    EXPECT_EQ(error, "records store " + place +
                         ": made by a newer version of the tool (its schema is version 3; this one knows up to 2)");
    EXPECT_EQ(KeptVersion(place), 3);
    if (file)
        EXPECT_TRUE(Contents(place) == before) << "the file was written to";
    else
        EXPECT_NE(Sql(place, "SELECT 1 FROM own_ids"), "");
}

}  // namespace
