#include "driver/serial/SerialPort.h"
#include "driver/serial/SetupCheck.h"
#include "tests/support/FakeSystem.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// The fake devices belong to whoever runs the test; the checks see them
// through the eyes of "alice", another user, unless a case says otherwise.
class SetupCheckTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fake.AddUsbDevice("1-1", "0403", "6001", "FTDI", "FT232R USB UART", "A1");
        fake.AddUsbTty("1-1", "ttyUSB0", "ftdi_sio");
        struct stat st {};
        ASSERT_EQ(::stat(fake.Dev("ttyUSB0").c_str(), &st), 0);
        gid = static_cast<unsigned>(st.st_gid);
        env.roots = {fake.sys(), fake.dev()};
        env.etcGroup = (fake.root() / "etc/group").string();
        env.roots.proc = (fake.root() / "proc").string();
        env.roots.lock = (fake.root() / "lock").string();
        env.udevRuleDirs = {(fake.root() / "etc/udev/rules.d").string(), (fake.root() / "lib/udev/rules.d").string()};
        env.user = "alice";
        env.uid = static_cast<unsigned>(st.st_uid) + 1000;
        env.groups = {gid + 1};
        env.selfPid = 1;
        fake.WriteFile("etc/group", "root:x:0:\ndialout:x:" + std::to_string(gid) + ":bob\nplugdev:x:46:alice\n");
    }

    // The checks' view of another fake machine, as alice, with one rule folder.
    serial::SetupEnv EnvFor(const FakeSystem& other, const char* ruleDir) const
    {
        serial::SetupEnv e = env;
        e.roots = {other.sys(), other.dev()};
        e.roots.proc = (other.root() / "proc").string();
        e.udevRuleDirs = {(other.root() / ruleDir).string()};
        return e;
    }

    std::vector<serial::Problem> Problems(const std::vector<serial::Finding>& findings)
    {
        std::vector<serial::Problem> problems;
        for (const serial::Finding& f : findings)
            problems.push_back(f.problem);
        return problems;
    }

    FakeSystem fake;
    serial::SetupEnv env;
    unsigned gid = 0;
};

using P = serial::Problem;

TEST_F(SetupCheckTest, GroupMembershipDecidesAndNamesTheFix)
{
    struct Case {
        const char* what;
        std::string groupFile;
        bool inSessionGroups;
        fs::perms mode;
        unsigned uid;  // 0: alice's own
        std::vector<P> expected;
        std::string fix;
    };
    const fs::perms rwRw = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                           fs::perms::group_write;
    const std::string g = std::to_string(gid);
    const Case cases[] = {
        {"not a member", "dialout:x:" + g + ":bob\n", false, rwRw, 0, {P::NotInGroup},
         "sudo usermod -aG dialout alice"},
        {"added, not logged in again", "dialout:x:" + g + ":bob,alice\n", false, rwRw, 0, {P::NeedsNewLogin},
         "newgrp dialout"},
        {"member in this session", "dialout:x:" + g + ":alice\n", true, rwRw, 0, {}, ""},
        {"group unknown by name", "", false, rwRw, 0, {P::NotInGroup}, "sudo usermod -aG " + g + " alice"},
        {"open to everyone", "", false, rwRw | fs::perms::others_read | fs::perms::others_write, 0, {}, ""},
        {"group may not either", "", false, fs::perms::owner_read | fs::perms::owner_write, 0, {}, ""},
        {"root may anything", "", false, rwRw, 1, {}, ""},
    };
    for (const Case& c : cases) {
        fake.WriteFile("etc/group", c.groupFile);
        env.groups = c.inSessionGroups ? std::vector<unsigned>{gid} : std::vector<unsigned>{gid + 1};
        fs::permissions(fake.Dev("ttyUSB0"), c.mode);
        serial::SetupEnv e = env;
        if (c.uid == 1)
            e.uid = 0;
        const auto findings = serial::CheckPort(e, fake.Dev("ttyUSB0"));
        EXPECT_EQ(Problems(findings), c.expected) << c.what;
        if (!findings.empty()) {
            EXPECT_EQ(findings[0].fix, c.fix) << c.what;
            EXPECT_NE(findings[0].text.find(fake.Dev("ttyUSB0")), std::string::npos) << c.what;
            EXPECT_NE(findings[0].text.find("log"), std::string::npos) << c.what << ": a new login is needed";
        }
        EXPECT_EQ(Problems(serial::CheckSetup(e)), c.expected) << c.what;
    }
}

