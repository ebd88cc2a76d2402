#include "driver/records/SqliteStore.h"

#include "core/records/Sql.h"
#include "driver/records/Messages.h"

#include <sqlite3.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <mutex>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <unordered_map>

namespace records {

using text::Fill;

namespace {

// Long enough for another writer's fsync on a slow card; a job waits no
// longer than that to be recorded.
constexpr int kBusyMs = 10000;

struct Finalize {
    void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};
using Prepared = std::unique_ptr<sqlite3_stmt, Finalize>;

// Resets a statement for its next use, whatever happened.
struct ResetOnExit {
    sqlite3_stmt* s;
    ~ResetOnExit()
    {
        sqlite3_reset(s);
        sqlite3_clear_bindings(s);
    }
};

std::string SystemCause(int err)
{
    return std::generic_category().message(err);
}

std::string Cause(sqlite3* db)
{
    std::string text = db ? sqlite3_errmsg(db) : msg::kOutOfMemory;
    const int err = db ? sqlite3_system_errno(db) : 0;
    if (db && (sqlite3_errcode(db) & 0xff) == SQLITE_IOERR && err != 0)
        text.append(" (").append(SystemCause(err)).append(")");
    return text;
}

int Bind(sqlite3_stmt* s, int index, const Value& v)
{
    if (const auto* n = std::get_if<std::int64_t>(&v))
        return sqlite3_bind_int64(s, index, *n);
    if (const auto* x = std::get_if<double>(&v))
        return sqlite3_bind_double(s, index, *x);
    if (const auto* text = std::get_if<std::string>(&v))
        return sqlite3_bind_text(s, index, text->data(), static_cast<int>(text->size()), SQLITE_TRANSIENT);
    return sqlite3_bind_null(s, index);
}

Value Read(sqlite3_stmt* s, int index)
{
    switch (sqlite3_column_type(s, index)) {
    case SQLITE_NULL:
        return {};
    case SQLITE_INTEGER:
        return static_cast<std::int64_t>(sqlite3_column_int64(s, index));
    case SQLITE_FLOAT:
        return sqlite3_column_double(s, index);
    default: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(s, index));
        return std::string(text ? text : "", static_cast<std::size_t>(sqlite3_column_bytes(s, index)));
    }
    }
}

class SqliteStore final : public Store {
public:
    explicit SqliteStore(std::string path) : path_(std::move(path)) {}
    ~SqliteStore() override
    {
        insert_.reset();
        complete_.reset();
        identify_.reset();
        measurement_.reset();
        sqlite3_close_v2(db_);
    }

    bool Open(std::string& error);

    const std::string& Name() const override { return path_; }
    std::optional<std::int64_t> Begin(const Record& r, std::string& error) override;
    bool Identify(std::int64_t id, const std::string& unitId, const std::string& version,
                  std::string& error) override;
    using Store::Complete;
    bool Complete(std::int64_t id, std::string_view result, const std::string& detail, const std::string& ended,
                  const std::vector<Measurement>& measurements, std::string& error) override;
    std::optional<std::vector<Record>> Query(const Filter& f, std::string& error) override;
    std::optional<Summary> Summarize(const Filter& f, By by, std::string& error) override;
    std::optional<std::string> TakeOwnId(const std::string& first, const std::string& last,
                                         const std::string& current, std::string& error) override;

private:
    std::string Fail(const std::string& cause) const { return Fill(msg::kStore, {path_, cause}); }
    Prepared Prepare(const std::string& sql, unsigned flags, std::string& error);
    bool Exec(const char* sql, std::string& error);
    // Runs an UPDATE of one record, its values bound in order, the key last;
    // the lock held.
    bool Change(sqlite3_stmt* s, const std::vector<Value>& values, std::string& error);
    // Runs `s` with `values` bound in order, each row's columns given to
    // `row`; the lock held.
    bool Rows(sqlite3_stmt* s, const std::vector<Value>& values, const std::function<void(sqlite3_stmt*)>& row,
              std::string& error);
    bool Select(const Statement& query, const std::function<void(sqlite3_stmt*)>& row, std::string& error);
    // The schema's version in the file: 0 for a new file, 1 for one made
    // before the file kept its version.
    std::optional<int> Version(std::string& error);
    bool MakeSchema(std::string& error);
    std::string Newer(int version) const
    {
        return Fail(Fill(msg::kNewerSchema, {std::to_string(version), std::to_string(kSchemaVersion)}));
    }

    const std::string path_;
    sqlite3* db_ = nullptr;
    // One connection: its statements and error texts are one thread's at a time.
    std::mutex lock_;
    Prepared insert_, complete_, identify_, measurement_;
};

