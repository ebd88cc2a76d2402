// The records in an SQLite file and in a PostgreSQL database: what is
// begun and completed comes back through every filter, two writers lose
// nothing, and a place that cannot be used is refused with its name (a
// password hidden) and the cause.
#include "core/records/Place.h"
#include "core/records/Record.h"
#include "driver/records/Outbox.h"
#include "driver/records/Store.h"
#include "tests/records/Stores.h"
#include "tests/support/Listener.h"
#include "tests/support/Postgres.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace storetest;

INSTANTIATE_TEST_SUITE_P(Kinds, Stores, ::testing::Values(records::Place::Kind::File, records::Place::Kind::Postgres),
                         KindName);

TEST_P(Stores, BegunAndCompletedComeBackThroughEachFilter)
{
    const auto store = Open(Place("new/folder/records.sqlite"));
    ASSERT_TRUE(store);
    std::string error;
    // Every column distinct; a begun record is interrupted and open, whatever it says.
    Record full{0, "2026-12-08T08:00:00.000Z", "x", "bench-1", "li", "dtuctl 0.1.0", "/dev/ttyUSB0",
                "/dev/serial/by-id/usb-A1", "upgrade", "A1", "SN-0001", "V1.2", "p.toml", "aa", "app.bin", "bb",
                4096, "app", "ok", "a, \"quoted\"\ndetail", {}};
    const auto first = store->Begin(full, error);
    ASSERT_TRUE(first) << error;
    full.id = *first;
    full.ended.clear();
    full.result = records::kResultInterrupted;
    EXPECT_EQ(store->Query({}, error).value(), std::vector<Record>{full});

    const std::int64_t second = store->Begin(Begun("2026-12-08T09:00:00.000Z", "B2", "/dev/ttyUSB1"), error).value();
    const std::int64_t third = store->Begin(Begun("2026-12-09T00:00:00.000Z", "A1", "rfc2217://h:7000"), error).value();
    const std::int64_t fourth = store->Begin(Begun("2026-12-09T10:00:00.000Z", "", "/dev/ttyUSB0"), error).value();
    ASSERT_TRUE(store->Complete(*first, records::kResultOk, "done", "2026-12-08T08:01:00.000Z", error)) << error;
    ASSERT_TRUE(store->Complete(second, records::kResultFailed, "no answer", "2026-12-08T09:00:05.000Z", error));
    ASSERT_TRUE(store->Complete(fourth, records::kResultStopped, "", "2026-12-09T10:00:01.000Z", error));

    const struct {
        records::Filter filter;
        std::vector<std::int64_t> ids;
    } cases[] = {
        // unit, port, result, since, before, limit, below started and id, text, label, measurements
        {{"", "", "", "", "", 0, "", 0, "", "", false}, {fourth, third, second, *first}},
        {{"A1", "", "", "", "", 0, "", 0, "", "", false}, {third, *first}},
        {{"", "/dev/ttyUSB0", "", "", "", 0, "", 0, "", "", false}, {fourth, *first}},
        {{"", "/dev/serial/by-id/usb-B2", "", "", "", 0, "", 0, "", "", false}, {second}},
        {{"", "", "interrupted", "", "", 0, "", 0, "", "", false}, {third}},
        {{"", "", "", "2026-12-09T00:00:00.000Z", "", 0, "", 0, "", "", false}, {fourth, third}},
        {{"", "", "", "", "2026-12-09T00:00:00.000Z", 0, "", 0, "", "", false}, {second, *first}},
        {{"A1", "", "ok", "", "", 0, "", 0, "", "", false}, {*first}},
        {{"", "", "", "", "", 2, "", 0, "", "", false}, {fourth, third}},
        // After a record, newest first: the same start goes by the id.
        {{"", "", "", "", "", 0, "2026-12-09T00:00:00.000Z", third, "", "", false}, {second, *first}},
        {{"", "", "", "", "", 0, "2026-12-09T00:00:00.000Z", third + 1, "", "", false}, {third, second, *first}},
        {{"", "", "", "", "", 1, "2026-12-08T09:00:00.000Z", second, "", "", false}, {*first}},
        // Any case, in unit, port, action, result or detail; % and _ are letters.
        {{"", "", "", "", "", 0, "", 0, "a1", "", false}, {third, *first}},
        {{"", "", "", "", "", 0, "", 0, "ANSWER", "", false}, {second}},
        {{"", "", "", "", "", 0, "", 0, "stop", "", false}, {fourth}},
        {{"", "", "", "", "", 0, "", 0, "h:70", "", false}, {third}},
        {{"", "", "", "", "", 0, "", 0, "upgrade", "", false}, {fourth, third, second, *first}},
        {{"", "", "", "", "", 0, "", 0, "_", "", false}, {}},
        {{"", "", "", "", "", 0, "", 0, "%", "", false}, {}},
        {{"", "", "", "", "", 1, "2026-12-09T00:00:00.000Z", third, "a1", "", false}, {*first}},
        // The printed label, exactly, and in the text.
        {{"", "", "", "", "", 0, "", 0, "", "SN-0001", false}, {*first}},
        {{"", "", "", "", "", 0, "", 0, "", "SN-000", false}, {}},
        {{"", "", "", "", "", 0, "", 0, "sn-0001", "", false}, {*first}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Ids(store->Query(c.filter, error).value()), c.ids) << c.filter.unit << c.filter.port
                                                                      << c.filter.result << c.filter.limit
                                                                      << c.filter.belowId << c.filter.text;
    const Record done = store->Query(cases[7].filter, error).value().at(0);
    EXPECT_EQ(done.ended, "2026-12-08T08:01:00.000Z");
    EXPECT_EQ(done.detail, "done");

    EXPECT_FALSE(store->Complete(99, records::kResultOk, "", "", error));
    EXPECT_EQ(error, "records store " + store->Name() + ": no record 99");
    EXPECT_FALSE(store->Complete(second, "fine", "", "", error));
}

// The window and a dtuctl run on one place: every record kept once, each completed.
TEST_P(Stores, TwoStoresOnOnePlaceWritingAtOnceKeepEveryRecord)
{
    const std::string path = Place("records.sqlite");
    constexpr int kEach = 40;
    const auto write = [&](const std::string& port) {
        std::string error;
        const auto store = records::OpenStore(path, error);
        ASSERT_TRUE(store) << error;
        for (int i = 0; i < kEach; ++i) {
            const auto id = store->Begin(Begun(records::IsoTime(i), "C3", port), error);
            ASSERT_TRUE(id) << error;
            ASSERT_TRUE(store->Complete(*id, records::kResultOk, port, records::IsoTime(i + 1), error)) << error;
        }
    };
    std::thread a(write, "/dev/ttyUSB0"), b(write, "/dev/ttyUSB1");
    a.join();
    b.join();
    std::string error;
    const auto all = Open(path)->Query({}, error).value();
    ASSERT_EQ(all.size(), 2u * kEach);
    std::set<std::pair<std::string, std::string>> each;
    for (const Record& r : all) {
        EXPECT_EQ(r.result, "ok");
        EXPECT_EQ(r.detail, r.port);
        each.emplace(r.port, r.started);
    }
    EXPECT_EQ(each.size(), 2u * kEach);
}

// Root passes any permission, so the open is tried as nobody where it must.
std::string OpenAs(bool nobody, const std::string& path)
{
    std::string error;
    if (!nobody || ::geteuid() != 0) {
        records::OpenStore(path, error);
        return error;
    }
    int pipe[2];
    if (::pipe(pipe) != 0)
        return "no pipe";
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipe[0]);
        if (::setgid(65534) == 0 && ::setuid(65534) == 0)
            records::OpenStore(path, error);
        else
            error = "no setuid";
        const ssize_t written = ::write(pipe[1], error.data(), error.size());
        ::_exit(written < 0);
    }
    ::close(pipe[1]);
    char buffer[512];
    ssize_t n;
    while ((n = ::read(pipe[0], buffer, sizeof buffer)) > 0)
        error.append(buffer, static_cast<std::size_t>(n));
    ::close(pipe[0]);
    ::waitpid(child, nullptr, 0);
    return error;
}

