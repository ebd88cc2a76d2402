// The records in an SQLite file, in WAL mode with a busy time-out, so that
// the window and a dtuctl run write to one file at once.
#pragma once

#include "driver/records/Store.h"

namespace records {

// Makes the folders, the file and the table as needed. Null, with `error`
// naming the path and the cause, for a file that cannot be opened, written
// or read as records.
std::unique_ptr<Store> OpenSqliteStore(const std::string& path, std::string& error);

}  // namespace records
