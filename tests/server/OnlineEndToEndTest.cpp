// The whole loop on one machine: a simulated DTU with its cellular link on,
// configured through `dtuctl write`, and the `dtuctl serve` program as its
// server on 127.0.0.1. The server is a process of its own, so that its input,
// output and Ctrl-C are the real ones.
#include "dtu-sim/sim/SimulatedDtu.h"
#include "dtuctl/cli/Run.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

// `dtuctl serve --json ...` with pipes on its input and output.
class ServeProcess {
public:
    explicit ServeProcess(const std::string& listen)
    {
        int in[2], out[2];
        if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, in[0], 0);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        std::vector<std::string> args{DTUCTL_PATH, "--json", "serve", "--listen", listen, "--registration", "DTU-0042",
                                      "--heartbeat", "PING"};
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        if (::posix_spawn(&pid_, DTUCTL_PATH, &actions, nullptr, argv.data(), environ) != 0)
            pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(in[0]);
        ::close(out[1]);
        in_ = in[1];
        out_ = out[0];
    }
    ~ServeProcess()
    {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        ::close(in_);
        ::close(out_);
    }

    void Type(const std::string& line) { ASSERT_EQ(::write(in_, line.data(), line.size()), static_cast<ssize_t>(line.size())); }

    // The next event of `kind` (earlier ones are kept in seen()), or null.
    nlohmann::json Next(const std::string& kind, std::chrono::milliseconds timeout = std::chrono::seconds(10))
    {
        const auto deadline = Clock::now() + timeout;
        for (;;) {
            while (read_ < seen_.size())
                if (seen_[read_++]["event"] == kind)
                    return seen_[read_ - 1];
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
            pollfd p{out_, POLLIN, 0};
            if (left <= 0 || ::poll(&p, 1, static_cast<int>(left)) <= 0)
                return nullptr;
            char chunk[4096];
            const ssize_t n = ::read(out_, chunk, sizeof chunk);
            if (n <= 0)
                return nullptr;
            buffer_.append(chunk, static_cast<std::size_t>(n));
            for (std::size_t end; (end = buffer_.find('\n')) != std::string::npos; buffer_.erase(0, end + 1))
                seen_.push_back(nlohmann::json::parse(buffer_.substr(0, end)));
        }
    }

    // Ctrl-C; the exit code.
    int Interrupt()
    {
        ::kill(pid_, SIGINT);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t pid_ = -1;
    int in_ = -1, out_ = -1;
    std::string buffer_;
    std::vector<nlohmann::json> seen_;
    std::size_t read_ = 0;
};

// The DTU's serial line as the device behind it sees it, raw.
class SerialSide {
public:
    explicit SerialSide(const std::string& path) : fd_(::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC))
    {
        termios t{};
        ::tcgetattr(fd_, &t);
        ::cfmakeraw(&t);
        ::tcsetattr(fd_, TCSANOW, &t);
    }
    ~SerialSide() { ::close(fd_); }
    void Write(const std::string& s) { ASSERT_EQ(::write(fd_, s.data(), s.size()), static_cast<ssize_t>(s.size())); }
    std::string Read(std::size_t count)
    {
        std::string got;
        const auto deadline = Clock::now() + std::chrono::seconds(5);
        while (got.size() < count && Clock::now() < deadline) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 100) > 0) {
                char chunk[256];
                const ssize_t n = ::read(fd_, chunk, sizeof chunk);
                if (n > 0)
                    got.append(chunk, static_cast<std::size_t>(n));
            }
        }
        return got;
    }

private:
    int fd_;
};

TEST(OnlineDtu, RegistersBeatsCarriesDataAndComesBack)
{
    sim::SimulatedDtu::Options options;
    options.online = true;
    options.heartbeatMs = 1000;
    sim::SimulatedDtu dtu(options);
    ASSERT_TRUE(dtu.Start()) << dtu.error();

    auto serve = std::make_unique<ServeProcess>("127.0.0.1:0");
    const nlohmann::json listening = serve->Next("listening");
    ASSERT_FALSE(listening.is_null());
    const std::string address = listening["address"];
    const std::string port = address.substr(address.rfind(':') + 1);

    const std::string profile = (std::filesystem::temp_directory_path() / ("online-" + port + ".toml")).string();
    std::ofstream(profile) << "[server]\nip = \"127.0.0.1\"\nport = " << port
                           << "\n\n[mode]\ntransfer = \"transparent\"\nsub_mode = \"tcp\"\n\n"
                              "[packets]\ncustom = true\nheartbeat = \"PING\"\nregistration = \"DTU-0042\"\n";
    std::ostringstream out, err;
    ASSERT_EQ(cli::Run({"-p", dtu.TerminalPath(), "write", profile}, {out, err, false, -1}), cli::kExitOk) << err.str() << out.str();
    std::filesystem::remove(profile);

    // The DTU connected as soon as its mode had TCP, and again with its new
    // registration packet: the registration that counts is the last one.
    nlohmann::json registration;
    for (nlohmann::json r; !(r = serve->Next("registration")).is_null();) {
        registration = r;
        if (r["text"] == "DTU-0042")
            break;
    }
    ASSERT_FALSE(registration.is_null());
    EXPECT_EQ(registration["match"], "equal");
    const auto id = registration["id"];
    const nlohmann::json first = serve->Next("heartbeat", std::chrono::seconds(3));
    const nlohmann::json second = serve->Next("heartbeat", std::chrono::seconds(3));
    ASSERT_FALSE(second.is_null());
    EXPECT_EQ(first["id"], id);
    EXPECT_EQ(second["count"], 2);
    EXPECT_NEAR(second["interval_ms"].get<double>(), 1000.0, 250.0);

    // Data both ways between the server and the DTU's serial line.
    SerialSide line(dtu.TerminalPath());
    serve->Type("to the DTU\n");
    EXPECT_EQ(line.Read(10), "to the DTU");
    line.Write("from the line");
    const nlohmann::json data = serve->Next("data");
    ASSERT_FALSE(data.is_null());
    EXPECT_EQ(data["text"], "from the line");
    EXPECT_EQ(data["id"], id);

    // The server goes away and comes back on its port: the DTU reconnects
    // and registers again.
    EXPECT_EQ(serve->Interrupt(), cli::kExitOk);
    serve = std::make_unique<ServeProcess>("127.0.0.1:" + port);
    ASSERT_FALSE(serve->Next("listening").is_null());
    const nlohmann::json again = serve->Next("registration", std::chrono::seconds(8));
    ASSERT_FALSE(again.is_null());
    EXPECT_EQ(again["match"], "equal");
    dtu.Stop();
}

}  // namespace