TEST_F(SetupCheckTest, TheProgramHoldingThePortIsNamed)
{
    env.groups = {gid};
    const std::string port = fake.Dev("ttyUSB0");
    fake.AddUsbDevice("1-2", "0403", "6001", "FTDI", "FT232R USB UART", "B2");
    fake.AddUsbTty("1-2", "ttyUSB1", "ftdi_sio");
    fake.AddByIdLink("usb-FTDI_A1", "../../ttyUSB0");
    fake.AddProcess(1, "dtutool", {port});              // ourselves: not another program
    fake.AddProcess(812, "minicom", {"/dev/null", port});
    fake.AddProcess(900, "ModemManager", {fake.Dev("ttyUSB1")});
    fake.AddProcess(901, "bash", {"/dev/pts/0"});
    fake.WriteFile("proc/self/comm", "x\n");            // not a process number

    // Asked through the by-id name: the holder of the node it points to.
    const auto findings = serial::CheckPort(env, fake.Dev("serial/by-id/usb-FTDI_A1"));
    ASSERT_EQ(Problems(findings), std::vector<P>{P::HeldByProgram});
    EXPECT_EQ(findings[0].program, "minicom");
    EXPECT_EQ(findings[0].pid, 812);
    EXPECT_EQ(findings[0].fix, "kill 812");
    EXPECT_NE(findings[0].text.find("minicom (pid 812)"), std::string::npos);

    const auto all = serial::CheckSetup(env);
    ASSERT_EQ(Problems(all), (std::vector<P>{P::HeldByProgram, P::HeldByProgram}));
    EXPECT_EQ(all[1].program, "ModemManager");
    EXPECT_NE(all[1].fix.find(serial::kModemManagerRule), std::string::npos);
    EXPECT_NE(all[1].text.find("AT commands"), std::string::npos);
}

// Root's cu, say: its descriptors are not ours to read, its lock file is.
TEST_F(SetupCheckTest, AHolderWhoseDescriptorsAreHiddenIsNamedByItsLock)
{
    env.groups = {gid};
    fake.AddProcess(4242, "cu");
    fake.WriteFile("lock/LCK..ttyUSB0", "      4242\n");
    const auto findings = serial::CheckPort(env, fake.Dev("ttyUSB0"));
    ASSERT_EQ(Problems(findings), std::vector<P>{P::HeldByProgram});
    EXPECT_EQ(findings[0].program, "cu");
    EXPECT_EQ(findings[0].fix, "kill 4242");
}

TEST_F(SetupCheckTest, ModemManagerWithoutAnIgnoreRule)
{
    env.groups = {gid};
    struct Case {
        const char* what;
        bool running;
        const char* rule;  // written to etc/udev/rules.d/70-x.rules when set
        bool usbPort;
        bool said;
    };
    const Case cases[] = {
        {"running, no rule", true, nullptr, true, true},
        {"running, our rule", true, "ENV{ID_MM_DEVICE_IGNORE}=\"1\"\n", true, false},
        {"running, rule commented out", true, "# ENV{ID_MM_DEVICE_IGNORE}=\"1\"\n", true, true},
        {"not running", false, nullptr, true, false},
        {"no USB serial port", true, nullptr, false, false},
    };
    for (const Case& c : cases) {
        FakeSystem fresh;
        if (c.usbPort) {
            fresh.AddUsbDevice("1-1", "2c7c", "0125", "", "", "");
            fresh.AddUsbTty("1-1", "ttyACM0", "cdc_acm");
            fs::permissions(fresh.Dev("ttyACM0"), fs::perms::all);
        }
        fresh.AddPlatformTty("ttyS1");
        if (c.running)
            fresh.AddProcess(700, "ModemManager");
        fresh.AddProcess(701, "systemd");
        if (c.rule)
            fresh.WriteFile("etc/udev/rules.d/70-x.rules", c.rule);
        const auto findings = serial::CheckSetup(EnvFor(fresh, "etc/udev/rules.d"));
        EXPECT_EQ(Problems(findings), c.said ? std::vector<P>{P::ModemManager} : std::vector<P>{}) << c.what;
    }
}