// Ends the store could not take wait in the outbox, with a test's
// measurements, survive a line cut short by a crash, and reach their own
// store once, when it answers; a line the version before measurements wrote
// still reads.
TEST_P(Stores, EndsThatWaitedReachTheirStoreOnceItAnswers)
{
    const auto store = Open(Place("waiting.sqlite"));
    ASSERT_TRUE(store);
    std::string error;
    const auto a = store->Begin(Begun("2026-12-08T08:00:00.000Z", "", "/dev/ttyUSB0"), error);
    const auto b = store->Begin(Begun("2026-12-08T08:00:01.000Z", "", "/dev/ttyUSB1"), error);
    ASSERT_TRUE(a && b) << error;
    const records::Outbox outbox((dir_ / "outbox.jsonl").string());
    const std::vector<records::Measurement> measured{{"rssi", "-71.5", "dBm", -90.0, std::nullopt, "", true},
                                                     {"version", "V2.4", "", std::nullopt, std::nullopt, "V2.*", true}};
    records::Pending ends[] = {
        {store->Name(), *a, "ok", "", "2026-12-08T08:01:00.000Z", "AABBCCDDEEFF", "V2.4", measured},
        // A record the store does not hold holds up none after it.
        {store->Name(), 999, "ok", "", "2026-12-08T08:01:03.000Z", "", "", {}},
        {"/elsewhere/records.sqlite", 7, "ok", "", "2026-12-08T08:01:02.000Z", "", "", {}},
        {store->Name(), *b, "failed", "no answer to image block 3", "2026-12-08T08:01:01.000Z", "", "", {}},
    };
    for (std::size_t i = 0; i < 3; ++i)
        ASSERT_TRUE(outbox.Add(ends[i], error)) << error;
    std::ofstream(outbox.Path(), std::ios::app)
        << "{\"detail\":\"no answer to image block 3\",\"ended\":\"2026-12-08T08:01:01.000Z\",\"id\":" << *b
        << ",\"result\":\"failed\",\"store\":\"" << store->Name() << "\",\"unit_id\":\"\",\"version\":\"\"}\n"
        << "{\"store\": \"" << store->Name() << "\", \"id\": ";
    EXPECT_EQ(outbox.All().at(0), ends[0]);
    EXPECT_EQ(outbox.Waiting(store->Name()), 3u);

    if (GetParam() == records::Place::Kind::Postgres) {
        pgtest::Stop();
        EXPECT_EQ(outbox.Deliver(*store), 3u);
        ASSERT_TRUE(pgtest::Start(error)) << error;
    }
    EXPECT_EQ(outbox.Deliver(*store), 1u);
    EXPECT_EQ(outbox.All(), (std::vector<records::Pending>{ends[1], ends[2]}));

    records::Filter measurements;
    measurements.measurements = true;
    const auto kept = store->Query(measurements, error);
    ASSERT_TRUE(kept) << error;
    ASSERT_EQ(kept->size(), 2u);
    const Record& first = kept->back();
    EXPECT_EQ(first.result, "ok");
    EXPECT_EQ(first.ended, ends[0].ended);
    EXPECT_EQ(first.unitId, "AABBCCDDEEFF");
    EXPECT_EQ(first.version, "V2.4");
    EXPECT_EQ(first.measurements, measured);
    EXPECT_EQ(kept->front().result, "failed");
    EXPECT_EQ(kept->front().detail, ends[3].detail);
    EXPECT_EQ(kept->front().measurements, std::vector<records::Measurement>{});
}

