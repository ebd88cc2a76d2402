#include "tests/support/Ser2net.h"

#include "tests/support/Listener.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>



namespace {

// Whether the kernel lists a socket listening on 127.0.0.1:`port`: a probe
// connection would make ser2net open the device.
bool Listening(std::uint16_t port)
{
    std::ifstream table("/proc/net/tcp");
    std::string line;
    char wanted[32];
    std::snprintf(wanted, sizeof wanted, "0100007F:%04X 00000000:0000 0A", port);
    while (std::getline(table, line))
        if (line.find(wanted) != std::string::npos)
            return true;
    return false;
}

}  // namespace

Ser2net::Ser2net(const std::string& telnetDevice, const std::string& rawDevice, const std::string& rawLine)
{
    char pattern[] = "/tmp/ser2net-test-XXXXXX";
    if (!::mkdtemp(pattern)) {
        error_ = "no temporary folder";
        return;
    }
    dir_ = pattern;
    telnetPort_ = FreePort();
    rawPort_ = FreePort();
    config_ = dir_ + "/ser2net.yaml";
    // chardelay off: ser2net would hold each answer for up to 20 character
    // times to gather more, which only delays a DTU's whole frames.
    std::ofstream(config_) << "connection: &rfc2217\n"
                           << "  accepter: telnet(rfc2217),tcp,127.0.0.1," << telnetPort_ << "\n"
                           << "  connector: serialdev," << telnetDevice << ",115200n81,local\n"
                           << "  options:\n    chardelay: false\n"
                           << "connection: &raw\n"
                           << "  accepter: tcp,127.0.0.1," << rawPort_ << "\n"
                           << "  connector: serialdev," << rawDevice << "," << rawLine << ",local\n"
                           << "  options:\n    chardelay: false\n";
    Start();
}

void Ser2net::Start()
{
    if (pid_ > 0 || config_.empty())
        return;
    error_.clear();
    const std::string log = dir_ + "/ser2net.log";
    // Spawned, not forked: the tests run threads, and a forked child may
    // only call what is safe after fork.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    const char* argv[] = {"ser2net", "-n", "-d", "-c", config_.c_str(), nullptr};
    pid_t pid = -1;
    if (::posix_spawnp(&pid, "ser2net", &actions, nullptr, const_cast<char* const*>(argv), environ) != 0 &&
        ::posix_spawn(&pid, "/usr/sbin/ser2net", &actions, nullptr, const_cast<char* const*>(argv), environ) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    pid_ = pid;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!(Listening(telnetPort_) && Listening(rawPort_))) {
        int status = 0;
        if (pid_ < 0 || ::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            std::ostringstream said;
            said << std::ifstream(log).rdbuf();
            error_ = "ser2net did not start (scripts/deps.sh test installs it): " + said.str();
            return;
        }
        if (std::chrono::steady_clock::now() > deadline) {
            error_ = "ser2net did not listen within 10 s";
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

Ser2net::~Ser2net()
{
    Stop();
    if (!dir_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }
}

void Ser2net::Stop()
{
    if (pid_ <= 0)
        return;
    ::kill(pid_, SIGTERM);
    // ser2net lets its devices' output drain before it ends; a device that
    // takes none must not hold the test.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    int status = 0;
    while (::waitpid(pid_, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    pid_ = -1;
}

std::string Ser2net::Rfc2217Url() const
{
    return "rfc2217://127.0.0.1:" + std::to_string(telnetPort_);
}

std::string Ser2net::SocketUrl() const
{
    return "socket://127.0.0.1:" + std::to_string(rawPort_);
}


