#include "driver/records/PostgresStore.h"

#include "core/records/Place.h"
#include "core/records/Sql.h"
#include "driver/records/Messages.h"

#include <libpq-fe.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <poll.h>
#include <unordered_map>

namespace records {

using text::Fill;

namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kInsert = "records_insert";
constexpr const char* kComplete = "records_complete";
constexpr const char* kCompleteMeasured = "records_complete_measured";
// Any number of ours: it names the lock that making or bringing up to date
// the schema holds.
constexpr const char* kSchemaLock = "SELECT pg_advisory_lock(4200777301)";
constexpr const char* kSchemaUnlock = "SELECT pg_advisory_unlock(4200777301)";

// Indexing a line's years of records takes a while, once; so does waiting
// for another station that does it.
constexpr std::chrono::seconds kUpgradeWait{600};

struct Clear {
    void operator()(PGresult* r) const { PQclear(r); }
};
using Result = std::unique_ptr<PGresult, Clear>;

bool Ok(const PGresult* r)
{
    const ExecStatusType s = PQresultStatus(r);
    return s == PGRES_COMMAND_OK || s == PGRES_TUPLES_OK;
}

std::int64_t Number(const char* text)
{
    std::int64_t n = 0;
    std::from_chars(text, text + std::strlen(text), n);
    return n;
}

// A double as the server reads it back exactly.
std::string Text(double x)
{
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, x).ptr;
    return std::string(text, end);
}

// libpq's lines and tabs, as one line.
std::string OneLine(const char* said)
{
    std::string out;
    for (const char* c = said; *c; ++c) {
        const bool space = *c == '\n' || *c == '\t' || *c == ' ';
        if (!space || (!out.empty() && out.back() != ' '))
            out += space ? ' ' : *c;
    }
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
    return out;
}

