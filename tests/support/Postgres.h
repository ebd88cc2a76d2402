// A PostgreSQL server of Debian's packages for the tests and benchmarks,
// one per program: made in a temporary folder on first use, listening on
// 127.0.0.1 on a free port (its socket in that folder), run as nobody when
// we are root (initdb refuses root), and stopped, its folder removed, when
// the program ends. It also dies with the thread that started it, so a test
// killed at its time-out leaves no server behind: call these from the
// test's own thread.
#pragma once

#include <string>

namespace pgtest {

// The role that must give a password (scram-sha-256); it owns every fresh
// database. "postgres" is trusted.
inline constexpr const char* kRole = "keeper";
inline constexpr const char* kPassword = "keeper-pw-41";

// A new, empty database: postgresql://postgres@127.0.0.1:PORT/records_N.
// Empty, with `error` saying why (initdb's or the server's words), when the
// server would not start.
std::string FreshDatabase(std::string& error);

// The server stopped (its clients cut off), and started again on its port.
void Stop();
bool Start(std::string& error);

// The server and every process of it held (SIGSTOP) as a server that stops
// answering is, connections open, and let go again (SIGCONT).
void Hold(bool held);

}  // namespace pgtest