TEST_F(SetupCheckTest, BrlttyClaimingACh341)
{
    env.groups = {gid};
    struct Case {
        const char* what;
        const char* product;
        bool tty;
        bool brlttyRunning;
        bool brlttyRule;
        bool said;
    };
    const Case cases[] = {
        {"claimed, service running", "7523", false, true, false, true},
        {"claimed, only its rule", "7523", false, false, true, true},
        {"the adapter has its tty", "7523", true, true, true, false},
        {"no brltty at all", "7523", false, false, false, false},
        {"another CH34x product", "5523", false, true, false, true},
        {"not a CH34x", "7524", false, true, false, false},
    };
    for (const Case& c : cases) {
        FakeSystem fresh;
        fresh.AddUsbDevice("3-2", "1a86", c.product, "", "USB Serial", "");
        if (c.tty)
            fresh.AddUsbTty("3-2", "ttyUSB0", "ch341-uart");
        if (c.brlttyRunning)
            fresh.AddProcess(55, "brltty");
        if (c.brlttyRule)
            fresh.WriteFile("lib/udev/rules.d/85-brltty.rules", "# braille\n");
        const auto findings = serial::CheckSetup(EnvFor(fresh, "lib/udev/rules.d"));
        ASSERT_EQ(Problems(findings), c.said ? std::vector<P>{P::BrlttyClaimed} : std::vector<P>{}) << c.what;
        if (c.said) {
            EXPECT_EQ(findings[0].fix, "sudo apt remove brltty");
            EXPECT_EQ(findings[0].device, "3-2");
        }
    }
}

TEST_F(SetupCheckTest, ASoundMachineHasNothingToSay)
{
    env.groups = {gid};
    fake.AddProcess(1, "systemd");
    EXPECT_TRUE(serial::CheckSetup(env).empty());
    EXPECT_TRUE(serial::CheckPort(env, fake.Dev("no-such-port")).empty());
    // Nothing to read at all: no findings, no crash.
    serial::SetupEnv empty;
    empty.roots = {"/nonexistent/sys", "/nonexistent/dev"};
    empty.roots.proc = "/nonexistent/proc";
    empty.etcGroup = "/nonexistent/group";
    empty.udevRuleDirs = {};
    EXPECT_TRUE(serial::CheckSetup(empty).empty());
}

TEST(SetupEnvCurrent, DescribesThisProcess)
{
    const serial::SetupEnv env = serial::SetupEnv::Current();
    EXPECT_EQ(env.uid, ::getuid());
    EXPECT_EQ(env.selfPid, ::getpid());
    EXPECT_FALSE(env.user.empty());
    EXPECT_NE(std::find(env.groups.begin(), env.groups.end(), ::getegid()), env.groups.end());
}

// A finding is said with an open failure only where it can be its cause: the
// simulated DTU keeps its own line open, which is no reason for the line to
// refuse a parity.
TEST(SetupFindings, ExplainOnlyTheFailuresTheyCause)
{
    using serial::Problem;
    const struct {
        Problem problem;
        SerialError explained;
    } cases[] = {
        {Problem::HeldByProgram, SerialError::Busy},
        {Problem::ModemManager, SerialError::Busy},
        {Problem::NotInGroup, SerialError::Permission},
        {Problem::NeedsNewLogin, SerialError::Permission},
        {Problem::BrlttyClaimed, SerialError::NotFound},
    };
    for (const auto& c : cases)
        for (const SerialError failure : {SerialError::Busy, SerialError::Permission, SerialError::NotFound,
                                          SerialError::Settings, SerialError::Io})
            EXPECT_EQ(serial::Explains(serial::Finding{c.problem, {}, {}, {}, 0, {}, {}}, failure), failure == c.explained)
                << static_cast<int>(c.problem) << " " << static_cast<int>(failure);
}

}  // namespace