Prepared SqliteStore::Prepare(const std::string& sql, unsigned flags, std::string& error)
{
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v3(db_, sql.c_str(), static_cast<int>(sql.size()), flags, &s, nullptr) != SQLITE_OK) {
        error = Fail(Cause(db_));
        sqlite3_finalize(s);
        return nullptr;
    }
    return Prepared(s);
}

bool SqliteStore::Exec(const char* sql, std::string& error)
{
    if (sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK)
        return true;
    error = Fail(Cause(db_));
    return false;
}

bool SqliteStore::Open(std::string& error)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path parent = fs::path(path_).parent_path();
    if (!parent.empty() && !fs::is_directory(parent, ec)) {
        fs::create_directories(parent, ec);
        if (ec) {
            error = Fail(Fill(msg::kNoFolder, {parent.string(), ec.message()}));
            return false;
        }
    }
    if (fs::is_directory(path_, ec)) {
        error = Fail(msg::kIsAFolder);
        return false;
    }
    // SQLite would say only "unable to open"; the system says why.
    const int fd = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        error = Fail(Fill(msg::kCannotOpen, {SystemCause(errno)}));
        return false;
    }
    ::close(fd);
    if (sqlite3_open_v2(path_.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
        error = Fail(Cause(db_));
        return false;
    }
    sqlite3_extended_result_codes(db_, 1);
    sqlite3_busy_timeout(db_, kBusyMs);
    // A newer program's file is left as it is, its journal mode too. One
    // that cannot be read is said below, where the folder is looked at.
    {
        std::string unread;
        const std::optional<int> version = Version(unread);
        if (version && *version > kSchemaVersion) {
            error = Newer(*version);
            return false;
        }
    }
    // The first read of the file: a corrupt or foreign one fails here. WAL
    // lets readers and one writer work at once. Two stores that open a new
    // file together both switch it to WAL, and SQLite answers one of them
    // "locked" at once, without the busy handler, lest they deadlock.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kBusyMs);
    bool ready;
    while (!(ready = Exec("PRAGMA journal_mode = WAL", error) && Exec("BEGIN IMMEDIATE", error)) &&
           (sqlite3_errcode(db_) & 0xff) == SQLITE_BUSY && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    if (!ready) {
        const std::string folder = parent.empty() ? "." : parent.string();
        const int code = sqlite3_errcode(db_) & 0xff;
        if ((code == SQLITE_CANTOPEN || code == SQLITE_READONLY) && ::access(folder.c_str(), W_OK) != 0)
            error = Fail(Fill(msg::kFolderReadOnly, {SystemCause(errno)}));
        return false;
    }
    if (!MakeSchema(error) || !Exec("COMMIT", error)) {
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        return false;
    }
    insert_ = Prepare(InsertSql(Dialect::Sqlite), SQLITE_PREPARE_PERSISTENT, error);
    complete_ = insert_ ? Prepare(CompleteSql(Dialect::Sqlite), SQLITE_PREPARE_PERSISTENT, error) : nullptr;
    identify_ = complete_ ? Prepare(IdentifySql(Dialect::Sqlite), SQLITE_PREPARE_PERSISTENT, error) : nullptr;
    measurement_ = identify_ ? Prepare(InsertMeasurementSql(), SQLITE_PREPARE_PERSISTENT, error) : nullptr;
    return insert_ && complete_ && identify_ && measurement_;
}

std::optional<int> SqliteStore::Version(std::string& error)
{
    std::optional<int> version;
    const Prepared kept = Prepare("PRAGMA user_version", 0, error);
    if (!kept || !Rows(kept.get(), {}, [&](sqlite3_stmt* s) { version = sqlite3_column_int(s, 0); }, error))
        return std::nullopt;
    if (version == 0) {
        const Prepared table = Prepare("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = 'records'", 0, error);
        bool found = false;
        if (!table || !Rows(table.get(), {}, [&](sqlite3_stmt*) { found = true; }, error))
            return std::nullopt;
        version = found ? 1 : 0;
    }
    return version;
}

// In the transaction that holds the file: of two programs opening an old
// file at once, the second finds it brought up to date by the first.
bool SqliteStore::MakeSchema(std::string& error)
{
    const std::optional<int> version = Version(error);
    if (!version)
        return false;
    if (*version > kSchemaVersion) {
        error = Newer(*version);
        return false;
    }
    if (*version == kSchemaVersion)
        return true;
    for (const std::string& sql : *version == 0 ? SchemaSql(Dialect::Sqlite) : UpgradeSql(Dialect::Sqlite, *version))
        if (!Exec(sql.c_str(), error))
            return false;
    return Exec(std::string("PRAGMA user_version = ").append(std::to_string(kSchemaVersion)).c_str(), error);
}

std::optional<std::int64_t> SqliteStore::Begin(const Record& r, std::string& error)
{
    Record begun = r;
    begun.result = kResultInterrupted;
    begun.ended.clear();
    const std::lock_guard<std::mutex> hold(lock_);
    // A begun record is on the disk before the job goes on: a power cut
    // leaves it interrupted, never missing.
    if (!Exec("PRAGMA synchronous = FULL", error))
        return std::nullopt;
    sqlite3_stmt* s = insert_.get();
    const ResetOnExit reset{s};
    int rc = SQLITE_OK;
    for (std::size_t i = 1; i < kColumns.size() && rc == SQLITE_OK; ++i)
        rc = Bind(s, static_cast<int>(i), Get(begun, kColumns[i]));
    std::optional<std::int64_t> id;
    if (rc == SQLITE_OK) {
        while ((rc = sqlite3_step(s)) == SQLITE_ROW)
            id = sqlite3_column_int64(s, 0);
    }
    if (rc != SQLITE_DONE || !id) {
        error = Fail(Cause(db_));
        return std::nullopt;
    }
    return id;
}

bool SqliteStore::Complete(std::int64_t id, std::string_view result, const std::string& detail,
                           const std::string& ended, const std::vector<Measurement>& measurements,
                           std::string& error)
{
    if (std::find(kResults.begin(), kResults.end(), result) == kResults.end()) {
        error = Fail(Fill(msg::kNotAResult, {std::string(result)}));
        return false;
    }
    const std::lock_guard<std::mutex> hold(lock_);
    // Its end reaches the disk with the next record begun, or the next
    // checkpoint, without a wait of its own: a power cut in between shows
    // the job as interrupted, which claims nothing it did not do.
    if (!Exec("PRAGMA synchronous = NORMAL", error))
        return false;
    if (measurements.empty())
        return Change(complete_.get(), {std::string(result), detail, ended, id}, error);
    if (!Exec("BEGIN IMMEDIATE", error))
        return false;
    bool done = Change(complete_.get(), {std::string(result), detail, ended, id}, error);
    for (std::size_t i = 0; done && i < measurements.size(); ++i) {
        const Measurement& m = measurements[i];
        const auto limit = [](const std::optional<double>& v) { return v ? Value(*v) : Value(); };
        done = Rows(measurement_.get(),
                    {id, static_cast<std::int64_t>(i), m.name, m.value, m.unit, limit(m.low), limit(m.high),
                     m.expected, std::int64_t{m.passed}},
                    [](sqlite3_stmt*) {}, error);
    }
    if (done && Exec("COMMIT", error))
        return true;
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    return false;
}

bool SqliteStore::Identify(std::int64_t id, const std::string& unitId, const std::string& version,
                           std::string& error)
{
    const std::lock_guard<std::mutex> hold(lock_);
    if (!Exec("PRAGMA synchronous = NORMAL", error))
        return false;
    return Change(identify_.get(), {unitId, version, id}, error);
}

bool SqliteStore::Change(sqlite3_stmt* s, const std::vector<Value>& values, std::string& error)
{
    const ResetOnExit reset{s};
    int rc = SQLITE_OK;
    for (std::size_t i = 0; i < values.size() && rc == SQLITE_OK; ++i)
        rc = Bind(s, static_cast<int>(i + 1), values[i]);
    if (rc != SQLITE_OK || sqlite3_step(s) != SQLITE_DONE) {
        error = Fail(Cause(db_));
        return false;
    }
    if (sqlite3_changes(db_) != 1) {
        error = Fail(Fill(msg::kNoRecord, {std::to_string(std::get<std::int64_t>(values.back()))}));
        return false;
    }
    return true;
}

bool SqliteStore::Rows(sqlite3_stmt* s, const std::vector<Value>& values,
                       const std::function<void(sqlite3_stmt*)>& row, std::string& error)
{
    const ResetOnExit reset{s};
    int rc = SQLITE_OK;
    for (std::size_t i = 0; i < values.size() && rc == SQLITE_OK; ++i)
        rc = Bind(s, static_cast<int>(i + 1), values[i]);
    if (rc == SQLITE_OK) {
        while ((rc = sqlite3_step(s)) == SQLITE_ROW)
            row(s);
    }
    if (rc != SQLITE_DONE) {
        error = Fail(Cause(db_));
        return false;
    }
    return true;
}

bool SqliteStore::Select(const Statement& query, const std::function<void(sqlite3_stmt*)>& row, std::string& error)
{
    const Prepared s = Prepare(query.sql, 0, error);
    return s && Rows(s.get(), query.params, row, error);
}

std::optional<std::vector<Record>> SqliteStore::Query(const Filter& f, std::string& error)
{
    const Statement query = QuerySql(Dialect::Sqlite, f);
    const std::lock_guard<std::mutex> hold(lock_);
    std::vector<Record> out;
    const bool read = Select(
        query,
        [&](sqlite3_stmt* s) {
            Record& r = out.emplace_back();
            for (std::size_t i = 0; i < kColumns.size(); ++i)
                Set(r, kColumns[i], Read(s, static_cast<int>(i)));
        },
        error);
    if (!read)
        return std::nullopt;
    if (!f.measurements || out.empty())
        return out;
    std::unordered_map<std::int64_t, Record*> byId;
    for (Record& r : out)
        byId.emplace(r.id, &r);
    const auto text = [](sqlite3_stmt* s, int i) {
        const Value v = Read(s, i);
        const auto* t = std::get_if<std::string>(&v);
        return t ? *t : std::string();
    };
    const auto number = [](sqlite3_stmt* s, int i) {
        return sqlite3_column_type(s, i) == SQLITE_NULL ? std::nullopt
                                                        : std::optional<double>(sqlite3_column_double(s, i));
    };
    const bool measured = Select(
        MeasurementsSql(Dialect::Sqlite, f, out.front(), out.back()),
        [&](sqlite3_stmt* s) {
            const auto r = byId.find(sqlite3_column_int64(s, 0));
            if (r != byId.end())
                r->second->measurements.push_back(
                    {text(s, 2), text(s, 3), text(s, 4), number(s, 5), number(s, 6), text(s, 7),
                     sqlite3_column_int(s, 8) != 0});
        },
        error);
    if (!measured)
        return std::nullopt;
    return out;
}

std::optional<Summary> SqliteStore::Summarize(const Filter& f, By by, std::string& error)
{
    std::vector<SummaryRow> rows;
    const std::lock_guard<std::mutex> hold(lock_);
    const bool read = Select(
        SummarySql(Dialect::Sqlite, f, by),
        [&](sqlite3_stmt* s) {
            const Value name = Read(s, 1);
            rows.push_back({sqlite3_column_int64(s, 0),
                            std::holds_alternative<std::string>(name) ? std::get<std::string>(name) : std::string(),
                            sqlite3_column_int64(s, 2), sqlite3_column_int64(s, 3)});
        },
        error);
    if (!read)
        return std::nullopt;
    return Summarized(rows);
}

std::optional<std::string> SqliteStore::TakeOwnId(const std::string& first, const std::string& last,
                                                  const std::string& current, std::string& error)
{
    const std::optional<std::int64_t> low = OwnIdNumber(first), high = OwnIdNumber(last);
    if (!low || !high || *low > *high) {
        error = Fail(Fill(msg::kNotARange, {first, last}));
        return std::nullopt;
    }
    const std::optional<std::int64_t> now = OwnIdNumber(current);
    const std::lock_guard<std::mutex> hold(lock_);
    if (!Exec("PRAGMA synchronous = FULL", error))
        return std::nullopt;
    const Prepared free = Prepare(FreeOwnIdSql(Dialect::Sqlite), 0, error);
    const Prepared take = free ? Prepare(TakeOwnIdSql(Dialect::Sqlite), 0, error) : nullptr;
    if (!take)
        return std::nullopt;
    if (now && *now >= *low && *now <= *high)
        return Rows(take.get(), {*now}, [](sqlite3_stmt*) {}, error) ? std::optional(OwnIdText(*now)) : std::nullopt;
    // Another store may take the one found before this one does: then the
    // next that is free.
    for (;;) {
        std::optional<std::int64_t> found;
        if (!Rows(free.get(), {*low, *high},
                  [&](sqlite3_stmt* s) {
                      if (sqlite3_column_type(s, 0) != SQLITE_NULL)
                          found = sqlite3_column_int64(s, 0);
                  },
                  error))
            return std::nullopt;
        if (!found) {
            error = Fail(Fill(msg::kUsedUp, {OwnIdText(*low), OwnIdText(*high)}));
            return std::nullopt;
        }
        bool taken = false;
        if (!Rows(take.get(), {*found}, [&](sqlite3_stmt*) { taken = true; }, error))
            return std::nullopt;
        if (taken)
            return OwnIdText(*found);
    }
}

}  // namespace

std::unique_ptr<Store> OpenSqliteStore(const std::string& path, std::string& error)
{
    auto store = std::make_unique<SqliteStore>(path);
    if (!store->Open(error))
        return nullptr;
    error.clear();
    return store;
}

}  // namespace records
