#include "core/records/Sql.h"

#include <algorithm>

namespace records {

namespace {

constexpr std::string_view kTable = "records";

std::string Placeholder(Dialect d, std::size_t n)
{
    // Numbered in SQLite too: a statement may use one value twice.
    return std::string(d == Dialect::Sqlite ? "?" : "$").append(std::to_string(n));
}

std::string Names(std::size_t from)
{
    std::string out;
    for (std::size_t i = from; i < kColumns.size(); ++i)
        out += (i == from ? "" : ", ") + std::string(kColumns[i].name);
    return out;
}

// `text` anywhere in a value: its own % and _ stand for themselves.
std::string LikePattern(const std::string& text)
{
    std::string pattern = "%";
    for (const char c : text) {
        if (c == '%' || c == '_' || c == '\\')
            pattern += '\\';
        pattern += c;
    }
    return pattern + '%';
}

}  // namespace

std::vector<std::string> SchemaSql(Dialect d)
{
    const bool lite = d == Dialect::Sqlite;
    std::string table = std::string("CREATE TABLE IF NOT EXISTS ").append(kTable).append(" (");
    for (const Column& c : kColumns) {
        table += std::string(&c == &kColumns.front() ? "" : ", ") + std::string(c.name) + ' ';
        switch (c.field.index()) {
        case 0:
            table += lite ? "INTEGER PRIMARY KEY AUTOINCREMENT" : "BIGINT GENERATED ALWAYS AS IDENTITY PRIMARY KEY";
            break;
        case 1:
            table += "TEXT NOT NULL DEFAULT ''";
            break;
        default:
            table += "BIGINT";
        }
    }
    std::vector<std::string> out{table + ")"};
    // The look-ups of `dtuctl records` and the records page, each newest
    // first.
    for (const std::string_view column : {"unit_id", "port", "port_id", "result", "label"})
        out.push_back(std::string("CREATE INDEX IF NOT EXISTS records_").append(column).append(" ON ").append(kTable).append(" (").append(column).append(", started)"));
    out.push_back(std::string("CREATE INDEX IF NOT EXISTS records_started ON ").append(kTable).append(" (started)"));
    // What a summary counts, answered by an index alone: the tests of a
    // time, of a result in a period, and each unit's tests in their order.
    out.push_back(std::string("CREATE INDEX IF NOT EXISTS records_action ON ").append(kTable).append(
        lite ? " (action, started, result, unit_id)" : " (action, started, result, unit_id, id)"));
    out.push_back(std::string("CREATE INDEX IF NOT EXISTS records_test_result ON ").append(kTable).append(
        lite ? " (action, result, started, unit_id)" : " (action, result, started, unit_id, id)"));
    out.push_back(std::string("CREATE INDEX IF NOT EXISTS records_test_unit ON ").append(kTable).append(
        lite ? " (action, unit_id, started, result)" : " (action, unit_id, started, id, result)"));
    const std::string real = lite ? "REAL" : "DOUBLE PRECISION";
    // A record's measurements lie together, in their order.
    out.push_back("CREATE TABLE IF NOT EXISTS measurements (record_id BIGINT NOT NULL, seq INTEGER NOT NULL, "
                  "name TEXT NOT NULL DEFAULT '', value TEXT NOT NULL DEFAULT '', unit TEXT NOT NULL DEFAULT '', "
                  "low " + real + ", high " + real + ", expected TEXT NOT NULL DEFAULT '', "
                  "passed INTEGER NOT NULL DEFAULT 0, PRIMARY KEY (record_id, seq))" + (lite ? " WITHOUT ROWID" : ""));
    // A summary counts only the failed ones, a test's found in the index
    // alone.
    out.push_back("CREATE INDEX IF NOT EXISTS measurements_failed ON measurements (record_id, name, passed) "
                  "WHERE passed = 0");
    // Every own ID handed out, as its number: the key keeps two stations
    // from taking one.
    out.push_back(std::string("CREATE TABLE IF NOT EXISTS own_ids (own_id ")
                      .append(lite ? "INTEGER" : "BIGINT")
                      .append(" PRIMARY KEY, taken TEXT NOT NULL DEFAULT ")
                      .append(lite ? "(strftime('%Y-%m-%dT%H:%M:%fZ', 'now'))"
                                   : "to_char(now() AT TIME ZONE 'UTC', 'YYYY-MM-DD\"T\"HH24:MI:SS.MS\"Z\"')")
                      .append(")"));
    return out;
}

std::vector<std::string> UpgradeSql(Dialect d, int from)
{
    std::vector<std::string> out;
    if (from < 2)
        out.push_back(std::string("ALTER TABLE ").append(kTable).append(" ADD COLUMN label TEXT NOT NULL DEFAULT ''"));
    for (std::string& sql : SchemaSql(d))
        out.push_back(std::move(sql));
    return out;
}

std::string InsertSql(Dialect d)
{
    std::string values;
    for (std::size_t i = 1; i < kColumns.size(); ++i)
        values += (i == 1 ? "" : ", ") + Placeholder(d, i);
    return std::string("INSERT INTO ").append(kTable).append(" (").append(Names(1)).append(") VALUES (").append(values).append(") RETURNING id");
}

std::string CompleteSql(Dialect d)
{
    return std::string("UPDATE ").append(kTable).append(" SET result = ").append(Placeholder(d, 1)).append(", detail = ").append(Placeholder(d, 2)).append(", ended = ").append(Placeholder(d, 3)).append(" WHERE id = ").append(Placeholder(d, 4));
}

std::string IdentifySql(Dialect d)
{
    return std::string("UPDATE ").append(kTable).append(" SET unit_id = ").append(Placeholder(d, 1)).append(", version = ").append(Placeholder(d, 2)).append(" WHERE id = ").append(Placeholder(d, 3));
}

namespace {

constexpr std::string_view kMeasurementColumns = "name, value, unit, low, high, expected, passed";

// The conditions of a filter, their values bound in order.
class Where {
public:
    Where(Dialect d, Statement& s) : d_(d), s_(s) {}

