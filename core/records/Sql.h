// The records' SQL, built from the one column list, for each store that
// speaks SQL. Values are only ever bound, never written into the text.
#pragma once

#include "core/records/Record.h"

#include <optional>
#include <string>
#include <vector>

namespace records {

enum class Dialect { Sqlite, Postgres };

// The schema's version, as a store keeps it: 1 was the records alone; 2
// adds their labels, the tests' measurements and the own IDs handed out.
inline constexpr int kSchemaVersion = 2;

// Every table and index, each made only when missing.
std::vector<std::string> SchemaSql(Dialect d);
// What brings a store of version `from` to kSchemaVersion, SchemaSql last.
std::vector<std::string> UpgradeSql(Dialect d, int from);

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

// A measurement's columns after its record's id, in Measurement's order.
// SQLite: binds the record's id, seq, then those; a retried end adds none
// twice.
std::string InsertMeasurementSql();
// PostgreSQL: the end and its measurements in one statement, so in one
// transaction: binds as CompleteSql does, then an array of each of the
// measurement's columns (ArrayLiteral). Gives the number of records
// completed.
std::string CompleteMeasuredSql();
// A PostgreSQL array of text, or of numbers given as text; nothing is NULL.
std::string ArrayLiteral(const std::vector<std::optional<std::string>>& items);

// The measurements of the records `f` selects from `newest` to `oldest`
// (a page's first and last, started and id): record_id, seq, then the
// measurement's columns, by record and seq.
Statement MeasurementsSql(Dialect d, Filter f, const Record& newest, const Record& oldest);

// One statement for the whole summary of the tests `f` selects (its limit
// and paging aside), one row a figure: part 0 the units (a: units, b: those
// that did not pass), part 1 a period (name: its start, a: tests passed, b:
// tests failed; both 0 for a period without any), part 2 a failing
// measurement (name, a: how often).
Statement SummarySql(Dialect d, Filter f, By by);
struct SummaryRow {
    std::int64_t part = 0;
    std::string name;
    std::int64_t a = 0, b = 0;
};
Summary Summarized(const std::vector<SummaryRow>& rows);

// Binds the range's first and last number; gives the lowest number in
// it not yet taken, or NULL.
std::string FreeOwnIdSql(Dialect d);
// Binds the number; gives it back when it was not yet taken.
std::string TakeOwnIdSql(Dialect d);

}  // namespace records
