// Compiled into every test program: the jobs a test runs keep no records in
// the home folder of whoever runs the tests. A test about records names its
// own place, which wins over this.
#include <cstdlib>

namespace {

[[maybe_unused]] const int recordsOff = ::setenv("DTUTOOL_RECORDS", "off", 0);

}  // namespace
