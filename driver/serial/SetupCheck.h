// Why a serial port is missing or cannot be opened, in Linux terms, each
// reason with the command that fixes it. What users trip over:
// - the device belongs to a group (dialout) the user is not in, or was
//   added to but has not logged in again since;
// - another program holds the port (found through /proc/<pid>/fd, or by its
//   lock when its descriptors are not ours to read);
// - ModemManager probes anything that looks like a modem with AT commands,
//   which a DTU answers, unless a udev rule tells it to keep away;
// - brltty takes CH340/CH341 adapters for braille displays, so their
//   ttyUSB never appears.
// Pure file reading from injectable roots, no Qt: the settings page and the
// command line print the same findings.
#pragma once

#include "driver/serial/PortInfo.h"

#include <string>
#include <vector>

enum class SerialError;

namespace serial {

// Where the checks look; Current() is this machine and this process.
struct SetupEnv {
    std::string etcGroup = "/etc/group";
    std::vector<std::string> udevRuleDirs = {"/etc/udev/rules.d", "/run/udev/rules.d", "/usr/lib/udev/rules.d",
                                             "/lib/udev/rules.d"};
    Roots roots;                   // /proc among them
    std::string user;              // login name, for the usermod line
    unsigned uid = 0;
    std::vector<unsigned> groups;  // the process's groups, primary included
    int selfPid = 0;               // our own descriptors are no other program's

    static SetupEnv Current();
};

enum class Problem {
    NotInGroup,      // the device's group may open it, the user is not in it
    NeedsNewLogin,   // in the group in /etc/group, not yet in this session
    HeldByProgram,   // another process has the device open
    ModemManager,    // ModemManager runs and no rule keeps it off serial ports
    BrlttyClaimed,   // a CH340/CH341 adapter without its ttyUSB, brltty present
};

struct Finding {
    Problem problem;
    std::string device;   // the port concerned, empty for the whole system
    std::string group;    // NotInGroup, NeedsNewLogin
    std::string program;  // HeldByProgram: the process name
    int pid = 0;          // HeldByProgram
    std::string text;     // one or two sentences, in English
    std::string fix;      // the shell command that fixes it
};

// A port that could not be opened or is not offered: group, holder.
std::vector<Finding> CheckPort(const SetupEnv& env, const std::string& path);

// Whether a finding can be why an open failed so: a process that has the
// port open is no holder when the line refused its settings.
bool Explains(const Finding& finding, SerialError failure);

// The whole machine: every serial device that this user cannot open or that
// another program holds, ModemManager and brltty. Empty when all is well.
std::vector<Finding> CheckSetup(const SetupEnv& env);

// Where the package puts the rule that keeps ModemManager away.
inline constexpr const char* kModemManagerRule = "/usr/share/dtutool/udev/70-dtutool-modemmanager.rules";

}  // namespace serial
