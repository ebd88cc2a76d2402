#include "core/records/Sql.h"

namespace records {

namespace {

constexpr std::string_view kTable = "records";

std::string Placeholder(Dialect d, std::size_t n)
{
    return d == Dialect::Sqlite ? std::string("?") : std::string("$").append(std::to_string(n));
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
    std::string table = std::string("CREATE TABLE IF NOT EXISTS ").append(kTable).append(" (");
    for (const Column& c : kColumns) {
        table += std::string(&c == &kColumns.front() ? "" : ", ") + std::string(c.name) + ' ';
        switch (c.field.index()) {
        case 0:
            table += d == Dialect::Sqlite ? "INTEGER PRIMARY KEY AUTOINCREMENT"
                                          : "BIGINT GENERATED ALWAYS AS IDENTITY PRIMARY KEY";
            break;
        case 1:
            table += "TEXT NOT NULL DEFAULT ''";
            break;
        default:
            table += "BIGINT";
        }
    }
    std::vector<std::string> out{table + ")"};
    // The look-ups of `dtuctl records` and the records page, each newest first.
    for (const std::string_view column : {"unit_id", "port", "port_id", "result"})
        out.push_back(std::string("CREATE INDEX IF NOT EXISTS records_").append(column).append(" ON ").append(kTable).append(" (").append(column).append(", started)"));
    out.push_back(std::string("CREATE INDEX IF NOT EXISTS records_started ON ").append(kTable).append(" (started)"));
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

Statement QuerySql(Dialect d, const Filter& f)
{
    Statement s{std::string("SELECT ").append(Names(0)).append(" FROM ").append(kTable), {}};
    std::string where;
    // Built in place: GCC 12 warns of a moved variant's string.
    const auto bind = [&](const auto& v) {
        s.params.emplace_back(v);
        return Placeholder(d, s.params.size());
    };
    const auto clause = [&](const std::string& condition) {
        where += (where.empty() ? " WHERE " : " AND ") + condition;
    };
    if (!f.unit.empty())
        clause(std::string("unit_id = ").append(bind(f.unit)));
    if (!f.port.empty()) {
        const std::string port = bind(f.port);
        clause(std::string("(port = ").append(port).append(" OR port_id = ").append(bind(f.port)).append(")"));
    }
    if (!f.result.empty())
        clause(std::string("result = ").append(bind(f.result)));
    if (!f.since.empty())
        clause(std::string("started >= ").append(bind(f.since)));
    if (!f.before.empty())
        clause(std::string("started < ").append(bind(f.before)));
    if (f.belowId != 0) {
        // The order's whole key: an id alone would skip the records of a
        // clock that was set back.
        const std::string started = bind(f.belowStarted);
        clause(std::string("(started, id) < (").append(started).append(", ").append(bind(f.belowId)).append(")"));
    }
    if (!f.text.empty()) {
        // SQLite's LIKE ignores the case of ASCII letters; PostgreSQL's does not.
        const std::string like = d == Dialect::Sqlite ? " LIKE " : " ILIKE ";
        const std::string pattern = LikePattern(f.text);
        std::string any;
        for (const std::string_view column : {"unit_id", "port", "action", "result", "detail"})
            any.append(any.empty() ? "(" : " OR ").append(column).append(like).append(bind(pattern)).append(
                " ESCAPE '\\'");
        clause(any + ")");
    }
    s.sql += where + " ORDER BY started DESC, id DESC";
    if (f.limit > 0)
        s.sql.append(" LIMIT ").append(bind(static_cast<std::int64_t>(f.limit)));
    return s;
}

}  // namespace records
