// The records' SQL, built from the one column list, for each store that
// speaks SQL. Values are only ever bound, never written into the text.
#pragma once

#include "core/records/Record.h"

#include <string>
#include <vector>

namespace records {

enum class Dialect { Sqlite, Postgres };

// The table and its indexes, each made only when missing.
std::vector<std::string> SchemaSql(Dialect d);

// Binds every column but the key, in column order; returns the key.
std::string InsertSql(Dialect d);
// Binds result, detail, ended and the key.
std::string CompleteSql(Dialect d);
// Binds unit_id, version and the key: the unit named once it answered.
std::string IdentifySql(Dialect d);

struct Statement {
    std::string sql;
    std::vector<Value> params;
};
// Every column in column order, newest first.
Statement QuerySql(Dialect d, const Filter& f);

}  // namespace records
