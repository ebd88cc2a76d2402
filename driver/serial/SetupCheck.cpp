#include "driver/serial/SetupCheck.h"

#include "driver/serial/SerialPort.h"

#include "driver/serial/PortHolder.h"
#include "driver/serial/PortList.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <map>
#include <optional>
#include <pwd.h>
#include <set>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace serial {

namespace {

struct Group {
    std::string name;
    std::vector<std::string> members;
};

// /etc/group: name:password:gid:member,member
std::map<unsigned, Group> ReadGroups(const std::string& path)
{
    std::map<unsigned, Group> groups;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        std::vector<std::string> fields;
        std::istringstream split(line);
        for (std::string field; std::getline(split, field, ':');)
            fields.push_back(field);
        if (fields.size() < 3 || fields[2].empty() ||
            fields[2].find_first_not_of("0123456789") != std::string::npos || fields[2].size() > 9)
            continue;
        Group group{fields[0], {}};
        if (fields.size() > 3) {
            std::istringstream members(fields[3]);
            for (std::string member; std::getline(members, member, ',');)
                group.members.push_back(member);
        }
        groups.emplace(static_cast<unsigned>(std::stoul(fields[2])), std::move(group));
    }
    return groups;
}

bool IsNumber(const std::string& s)
{
    return !s.empty() && s.size() < 10 && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

struct Process {
    int pid;
    std::string name;
};

// Every process's name, and which of `nodes` each has open. Processes of
// other users are unreadable without root and simply not seen.
struct ProcScan {
    std::vector<Process> processes;
    std::multimap<std::string, Process> holders;  // node -> process
};

ProcScan ScanProc(const SetupEnv& env, const std::set<std::string>& nodes)
{
    ProcScan scan;
    std::error_code ec;
    for (fs::directory_iterator it(env.roots.proc, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (!IsNumber(name))
            continue;
        const Process process{std::stoi(name), ReadFirstLine(it->path() / "comm")};
        scan.processes.push_back(process);
        if (process.pid == env.selfPid)
            continue;
        std::error_code fdError;
        for (fs::directory_iterator fd(it->path() / "fd", fdError), fdEnd; !fdError && fd != fdEnd;
             fd.increment(fdError)) {
            std::error_code linkError;
            const std::string target = fs::read_symlink(fd->path(), linkError).string();
            if (!linkError && nodes.contains(target)) {
                scan.holders.emplace(target, process);
                break;
            }
        }
    }
    return scan;
}

bool Running(const ProcScan& scan, const std::string& name)
{
    return std::any_of(scan.processes.begin(), scan.processes.end(),
                       [&](const Process& p) { return p.name == name; });
}

// Whether any rule file in the udev folders mentions `text`.
bool RulesMention(const SetupEnv& env, const std::string& text)
{
    for (const std::string& dir : env.udevRuleDirs) {
        std::error_code ec;
        for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
            if (it->path().extension() != ".rules")
                continue;
            std::ifstream in(it->path());
            for (std::string line; std::getline(in, line);)
                if (!line.starts_with("#") && line.find(text) != std::string::npos)
                    return true;
        }
    }
    return false;
}

bool HasRuleFile(const SetupEnv& env, const std::string& contains)
{
    for (const std::string& dir : env.udevRuleDirs) {
        std::error_code ec;
        for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
            if (it->path().filename().string().find(contains) != std::string::npos)
                return true;
    }
    return false;
}

std::string ModemManagerFix()
{
    return std::string("sudo install -m 644 ") + kModemManagerRule +
           " /etc/udev/rules.d/ && sudo udevadm control --reload && sudo udevadm trigger --subsystem-match=tty";
}

std::optional<Finding> CheckGroup(const SetupEnv& env, const std::map<unsigned, Group>& groups,
                                  const std::string& device, const std::string& node)
{
    struct stat st {};
    if (env.uid == 0 || ::stat(node.c_str(), &st) != 0 || st.st_uid == env.uid)
        return std::nullopt;
    const bool groupMay = (st.st_mode & 060) == 060;
    const bool othersMay = (st.st_mode & 006) == 006;
    const bool inGroup = std::find(env.groups.begin(), env.groups.end(), st.st_gid) != env.groups.end();
    if (othersMay || !groupMay || inGroup)
        return std::nullopt;

    Finding f{Problem::NotInGroup, device, std::to_string(st.st_gid), {}, 0, {}, {}};
    bool listed = false;
    if (const auto it = groups.find(st.st_gid); it != groups.end()) {
        f.group = it->second.name;
        listed = std::find(it->second.members.begin(), it->second.members.end(), env.user) != it->second.members.end();
    }
    if (listed) {
        f.problem = Problem::NeedsNewLogin;
        f.text = env.user + " was added to the group '" + f.group + "' that may open " + device +
                 ", but this login began before that. Log out and in again; until then, a shell started "
                 "with the command below has the group.";
        f.fix = "newgrp " + f.group;
    } else {
        f.text = device + " may be opened by the group '" + f.group + "', and " + env.user +
                 " is not in it. Add yourself with the command below, then log out and in again: the "
                 "group counts from the next login.";
        f.fix = "sudo usermod -aG " + f.group + " " + env.user;
    }
    return f;
}

Finding HeldBy(const std::string& device, const Process& p)
{
    Finding f{Problem::HeldByProgram, device, {}, p.name, p.pid, {}, {}};
    const std::string who = p.name + " (pid " + std::to_string(p.pid) + ")";
    if (p.name == "ModemManager") {
        f.text = device + " is held by " + who +
                 ", which sends AT commands to anything that looks like a modem, a DTU included. "
                 "Make it ignore serial adapters with the udev rule below, or stop it: "
                 "sudo systemctl stop ModemManager.";
        f.fix = ModemManagerFix();
    } else {
        f.text = device + " is held by " + who + ". Close that program, or end it:";
        f.fix = "kill " + std::to_string(p.pid);
    }
    return f;
}

// CH340/CH341 adapters that are on the bus but have no ttyUSB below them.
std::vector<std::string> Ch34xWithoutTty(const std::string& sysRoot)
{
    static const std::set<std::string> kProducts = {"7523", "7522", "5523"};
    std::vector<std::string> found;
    std::error_code ec;
    for (fs::directory_iterator it(fs::path(sysRoot) / "bus" / "usb" / "devices", ec), end; !ec && it != end;
         it.increment(ec)) {
        const fs::path dir = fs::canonical(it->path(), ec);
        if (ec) {
            ec.clear();
            continue;
        }
        if (ReadFirstLine(dir / "idVendor") != "1a86" || !kProducts.contains(ReadFirstLine(dir / "idProduct")))
            continue;
        bool hasTty = false;
        std::error_code walk;
        for (fs::recursive_directory_iterator sub(dir, walk), subEnd; !walk && sub != subEnd && !hasTty;
             sub.increment(walk)) {
            if (sub.depth() > 3)
                sub.disable_recursion_pending();
            hasTty = sub->path().filename().string().starts_with("ttyUSB");
        }
        if (!hasTty)
            found.push_back(it->path().filename().string());
    }
    return found;
}

}  // namespace

