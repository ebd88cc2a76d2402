#include "core/records/Sql.h"

namespace records {

namespace {

constexpr std::string_view kTable = "records";

std::string Placeholder(Dialect d, std::size_t n)
{
    return d == Dialect::Sqlite ? "?" : "$" + std::to_string(n);
}

std::string Names(std::size_t from)
{
    std::string out;
    for (std::size_t i = from; i < kColumns.size(); ++i)
        out += (i == from ? "" : ", ") + std::string(kColumns[i].name);
    return out;
}

}  // namespace

std::vector<std::string> SchemaSql(Dialect d)
{
    std::string table = "CREATE TABLE IF NOT EXISTS " + std::string(kTable) + " (";
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
        out.push_back("CREATE INDEX IF NOT EXISTS records_" + std::string(column) + " ON " + std::string(kTable) +
                      " (" + std::string(column) + ", started)");
    out.push_back("CREATE INDEX IF NOT EXISTS records_started ON " + std::string(kTable) + " (started)");
    return out;
}

std::string InsertSql(Dialect d)
{
    std::string values;
    for (std::size_t i = 1; i < kColumns.size(); ++i)
        values += (i == 1 ? "" : ", ") + Placeholder(d, i);
    return "INSERT INTO " + std::string(kTable) + " (" + Names(1) + ") VALUES (" + values + ") RETURNING id";
}

std::string CompleteSql(Dialect d)
{
    return "UPDATE " + std::string(kTable) + " SET result = " + Placeholder(d, 1) + ", detail = " + Placeholder(d, 2) +
           ", ended = " + Placeholder(d, 3) + " WHERE id = " + Placeholder(d, 4);
}

Statement QuerySql(Dialect d, const Filter& f)
{
    Statement s{"SELECT " + Names(0) + " FROM " + std::string(kTable), {}};
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
        clause("unit_id = " + bind(f.unit));
    if (!f.port.empty()) {
        const std::string port = bind(f.port);
        clause("(port = " + port + " OR port_id = " + bind(f.port) + ")");
    }
    if (!f.result.empty())
        clause("result = " + bind(f.result));
    if (!f.since.empty())
        clause("started >= " + bind(f.since));
    if (!f.before.empty())
        clause("started < " + bind(f.before));
    s.sql += where + " ORDER BY started DESC, id DESC";
    if (f.limit > 0)
        s.sql += " LIMIT " + bind(static_cast<std::int64_t>(f.limit));
    return s;
}

}  // namespace records
