// The records in one PostgreSQL database that the stations of a line
// share. One connection behind a lock, its statements prepared once. No
// call waits longer than the URL's connect_timeout (10 s when it names
// none) for the server, and a connection lost, to a restart of the server
// or a statement that had no answer, is opened again on the next call.
#pragma once

#include "driver/records/Store.h"

namespace records {

// Makes the table and its indexes when missing. Null, with `error` naming
// the store (its password hidden) and the cause, when the server cannot
// be reached, refuses the login or has no such database.
std::unique_ptr<Store> OpenPostgresStore(const std::string& url, std::string& error);

}  // namespace records