    // Built in place: GCC 12 warns of a moved variant's string.
    template <typename T>
    std::string Bind(const T& v)
    {
        s_.params.emplace_back(v);
        return Placeholder(d_, s_.params.size());
    }
    void Add(const std::string& condition)
    {
        text_ += (text_.empty() ? " WHERE " : " AND ") + condition;
        and_ += " AND " + condition;
    }
    const std::string& Text() const { return text_; }
    // The same conditions, each after an AND.
    const std::string& And() const { return and_; }

    // All but the limit.
    void Filter(const records::Filter& f)
    {
        if (!f.unit.empty())
            Add(std::string("unit_id = ").append(Bind(f.unit)));
        if (!f.label.empty())
            Add(std::string("label = ").append(Bind(f.label)));
        if (!f.port.empty()) {
            const std::string port = Bind(f.port);
            Add(std::string("(port = ").append(port).append(" OR port_id = ").append(Bind(f.port)).append(")"));
        }
        if (!f.result.empty())
            Add(std::string("result = ").append(Bind(f.result)));
        if (!f.since.empty())
            Add(std::string("started >= ").append(Bind(f.since)));
        if (!f.before.empty())
            Add(std::string("started < ").append(Bind(f.before)));
        if (f.belowId != 0) {
            // The order's whole key: an id alone would skip the records of a
            // clock that was set back.
            const std::string started = Bind(f.belowStarted);
            Add(std::string("(started, id) < (").append(started).append(", ").append(Bind(f.belowId)).append(")"));
        }
        if (!f.text.empty()) {
            // SQLite's LIKE ignores the case of ASCII letters; PostgreSQL's does not.
            const std::string like = d_ == Dialect::Sqlite ? " LIKE " : " ILIKE ";
            const std::string pattern = LikePattern(f.text);
            std::string any;
            for (const std::string_view column : {"unit_id", "label", "port", "action", "result", "detail"})
                any.append(any.empty() ? "(" : " OR ").append(column).append(like).append(Bind(pattern)).append(
                    " ESCAPE '\\'");
            Add(any + ")");
        }
    }

private:
    Dialect d_;
    Statement& s_;
    std::string text_, and_;
};

constexpr std::string_view kNewestFirst = " ORDER BY started DESC, id DESC";

}  // namespace

Statement QuerySql(Dialect d, const Filter& f)
{
    Statement s{std::string("SELECT ").append(Names(0)).append(" FROM ").append(kTable), {}};
    Where where(d, s);
    where.Filter(f);
    s.sql.append(where.Text()).append(kNewestFirst);
    if (f.limit > 0)
        s.sql.append(" LIMIT ").append(where.Bind(static_cast<std::int64_t>(f.limit)));
    return s;
}

std::string InsertMeasurementSql()
{
    return std::string("INSERT INTO measurements (record_id, seq, ")
        .append(kMeasurementColumns)
        .append(") VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?) ON CONFLICT DO NOTHING");
}

std::string CompleteMeasuredSql()
{
    return std::string("WITH done AS (")
        .append(CompleteSql(Dialect::Postgres))
        .append(" RETURNING id), kept AS (INSERT INTO measurements (record_id, seq, ")
        .append(kMeasurementColumns)
        .append(") SELECT done.id, m.seq - 1, ")
        .append(kMeasurementColumns)
        .append(" FROM done, unnest($5::text[], $6::text[], $7::text[], $8::float8[], $9::float8[], $10::text[], "
                "$11::int[]) WITH ORDINALITY AS m(")
        .append(kMeasurementColumns)
        .append(", seq) ON CONFLICT DO NOTHING) SELECT count(*) FROM done");
}

std::string ArrayLiteral(const std::vector<std::optional<std::string>>& items)
{
    std::string out = "{";
    for (const std::optional<std::string>& item : items) {
        if (out.size() > 1)
            out += ',';
        if (!item) {
            out += "NULL";
            continue;
        }
        out += '"';
        for (const char c : *item) {
            if (c == '"' || c == '\\')
                out += '\\';
            out += c;
        }
        out += '"';
    }
    return out + "}";
}

Statement MeasurementsSql(Dialect d, Filter f, const Record& newest, const Record& oldest)
{
    Statement s{std::string("SELECT record_id, seq, ").append(kMeasurementColumns).append(" FROM measurements"), {}};
    f.belowId = 0;
    Where where(d, s);
    where.Filter(f);
    // The page by its bounds, not again by its limit: a record begun since
    // would push the oldest of it out.
    const std::string newestStarted = where.Bind(newest.started);
    where.Add(std::string("(started, id) <= (").append(newestStarted).append(", ").append(where.Bind(newest.id)).append(")"));
    const std::string oldestStarted = where.Bind(oldest.started);
    where.Add(std::string("(started, id) >= (").append(oldestStarted).append(", ").append(where.Bind(oldest.id)).append(")"));
    s.sql.append(" WHERE record_id IN (SELECT id FROM ")
        .append(kTable)
        .append(where.Text())
        .append(") ORDER BY record_id, seq");
    return s;
}

// Each figure counted where an index answers it (SchemaSql's records_test_*
// and records_action; measurements_failed): a million tests in under a
// second in either store, where one pass that groups and sorts them all
// takes seconds.
Statement SummarySql(Dialect d, Filter f, By by)
{
    const bool lite = d == Dialect::Sqlite;
    Statement s;
    Where where(d, s);
    f.limit = 0;
    f.belowId = 0;
    where.Filter(f);
    const std::string test = where.Bind(std::string(kActionTest));
    const std::string ok = where.Bind(std::string(kResultOk));
    const std::string failed = where.Bind(std::string(kResultFailed));
    const std::string error = where.Bind(std::string(kResultError));
    // Of the tests selected; column names are those of the nearest records.
    const std::string tests = std::string(" FROM ").append(kTable).append(" WHERE action = ").append(test).append(where.And());
    const std::string conclusive = " AND result IN (" + ok + ", " + failed + ", " + error + ")";
    const std::string notPassed = " AND result IN (" + failed + ", " + error + ")";
    // A test whose unit never answered is a unit of its own.
    const std::string anonymous = "(SELECT count(*)" + tests + " AND unit_id = ''";

    // Part 0: the units, and those whose latest test did not pass.
    std::string units;
    if (lite) {
        // Distinct in the order of the units' index: "+result" keeps SQLite
        // from taking the results' index and sorting a million units.
        units = "SELECT 0 AS part, '' AS name, (SELECT count(DISTINCT unit_id)" + tests +
                " AND unit_id > '' AND +result IN (" + ok + ", " + failed + ", " + error + ")) + " + anonymous +
                conclusive + ") AS a, (SELECT count(*) FROM " + std::string(kTable) +
                " AS f WHERE action = " + test + where.And() + notPassed +
                // Not passed, and no test of its unit after it.
                " AND (unit_id = '' OR NOT EXISTS (SELECT 1" + tests + conclusive +
                " AND unit_id = f.unit_id AND started >= f.started AND id <> f.id AND (started > f.started OR id > "
                "f.id)))) AS b";
    } else {
        // The index read backwards gives each unit's latest first.
        units = "SELECT 0 AS part, '' AS name, count(*) + " + anonymous + conclusive +
                ") AS a, count(CASE WHEN result <> " + ok + " THEN 1 END) + " + anonymous + notPassed +
                ") AS b FROM (SELECT DISTINCT ON (unit_id) unit_id, result" + tests + " AND unit_id <> ''" +
                conclusive + " ORDER BY unit_id DESC, started DESC, id DESC) AS latest";
    }

    // Part 1: the periods from the first test's to the last's, [s, e), each
    // counted in the index; empty ones are left to the caller.
    const bool hour = by == By::Hour;
    std::string periods;
    if (lite) {
        const auto next = [&](const std::string& t) {
            return hour ? "strftime('%Y-%m-%dT%H:00', " + t + ", '+1 hour')" : "date(" + t + ", '+1 day')";
        };
        periods = std::string("WITH RECURSIVE p(s, e) AS (SELECT t, ")
                      .append(next("t"))
                      .append(" FROM (SELECT ")
                      .append(hour ? "substr(min(started), 1, 13) || ':00'" : "substr(min(started), 1, 10)")
                      .append(" AS t")
                      .append(tests)
                      .append(") AS first WHERE t IS NOT NULL UNION ALL SELECT e, ")
                      .append(next("e"))
                      .append(" FROM p WHERE e <= (SELECT max(started)")
                      .append(tests)
                      .append(")) ");
    } else {
        const std::string step = hour ? "interval '1 hour'" : "interval '1 day'";
        const std::string format = hour ? "'YYYY-MM-DD\"T\"HH24:00'" : "'YYYY-MM-DD'";
        periods = "WITH p AS (SELECT to_char(g, " + format + ") AS s, to_char(g + " + step + ", " + format +
                  ") AS e FROM generate_series(date_trunc(" + (hour ? "'hour'" : "'day'") +
                  ", (SELECT min(started)" + tests + ")::timestamp), (SELECT max(started)" + tests +
                  ")::timestamp, " + step + ") AS g) ";
    }
    // Within a period the filter's own times bound it at its ends: one
    // range each, so that the index is read from the period's start, not
    // the filter's.
    Filter untimed = f;
    untimed.since.clear();
    untimed.before.clear();
    Where span(d, s);
    span.Filter(untimed);
    std::string from = "p.s", to = "p.e";
    if (!f.since.empty()) {
        const std::string since = span.Bind(f.since);
        from = "CASE WHEN p.s < " + since + " THEN " + since + " ELSE p.s END";
    }
    if (!f.before.empty()) {
        const std::string before = span.Bind(f.before);
        to = "CASE WHEN p.e > " + before + " THEN " + before + " ELSE p.e END";
    }
    const std::string inPeriod = std::string(" FROM ").append(kTable).append(" WHERE action = ").append(test).append(
        span.And());
    const std::string within = " AND started >= " + from + " AND started < " + to + ")";
    const std::string perPeriod = "SELECT 1, p.s, (SELECT count(*)" + inPeriod + " AND result = " + ok + within +
                                  ", (SELECT count(*)" + inPeriod + notPassed + within + " FROM p";

    // Part 2: the measurements that failed most. A test that passed has none
    // failed, so only the others are looked at, a few in a million, each's
    // in the failed measurements' index: SQLite takes a CROSS JOIN in the
    // order written. The filter's columns are the records' alone.
    const std::string stopped = where.Bind(std::string(kResultStopped));
    const std::string failing = std::string("SELECT * FROM (SELECT 2, m.name, count(*), 0 FROM ")
                                    .append(kTable)
                                    .append(" CROSS JOIN measurements AS m WHERE m.record_id = ")
                                    .append(kTable)
                                    .append(".id AND m.passed = 0 AND action = ")
                                    .append(test)
                                    .append(where.And())
                                    .append(" AND result IN (" + failed + ", " + error + ", " + stopped + ")")
                                    .append(" GROUP BY m.name ORDER BY 3 DESC, 2 LIMIT ")
                                    .append(std::to_string(kMostFailing))
                                    .append(") AS f");
    s.sql = periods + units + " UNION ALL " + perPeriod + " UNION ALL " + failing;
    return s;
}

Summary Summarized(const std::vector<SummaryRow>& rows)
{
    Summary s;
    for (const SummaryRow& row : rows) {
        if (row.part == 0) {
            s.units = row.a;
            s.failed = row.b;
            s.passed = row.a - row.b;
            s.yield = row.a > 0 ? static_cast<double>(s.passed) / static_cast<double>(row.a) : 0;
        } else if (row.part == 1) {
            if (row.a + row.b > 0)
                s.periods.push_back({row.name, row.a, row.b});
        } else {
            s.failing.push_back({row.name, row.a});
        }
    }
    // A union keeps no order of its parts.
    std::sort(s.periods.begin(), s.periods.end(),
              [](const Summary::Period& a, const Summary::Period& b) { return a.start < b.start; });
    std::sort(s.failing.begin(), s.failing.end(), [](const Summary::Failing& a, const Summary::Failing& b) {
        return a.count != b.count ? a.count > b.count : a.name < b.name;
    });
    return s;
}

std::string FreeOwnIdSql(Dialect d)
{
    const std::string first = d == Dialect::Sqlite ? "?1" : "$1", last = d == Dialect::Sqlite ? "?2" : "$2";
    return std::string("SELECT min(n) FROM (SELECT CAST(")
        .append(first)
        .append(" AS BIGINT) AS n WHERE NOT EXISTS (SELECT 1 FROM own_ids WHERE own_id = ")
        .append(first)
        .append(") UNION ALL SELECT o.own_id + 1 FROM own_ids AS o WHERE o.own_id >= ")
        .append(first)
        .append(" AND o.own_id < ")
        .append(last)
        .append(" AND NOT EXISTS (SELECT 1 FROM own_ids AS p WHERE p.own_id = o.own_id + 1)) AS free");
}

std::string TakeOwnIdSql(Dialect d)
{
    return std::string("INSERT INTO own_ids (own_id) VALUES (")
        .append(Placeholder(d, 1))
        .append(") ON CONFLICT DO NOTHING RETURNING own_id");
}

}  // namespace records