SetupEnv SetupEnv::Current()
{
    SetupEnv env;
    env.uid = ::getuid();
    env.selfPid = ::getpid();
    if (const passwd* pw = ::getpwuid(env.uid))
        env.user = pw->pw_name;
    else
        env.user = std::to_string(env.uid);
    const int count = ::getgroups(0, nullptr);
    std::vector<gid_t> ids(static_cast<std::size_t>(std::max(count, 0)));
    const int got = ids.empty() ? 0 : ::getgroups(static_cast<int>(ids.size()), ids.data());
    for (int i = 0; i < got; ++i)
        env.groups.push_back(ids[static_cast<std::size_t>(i)]);
    env.groups.push_back(::getegid());
    return env;
}

std::vector<Finding> CheckPort(const SetupEnv& env, const std::string& path)
{
    std::vector<Finding> findings;
    const std::string node = ResolveDevice(path);
    if (auto group = CheckGroup(env, ReadGroups(env.etcGroup), path, node))
        findings.push_back(*group);
    const ProcScan scan = ScanProc(env, {node, path});
    for (const auto& [target, process] : scan.holders)
        findings.push_back(HeldBy(path, process));
    // Another user's descriptors are hidden from us; the lock table is not.
    const std::optional<Holder> holder = scan.holders.empty() ? FindHolder(path, env.roots) : std::nullopt;
    if (holder && holder->pid > 0 && holder->pid != env.selfPid)
        findings.push_back(HeldBy(path, {holder->pid, holder->program}));
    return findings;
}

bool Explains(const Finding& finding, SerialError failure)
{
    switch (finding.problem) {
    case Problem::NotInGroup:
    case Problem::NeedsNewLogin:
        return failure == SerialError::Permission;
    case Problem::HeldByProgram:
    case Problem::ModemManager:
        return failure == SerialError::Busy;
    case Problem::BrlttyClaimed:
        return failure == SerialError::NotFound;
    }
    return false;
}

std::vector<Finding> CheckSetup(const SetupEnv& env)
{
    std::vector<Finding> findings;
    const std::vector<std::string> devices = ListTtyDevices(env.roots.sys, env.roots.dev);
    const std::map<unsigned, Group> groups = ReadGroups(env.etcGroup);

    // One line per group is enough: the same usermod opens every device.
    std::set<std::string> groupsSaid;
    for (const std::string& device : devices) {
        if (auto group = CheckGroup(env, groups, device, device); group && groupsSaid.insert(group->group).second)
            findings.push_back(*group);
    }

    const ProcScan scan = ScanProc(env, {devices.begin(), devices.end()});
    for (const auto& [device, process] : scan.holders)
        findings.push_back(HeldBy(device, process));

    const bool usbSerial = std::any_of(devices.begin(), devices.end(), [](const std::string& d) {
        const std::string name = fs::path(d).filename().string();
        return name.starts_with("ttyUSB") || name.starts_with("ttyACM");
    });
    const bool mmHolds = std::any_of(findings.begin(), findings.end(),
                                     [](const Finding& f) { return f.program == "ModemManager"; });
    if (usbSerial && !mmHolds && Running(scan, "ModemManager") && !RulesMention(env, "ID_MM_DEVICE_IGNORE")) {
        findings.push_back({Problem::ModemManager, {}, {}, "ModemManager", 0,
                            "ModemManager is running and no udev rule tells it to leave serial adapters alone: "
                            "it may open a DTU's port and send it AT commands. Install the rule below, or stop "
                            "it: sudo systemctl stop ModemManager.",
                            ModemManagerFix()});
    }

    if (Running(scan, "brltty") || HasRuleFile(env, "brltty")) {
        for (const std::string& usb : Ch34xWithoutTty(env.roots.sys)) {
            findings.push_back({Problem::BrlttyClaimed, usb, {}, "brltty", 0,
                                "The CH340/CH341 adapter at USB " + usb +
                                    " has no serial port: brltty, the braille display service, claims these "
                                    "adapters. Remove brltty (if you use a braille display, disable its rule "
                                    "for 1a86:7523 instead), then plug the adapter in again.",
                                "sudo apt remove brltty"});
        }
    }
    return findings;
}

}  // namespace serial