TEST_F(Records, WhatCannotBeUsedIsRefusedWithItsPathAndCause)
{
    // A store whose folder became read-only: the file is writable, but its -wal is not.
    Open((dir_ / "wal-folder/records.sqlite").string());
    fs::permissions(dir_ / "wal-folder/records.sqlite", fs::perms(0666));
    fs::permissions(dir_ / "wal-folder", fs::perms(0555));
    fs::create_directory(dir_ / "read-only");
    fs::permissions(dir_ / "read-only", fs::perms(0555));
    std::ofstream(dir_ / "corrupt.sqlite") << std::string(4096, 'x');
    std::ofstream(dir_ / "file") << "x";
    const struct {
        std::string path;
        bool asNobody;
        std::string cause;
    } cases[] = {
        {(dir_ / "read-only/records.sqlite").string(), true, "cannot open the file (Permission denied)"},
        {(dir_ / "wal-folder/records.sqlite").string(), true,
         "cannot write in its folder (Permission denied), where the -wal and -shm files go"},
        {(dir_ / "corrupt.sqlite").string(), false, "file is not a database"},
        {dir_.string(), false, "is a folder, not a records file"},
        {(dir_ / "file/records.sqlite").string(), false,
         "cannot make the folder " + (dir_ / "file").string() + " (Not a directory)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(OpenAs(c.asNobody, c.path), "records store " + c.path + ": " + c.cause);
}

// A shared database that cannot be used is refused plainly; the store is
// named with its password hidden, wherever libpq would repeat it.
TEST(PostgresStore, RefusalsSayWhyAndHideThePassword)
{
    const std::string url = Database();
    ASSERT_NE(url, "");
    const std::string db = url.substr(url.find('@') + 1);  // 127.0.0.1:PORT/records_N
    const std::string server = db.substr(0, db.find('/'));
    const std::string guarded = std::string("postgresql://") + pgtest::kRole;
    const std::string nothing = "127.0.0.1:" + std::to_string(FreePort());
    const Listener silent;
    const std::string mute = "127.0.0.1:" + std::to_string(silent.port());
    const struct {
        std::string url, shown, cause;
    } cases[] = {
        {"postgresql://postgres@" + nothing + "/records", "", "connection refused: nothing listens at " + nothing},
        {"postgresql://postgres@" + mute + "/r?connect_timeout=2", "", "no answer from " + mute + " within 2 s"},
        {guarded + ":wrong-pw@" + db, guarded + ":***@" + db, "authentication failed for user keeper"},
        {guarded + "@" + db + "?password=wrong-pw", guarded + "@" + db + "?password=***",
         "authentication failed for user keeper"},
        {guarded + "@" + db, "", "the server asks keeper for a password: give it in the URL, ~/.pgpass or PGPASSWORD"},
        {"postgresql://postgres@" + server + "/missing", "", "no database missing on the server"},
        {guarded + ":wrong-pw@[::1/r", guarded + ":***@[::1/r",
         "end of string reached when looking for matching \"]\" in IPv6 host address in URI: \"" + guarded +
             ":***@[::1/r\""},
    };
    std::string error;
    for (const auto& c : cases) {
        EXPECT_FALSE(records::OpenStore(c.url, error));
        EXPECT_EQ(error, "records store " + (c.shown.empty() ? c.url : c.shown) + ": " + c.cause);
    }
    const auto store = records::OpenStore(guarded + ":" + pgtest::kPassword + "@" + db, error);
    ASSERT_TRUE(store) << error;
    EXPECT_EQ(store->Name(), guarded + ":***@" + db);
}

// A window open for days outlives a restart of the server.
TEST(PostgresStore, ALostConnectionIsOpenedAgainOnTheNextCall)
{
    const std::string url = Database();
    std::string error;
    const auto store = records::OpenStore(url, error);
    ASSERT_TRUE(store) << error;
    const Record r = Begun("2026-12-08T08:00:00.000Z", "D4", "/dev/ttyUSB0");
    const std::int64_t first = store->Begin(r, error).value();
    pgtest::Stop();
    EXPECT_FALSE(store->Begin(r, error));
    const std::string server = url.substr(url.find('@') + 1, url.rfind('/') - url.find('@') - 1);  // 127.0.0.1:PORT
    EXPECT_EQ(error, "records store " + url + ": connection refused: nothing listens at " + server);
    ASSERT_TRUE(pgtest::Start(error)) << error;
    const auto second = store->Begin(r, error);
    ASSERT_TRUE(second) << error;
    EXPECT_TRUE(store->Complete(*second, records::kResultOk, "", "2026-12-08T08:00:01.000Z", error)) << error;
    EXPECT_EQ(Ids(store->Query({}, error).value()), (std::vector<std::int64_t>{*second, first}));
}

TEST(RecordsTime, IsoTimesNameTheirSpanInUtc)
{
    const struct {
        std::string text, first, end;
    } cases[] = {
        {"2026-12-08", "2026-12-08T00:00:00.000Z", "2026-12-09T00:00:00.000Z"},
        {"2026-12-31T23:59", "2026-12-31T23:59:00.000Z", "2027-01-01T00:00:00.000Z"},
        {"2026-12-08T08:40:12Z", "2026-12-08T08:40:12.000Z", "2026-12-08T08:40:13.000Z"},
        {"2026-12-08T08:40:12.345+08:00", "2026-12-08T00:40:12.345Z", "2026-12-08T00:40:12.346Z"},
        {"2026-12-08 08:40:12.3-0130", "2026-12-08T10:10:12.300Z", "2026-12-08T10:10:12.400Z"},
        {"2024-02-29", "2024-02-29T00:00:00.000Z", "2024-03-01T00:00:00.000Z"},
    };
    for (const auto& c : cases) {
        const auto span = records::ParseIsoTime(c.text);
        ASSERT_TRUE(span) << c.text;
        EXPECT_EQ(records::IsoTime(span->first), c.first) << c.text;
        EXPECT_EQ(records::IsoTime(span->end), c.end) << c.text;
    }
    for (const char* bad : {"", "2026-12", "2026-13-01", "2026-02-29", "2026-12-08T24:00", "2026-12-08T08:40:12.",
                            "2026-12-08T08:40+25:00", "2026-12-08 x"})
        EXPECT_FALSE(records::ParseIsoTime(bad)) << bad;
}

}  // namespace
