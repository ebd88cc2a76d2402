// Which program keeps a serial port for itself, found without opening the
// port: an open raises DTR and RTS on an idle adapter, which resets many a
// board behind it, and makes another program's open fail for that moment.
//
// Serial programs mark a port as theirs in one of two ways:
// - an flock on the device node. The kernel lists it in /proc/locks by the
//   node's filesystem (major:minor in hex) and inode, with the locker's pid:
//     1: FLOCK  ADVISORY  WRITE 4242 00:06:1043 0 EOF
//   The filesystem is the one the node lives on, devtmpfs for /dev/ttyUSB0,
//   the devpts instance for /dev/pts/3: stat()'s st_dev and st_ino. A line
//   with "->" after the number is a process waiting for the lock.
// - a UUCP lock file, /var/lock/LCK..ttyUSB0, holding the pid as text
//   ("      4242\n") or as a binary int. One whose process is gone is stale.
// A program that merely has the port open claims nothing: the simulated DTU
// keeps its own terminal open, and the tool still opens it.
#pragma once

#include "core/common/Tr.h"
#include "driver/serial/PortInfo.h"

#include <optional>
#include <string>
#include <vector>

namespace serial {

struct Holder {
    int pid = 0;          // 0 when the lock's process is outside our view
    std::string program;  // /proc/<pid>/comm, empty when unreadable
};

// The holder of each path (a node or a by-id name), in the same order.
std::vector<std::optional<Holder>> FindHolders(const std::vector<std::string>& paths, const Roots& roots = {});
std::optional<Holder> FindHolder(const std::string& path, const Roots& roots = {});

// How a list marks a held port: " held by minicom (4242)"; empty when free.
// The page takes a typed mark off at kHeldBy, in the window's language.
inline constexpr const char* kHeldBy = DTU_TR_NOOP("serial", " held by ");
std::string HolderMark(const std::optional<Holder>& holder);

}  // namespace serial