std::string Decoded(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        unsigned byte = 0;
        if (text[i] == '%' && i + 2 < text.size() &&
            std::from_chars(text.data() + i + 1, text.data() + i + 3, byte, 16).ptr == text.data() + i + 3) {
            out += static_cast<char>(byte);
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

void Hide(std::string& text, const std::string& secret, const std::string& shown)
{
    for (std::size_t at = secret.empty() ? std::string::npos : text.find(secret); at != std::string::npos;
         at = text.find(secret, at + shown.size()))
        text.replace(at, secret.size(), shown);
}

// The values as text, which the server reads by each column's type; NULL
// for none.
class Params {
public:
    explicit Params(const std::vector<Value>& values)
    {
        text_.reserve(values.size());
        for (const Value& v : values) {
            const auto* n = std::get_if<std::int64_t>(&v);
            const auto* s = std::get_if<std::string>(&v);
            const auto* x = std::get_if<double>(&v);
            text_.push_back(n ? std::to_string(*n) : s ? *s : x ? Text(*x) : std::string());
            pointers_.push_back(n || s || x ? text_.back().c_str() : nullptr);
        }
    }
    int size() const { return static_cast<int>(pointers_.size()); }
    const char* const* data() const { return pointers_.data(); }

private:
    std::vector<std::string> text_;
    std::vector<const char*> pointers_;
};

class PostgresStore final : public Store {
public:
    explicit PostgresStore(std::string url) : url_(std::move(url)), name_(Shown(url_))
    {
        // libpq may repeat the URL, or a piece of it, in its words.
        for (const auto& [first, length] : PasswordSpans(url_)) {
            secrets_.push_back(url_.substr(first, length));
            secrets_.push_back(Decoded(secrets_.back()));
        }
    }
    ~PostgresStore() override { PQfinish(conn_); }

    bool Open(std::string& error);

    const std::string& Name() const override { return name_; }
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
    std::string Fail(std::string cause) const;
    std::string Cause() const;
    std::string Where() const
    {
        return std::string(PQhost(conn_) ? PQhost(conn_) : "").append(":").append(PQport(conn_) ? PQport(conn_) : "");
    }
    std::string NoAnswer() const
    {
        return Fill(msg::kNoAnswer, {Where(), std::to_string(seconds_)});
    }
    bool Connected(std::string& error);
    bool Prepare(std::string& error);
    // The schema's version in the database: 0 for an empty one, 1 for one
    // made before it kept its version. `direct`: on this connection as it
    // is, in a transaction.
    std::optional<int> Version(bool direct, std::string& error);
    bool MakeSchema(std::string& error);
    std::string Newer(int version) const
    {
        return Fail(Fill(msg::kNewerSchema, {std::to_string(version), std::to_string(kSchemaVersion)}));
    }
    // A simple query, its statements one transaction unless it says
    // otherwise; never on a connection opened again.
    Result Direct(const std::string& sql, std::string& error, std::chrono::seconds patience = {})
    {
        return Await(PQsendQuery(conn_, sql.c_str()), error, patience);
    }
    bool Answered(Clock::time_point deadline, std::string& error);
    // Waits the connect_timeout, or `patience` when given.
    Result Await(bool sent, std::string& error, std::chrono::seconds patience = {});
    Result Run(const char* prepared, const std::string& sql, const std::vector<Value>& params, std::string& error);
    // An UPDATE of one record, the key its last value; the lock held.
    bool ChangeOne(const char* prepared, const std::string& sql, const std::vector<Value>& values, std::string& error);

    const std::string url_, name_;
    std::vector<std::string> secrets_;
    // One connection: its statements and error texts are one thread's at a time.
    std::mutex lock_;
    PGconn* conn_ = nullptr;
    // A statement went unanswered or the line broke: open it again first.
    bool broken_ = false;
    int seconds_ = 10;
};

std::string PostgresStore::Fail(std::string cause) const
{
    Hide(cause, url_, name_);
    for (const std::string& secret : secrets_)
        Hide(cause, secret, "***");
    // From the URL, ~/.pgpass or PGPASSWORD.
    if (conn_ && PQpass(conn_))
        Hide(cause, PQpass(conn_), "***");
    return Fill(msg::kStore, {name_, cause});
}

// libpq's words for a connection that failed, said plainly where we know
// them; its own, on one line, where we do not.
std::string PostgresStore::Cause() const
{
    if (!conn_)
        return msg::kOutOfMemory;
    const std::string said = OneLine(PQerrorMessage(conn_));
    const std::string host = PQhost(conn_) ? PQhost(conn_) : "";
    const std::string where = Where();
    const std::string user = PQuser(conn_) ? PQuser(conn_) : "";
    const std::string db = PQdb(conn_) ? PQdb(conn_) : "";
    const std::pair<std::string, std::string> known[] = {
        {"Connection refused", Fill(msg::kRefused, {where})},
        {"timeout expired", NoAnswer()},
        {"password authentication failed", Fill(msg::kAuthFailed, {user})},
        {"no password supplied", Fill(msg::kNoPassword, {user})},
        {std::string("database \"").append(db).append("\" does not exist"), Fill(msg::kNoDatabase, {db})},
        {std::string("role \"").append(user).append("\" does not exist"), Fill(msg::kNoUser, {user})},
        {"could not translate host name", Fill(msg::kNoHost, {host})},
        {"server closed the connection", Fill(msg::kLost, {where})},
        {"no connection to the server", Fill(msg::kLost, {where})},
    };
    for (const auto& [libpq, plain] : known)
        if (said.find(libpq) != std::string::npos)
            return plain;
    return said;
}

bool PostgresStore::Open(std::string& error)
{
    // Before the URL, which may name its own.
    const char* const keys[] = {"connect_timeout", "client_encoding", "fallback_application_name", "dbname", nullptr};
    const char* const values[] = {"10", "UTF8", "dtutool", url_.c_str(), nullptr};
    conn_ = PQconnectdbParams(keys, values, 1);
    if (conn_) {
        // libpq waits at least 2 s, and for ever at 0; an answer is waited
        // for as long as a connection.
        PQconninfoOption* options = PQconninfo(conn_);
        for (const PQconninfoOption* o = options; o && o->keyword; ++o)
            if (std::strcmp(o->keyword, "connect_timeout") == 0 && o->val && Number(o->val) > 0)
                seconds_ = static_cast<int>(std::clamp<std::int64_t>(Number(o->val), 2, 3600));
        PQconninfoFree(options);
    }
    if (!conn_ || PQstatus(conn_) != CONNECTION_OK) {
        error = Fail(Cause());
        return false;
    }
    // Notices ("relation already exists, skipping") and a server's goodbye
    // are not the user's to read on stderr.
    PQsetNoticeProcessor(conn_, [](void*, const char*) {}, nullptr);
    PQsetnonblocking(conn_, 1);
    return MakeSchema(error) && Prepare(error);
}

bool PostgresStore::Prepare(std::string& error)
{
    // Compiling a summary's plan would cost more than running it; a server
    // without JIT has nothing to turn off.
    return Await(PQsendQuery(conn_, "SELECT set_config(name, 'off', false) FROM pg_settings WHERE name = 'jit'"),
                 error) &&
           Await(PQsendPrepare(conn_, kInsert, InsertSql(Dialect::Postgres).c_str(), 0, nullptr), error) &&
           Await(PQsendPrepare(conn_, kComplete, CompleteSql(Dialect::Postgres).c_str(), 0, nullptr), error) &&
           Await(PQsendPrepare(conn_, kCompleteMeasured, CompleteMeasuredSql().c_str(), 0, nullptr), error);
}

std::optional<int> PostgresStore::Version(bool direct, std::string& error)
{
    const std::string tables = "SELECT to_regclass('records') IS NOT NULL, to_regclass('records_schema') IS NOT NULL";
    const Result found = direct ? Direct(tables, error) : Run(nullptr, tables, {}, error);
    if (!found)
        return std::nullopt;
    if (std::string_view(PQgetvalue(found.get(), 0, 1)) != "t")
        return std::string_view(PQgetvalue(found.get(), 0, 0)) == "t" ? 1 : 0;
    const std::string kept = "SELECT version FROM records_schema";
    const Result version = direct ? Direct(kept, error) : Run(nullptr, kept, {}, error);
    if (!version)
        return std::nullopt;
    return PQntuples(version.get()) == 1 ? static_cast<int>(Number(PQgetvalue(version.get(), 0, 0))) : 1;
}

// Made or brought up to date under a lock: two stations starting at once
// would both do it, and one of them fail. A database of today's schema is only read, so a role that may
// only read and write the records needs no more.
bool PostgresStore::MakeSchema(std::string& error)
{
    std::optional<int> version = Version(false, error);
    if (!version)
        return false;
    if (*version > kSchemaVersion) {
        error = Newer(*version);
        return false;
    }
    if (*version == kSchemaVersion)
        return true;
    if (!Direct(kSchemaLock, error, kUpgradeWait))
        return false;
    // Begun once the lock is held, so that it sees what another station did
    // while this one waited: a transaction begun before would keep the
    // server's cached "no such table".
    version = Direct("BEGIN", error) ? Version(true, error) : std::nullopt;
    std::string sql;
    if (version && *version > kSchemaVersion)
        error = Newer(*version);
    else if (version && *version < kSchemaVersion) {
        for (const std::string& statement :
             *version == 0 ? SchemaSql(Dialect::Postgres) : UpgradeSql(Dialect::Postgres, *version))
            sql.append(statement).append("; ");
        // One row at most.
        sql.append("CREATE TABLE IF NOT EXISTS records_schema (version INTEGER NOT NULL); "
                   "CREATE UNIQUE INDEX IF NOT EXISTS records_schema_one ON records_schema ((true)); "
                   "DELETE FROM records_schema; INSERT INTO records_schema VALUES (")
            .append(std::to_string(kSchemaVersion))
            .append("); ");
    }
    const bool done = version && *version <= kSchemaVersion && Direct(sql + "COMMIT", error, kUpgradeWait);
    // A connection that broke has let go of both.
    std::string ignored;
    if (!done && !broken_)
        Direct("ROLLBACK", ignored);
    if (!broken_)
        Direct(kSchemaUnlock, ignored);
    return done;
}

// A server that went away while the store was idle has said so and
// closed; that is read here, before a statement goes out on a dead line.
bool PostgresStore::Connected(std::string& error)
{
    // Its goodbye and the end of the line come in two reads.
    pollfd p{PQsocket(conn_), POLLIN, 0};
    while (!broken_ && PQstatus(conn_) == CONNECTION_OK) {
        if (::poll(&p, 1, 0) == 0)
            return true;
        broken_ = !PQconsumeInput(conn_);
    }
    PQreset(conn_);
    broken_ = PQstatus(conn_) != CONNECTION_OK;
    if (broken_) {
        error = Fail(Cause());
        return false;
    }
    PQsetnonblocking(conn_, 1);
    return Prepare(error);
}

// Whether what was sent is answered whole by the deadline; a server that
// does not answer leaves the connection to be opened again.
bool PostgresStore::Answered(Clock::time_point deadline, std::string& error)
{
    for (;;) {
        const int unsent = PQflush(conn_);
        if (unsent == 0 && !PQisBusy(conn_))
            return true;
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0 || unsent < 0 || PQsocket(conn_) < 0) {
            broken_ = true;
            error = Fail(left > 0 ? Cause() : NoAnswer());
            return false;
        }
        pollfd p{PQsocket(conn_), static_cast<short>(POLLIN | (unsent ? POLLOUT : 0)), 0};
        if (::poll(&p, 1, static_cast<int>(left)) > 0 && (p.revents & ~POLLOUT) && !PQconsumeInput(conn_)) {
            broken_ = true;
            error = Fail(Cause());
            return false;
        }
    }
}

Result PostgresStore::Await(bool sent, std::string& error, std::chrono::seconds patience)
{
    if (!sent) {
        broken_ = true;
        error = Fail(Cause());
        return nullptr;
    }
    const Clock::time_point deadline =
        Clock::now() + (patience.count() > 0 ? patience : std::chrono::seconds(seconds_));
    Result kept;
    for (;;) {
        if (!Answered(deadline, error))
            return nullptr;
        Result r(PQgetResult(conn_));
        if (!r)
            break;
        // The first failure is the cause; what follows it says less.
        if (!kept || Ok(kept.get()))
            kept = std::move(r);
    }
    if (!kept || !Ok(kept.get())) {
        const char* primary = kept ? PQresultErrorField(kept.get(), PG_DIAG_MESSAGE_PRIMARY) : nullptr;
        error = primary ? Fail(primary) : Fail(Cause());
        return nullptr;
    }
    return kept;
}

// `prepared` by its name, else `sql`.
Result PostgresStore::Run(const char* prepared, const std::string& sql, const std::vector<Value>& params,
                          std::string& error)
{
    if (!Connected(error))
        return nullptr;
    const Params p(params);
    return Await(prepared ? PQsendQueryPrepared(conn_, prepared, p.size(), p.data(), nullptr, nullptr, 0)
                          : PQsendQueryParams(conn_, sql.c_str(), p.size(), nullptr, p.data(), nullptr, nullptr, 0),
                 error);
}

std::optional<std::int64_t> PostgresStore::Begin(const Record& r, std::string& error)
{
    Record begun = r;
    begun.result = kResultInterrupted;
    begun.ended.clear();
    std::vector<Value> values;
    for (std::size_t i = 1; i < kColumns.size(); ++i)
        values.push_back(Get(begun, kColumns[i]));
    const std::lock_guard<std::mutex> hold(lock_);
    // As the SQLite store: the begun record waits for the server's disk,
    // the end does not.
    if (!Run(nullptr, "SET synchronous_commit TO on", {}, error))
        return std::nullopt;
    const Result done = Run(kInsert, {}, values, error);
    if (!done)
        return std::nullopt;
    return Number(PQgetvalue(done.get(), 0, 0));
}

bool PostgresStore::Complete(std::int64_t id, std::string_view result, const std::string& detail,
                             const std::string& ended, const std::vector<Measurement>& measurements,
                             std::string& error)
{
    if (std::find(kResults.begin(), kResults.end(), result) == kResults.end()) {
        error = Fail(Fill(msg::kNotAResult, {std::string(result)}));
        return false;
    }
    const std::lock_guard<std::mutex> hold(lock_);
    if (!Run(nullptr, "SET synchronous_commit TO off", {}, error))
        return false;
    if (measurements.empty())
        return ChangeOne(kComplete, {}, {std::string(result), detail, ended, id}, error);
    std::vector<std::optional<std::string>> columns[7];
    for (const Measurement& m : measurements) {
        const auto limit = [](const std::optional<double>& v) { return v ? std::optional(Text(*v)) : std::nullopt; };
        columns[0].emplace_back(m.name);
        columns[1].emplace_back(m.value);
        columns[2].emplace_back(m.unit);
        columns[3].push_back(limit(m.low));
        columns[4].push_back(limit(m.high));
        columns[5].emplace_back(m.expected);
        columns[6].emplace_back(m.passed ? "1" : "0");
    }
    std::vector<Value> values{std::string(result), detail, ended, id};
    for (const auto& column : columns)
        values.emplace_back(ArrayLiteral(column));
    const Result done = Run(kCompleteMeasured, {}, values, error);
    if (!done)
        return false;
    if (std::string_view(PQgetvalue(done.get(), 0, 0)) != "1") {
        error = Fail(Fill(msg::kNoRecord, {std::to_string(id)}));
        return false;
    }
    return true;
}

bool PostgresStore::ChangeOne(const char* prepared, const std::string& sql, const std::vector<Value>& values,
                              std::string& error)
{
    const Result done = Run(prepared, sql, values, error);
    if (!done)
        return false;
    if (std::string_view(PQcmdTuples(done.get())) != "1") {
        error = Fail(Fill(msg::kNoRecord, {std::to_string(std::get<std::int64_t>(values.back()))}));
        return false;
    }
    return true;
}

bool PostgresStore::Identify(std::int64_t id, const std::string& unitId, const std::string& version,
                             std::string& error)
{
    const std::lock_guard<std::mutex> hold(lock_);
    return ChangeOne(nullptr, IdentifySql(Dialect::Postgres), {unitId, version, id}, error);
}

std::optional<std::vector<Record>> PostgresStore::Query(const Filter& f, std::string& error)
{
    const Statement query = QuerySql(Dialect::Postgres, f);
    const std::lock_guard<std::mutex> hold(lock_);
    const Result rows = Run(nullptr, query.sql, query.params, error);
    if (!rows)
        return std::nullopt;
    std::vector<Record> out(static_cast<std::size_t>(PQntuples(rows.get())));
    for (std::size_t row = 0; row < out.size(); ++row) {
        for (std::size_t i = 0; i < kColumns.size(); ++i) {
            const int r = static_cast<int>(row), c = static_cast<int>(i);
            if (PQgetisnull(rows.get(), r, c))
                continue;
            const char* text = PQgetvalue(rows.get(), r, c);
            if (std::holds_alternative<std::string Record::*>(kColumns[i].field))
                Set(out[row], kColumns[i], std::string(text, static_cast<std::size_t>(PQgetlength(rows.get(), r, c))));
            else
                Set(out[row], kColumns[i], Number(text));
        }
    }
    if (!f.measurements || out.empty())
        return out;
    const Statement measured = MeasurementsSql(Dialect::Postgres, f, out.front(), out.back());
    const Result found = Run(nullptr, measured.sql, measured.params, error);
    if (!found)
        return std::nullopt;
    std::unordered_map<std::int64_t, Record*> byId;
    for (Record& r : out)
        byId.emplace(r.id, &r);
    const PGresult* m = found.get();
    for (int row = 0; row < PQntuples(m); ++row) {
        const auto text = [&](int c) { return std::string(PQgetvalue(m, row, c), static_cast<std::size_t>(PQgetlength(m, row, c))); };
        const auto number = [&](int c) {
            return PQgetisnull(m, row, c) ? std::nullopt : std::optional<double>(std::strtod(PQgetvalue(m, row, c), nullptr));
        };
        const auto r = byId.find(Number(PQgetvalue(m, row, 0)));
        if (r != byId.end())
            r->second->measurements.push_back(
                {text(2), text(3), text(4), number(5), number(6), text(7), Number(PQgetvalue(m, row, 8)) != 0});
    }
    return out;
}

std::optional<Summary> PostgresStore::Summarize(const Filter& f, By by, std::string& error)
{
    const Statement query = SummarySql(Dialect::Postgres, f, by);
    const std::lock_guard<std::mutex> hold(lock_);
    const Result found = Run(nullptr, query.sql, query.params, error);
    if (!found)
        return std::nullopt;
    std::vector<SummaryRow> rows;
    for (int row = 0; row < PQntuples(found.get()); ++row)
        rows.push_back({Number(PQgetvalue(found.get(), row, 0)), PQgetvalue(found.get(), row, 1),
                        Number(PQgetvalue(found.get(), row, 2)), Number(PQgetvalue(found.get(), row, 3))});
    return Summarized(rows);
}

std::optional<std::string> PostgresStore::TakeOwnId(const std::string& first, const std::string& last,
                                                    const std::string& current, std::string& error)
{
    const std::optional<std::int64_t> low = OwnIdNumber(first), high = OwnIdNumber(last);
    if (!low || !high || *low > *high) {
        error = Fail(Fill(msg::kNotARange, {first, last}));
        return std::nullopt;
    }
    const std::optional<std::int64_t> now = OwnIdNumber(current);
    const std::lock_guard<std::mutex> hold(lock_);
    // An ID handed out is on the disk before a unit is given it.
    if (!Run(nullptr, "SET synchronous_commit TO on", {}, error))
        return std::nullopt;
    if (now && *now >= *low && *now <= *high)
        return Run(nullptr, TakeOwnIdSql(Dialect::Postgres), {*now}, error) ? std::optional(OwnIdText(*now))
                                                                             : std::nullopt;
    // Another station may take the one found before this one does: then
    // the next that is free.
    for (;;) {
        const Result free = Run(nullptr, FreeOwnIdSql(Dialect::Postgres), {*low, *high}, error);
        if (!free)
            return std::nullopt;
        if (PQgetisnull(free.get(), 0, 0)) {
            error = Fail(Fill(msg::kUsedUp, {OwnIdText(*low), OwnIdText(*high)}));
            return std::nullopt;
        }
        const std::int64_t found = Number(PQgetvalue(free.get(), 0, 0));
        const Result taken = Run(nullptr, TakeOwnIdSql(Dialect::Postgres), {found}, error);
        if (!taken)
            return std::nullopt;
        if (PQntuples(taken.get()) == 1)
            return OwnIdText(found);
    }
}

}  // namespace

std::unique_ptr<Store> OpenPostgresStore(const std::string& url, std::string& error)
{
    auto store = std::make_unique<PostgresStore>(url);
    if (!store->Open(error))
        return nullptr;
    error.clear();
    return store;
}

}  // namespace records
