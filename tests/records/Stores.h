// What the store tests share: a folder of their own, a fresh database, and
// a test run on each kind of store.
#pragma once

#include "core/records/Place.h"
#include "core/records/Record.h"
#include "driver/records/Store.h"
#include "tests/support/Postgres.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace storetest {

namespace fs = std::filesystem;
using records::Record;

class Records : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/records-test-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir_ = pattern;
        // Another user must reach the read-only folder to be refused by it.
        fs::permissions(dir_, fs::perms(0711));
    }
    void TearDown() override
    {
        // The read-only folders are the test's own to remove.
        for (const auto& entry : fs::recursive_directory_iterator(dir_))
            if (entry.is_directory())
                fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(dir_);
    }

    std::unique_ptr<records::Store> Open(const std::string& path)
    {
        std::string error;
        auto store = records::OpenStore(path, error);
        EXPECT_TRUE(store) << error;
        return store;
    }

    fs::path dir_;
};

// postgresql://postgres@127.0.0.1:PORT/records_N
inline std::string Database()
{
    std::string error;
    const std::string url = pgtest::FreshDatabase(error);
    EXPECT_NE(url, "") << error;
    return url;
}

// Each kind of store the tool writes to.
class Stores : public Records, public ::testing::WithParamInterface<records::Place::Kind> {
protected:
    // A new place: `file` in the test's folder, or a fresh database.
    std::string Place(const std::string& file)
    {
        return GetParam() == records::Place::Kind::File ? (dir_ / file).string() : Database();
    }
};

inline Record Begun(const std::string& started, const std::string& unit, const std::string& port)
{
    Record r;
    r.started = started;
    r.unitId = unit;
    r.port = port;
    r.portId = "/dev/serial/by-id/usb-" + unit;
    r.action = records::kActionUpgrade;
    return r;
}

inline std::vector<std::int64_t> Ids(const std::vector<Record>& found)
{
    std::vector<std::int64_t> ids;
    for (const Record& r : found)
        ids.push_back(r.id);
    return ids;
}

inline std::string KindName(const ::testing::TestParamInfo<records::Place::Kind>& kind)
{
    return kind.param == records::Place::Kind::File ? "Sqlite" : "Postgres";
}

}  // namespace storetest
