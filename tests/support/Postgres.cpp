#include "tests/support/Postgres.h"

#include "tests/support/Listener.h"

#include <libpq-fe.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace pgtest {

namespace {

// Debian 12's server.
const std::string kPrograms = "/usr/lib/postgresql/15/bin/";

std::string Said(const std::string& log)
{
    std::ostringstream text;
    text << std::ifstream(log).rdbuf();
    return text.str();
}

// `argv` as the server's user, in `dir`, its output to `log`. setpriv's
// parent-death signal ends it with the thread that spawned it; spawned, not
// forked, since the tests run threads.
pid_t Spawn(std::vector<std::string> argv, const std::string& dir, const std::string& log)
{
    std::vector<std::string> all{"/usr/bin/setpriv", "--pdeathsig", "QUIT"};
    if (::geteuid() == 0)
        all.insert(all.end(), {"--reuid=nobody", "--regid=nogroup", "--clear-groups"});
    all.insert(all.end(), argv.begin(), argv.end());
    std::vector<char*> args;
    for (std::string& a : all)
        args.push_back(a.data());
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, dir.c_str());
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    pid_t pid = -1;
    if (::posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

class Server {
public:
    ~Server()
    {
        Stop();
        std::error_code ignored;
        if (!dir_.empty())
            std::filesystem::remove_all(dir_, ignored);
    }

    bool Start(std::string& error)
    {
        if (pid_ > 0 || (dir_.empty() && !Make(error)))
            return pid_ > 0;
        pid_ = Spawn({kPrograms + "postgres", "-D", dir_ + "/data", "-p", std::to_string(port_), "-k", dir_, "-c",
                      "listen_addresses=127.0.0.1"},
                     dir_, dir_ + "/server.log");
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (PQping(Conninfo().c_str()) != PQPING_OK) {
            if (pid_ < 0 || ::waitpid(pid_, nullptr, WNOHANG) == pid_ || std::chrono::steady_clock::now() > deadline) {
                Stop();
                error = "the PostgreSQL server did not start: " + Said(dir_ + "/server.log");
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        role_ = role_ || Exec(std::string("CREATE ROLE ") + kRole + " LOGIN PASSWORD '" + kPassword + "'", error);
        return role_;
    }

    void Stop()
    {
        // Fast shutdown: the clients are cut off.
        if (pid_ > 0 && ::kill(pid_, SIGINT) == 0)
            ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

    // The postmaster and its children: the backends serving connections.
    void Signal(int signal) const
    {
        if (pid_ <= 0)
            return;
        ::kill(pid_, signal);
        std::error_code ec;
        for (auto it = std::filesystem::directory_iterator("/proc", ec); !ec && it != std::filesystem::directory_iterator();
             it.increment(ec)) {
            const std::string name = it->path().filename().string();
            if (name.find_first_not_of("0123456789") != std::string::npos)
                continue;
            std::ifstream stat(it->path() / "stat");
            std::string text((std::istreambuf_iterator<char>(stat)), {});
            // "pid (comm) state ppid ...": comm may hold blanks, not ')'.
            const std::size_t close = text.rfind(')');
            if (close == std::string::npos)
                continue;
            std::istringstream rest(text.substr(close + 1));
            std::string state;
            pid_t parent = 0;
            rest >> state >> parent;
            if (parent == pid_)
                ::kill(static_cast<pid_t>(std::stol(name)), signal);
        }
    }

    std::string FreshDatabase(std::string& error)
    {
        const std::string name = "records_" + std::to_string(++databases_);
        if (!Start(error) || !Exec("CREATE DATABASE " + name + " OWNER " + kRole, error))
            return "";
        return "postgresql://postgres@127.0.0.1:" + std::to_string(port_) + "/" + name;
    }

private:
    bool Make(std::string& error)
    {
        char pattern[] = "/tmp/postgres-test-XXXXXX";
        if (::access((kPrograms + "initdb").c_str(), X_OK) != 0 || !::mkdtemp(pattern) ||
            (::geteuid() == 0 && ::chown(pattern, 65534, 65534) != 0)) {
            error = "no server in " + kPrograms + " or no folder for it (scripts/deps.sh test installs postgresql)";
            return false;
        }
        dir_ = pattern;
        port_ = FreePort();
        const pid_t initdb = Spawn({kPrograms + "initdb", "-D", dir_ + "/data", "-U", "postgres", "-A", "trust", "-E",
                                    "UTF8", "--locale=C.UTF-8", "--no-sync", "--no-instructions"},
                                   dir_, dir_ + "/initdb.log");
        int status = -1;
        if (initdb < 0 || ::waitpid(initdb, &status, 0) != initdb || status != 0) {
            error = "initdb failed: " + Said(dir_ + "/initdb.log");
            return false;
        }
        std::ofstream(dir_ + "/data/pg_hba.conf") << "local all all trust\n"
                                                  << "host all " << kRole << " 127.0.0.1/32 scram-sha-256\n"
                                                  << "host all all 127.0.0.1/32 trust\n";
        return true;
    }

    std::string Conninfo() const
    {
        return "host=127.0.0.1 port=" + std::to_string(port_) + " user=postgres dbname=postgres connect_timeout=5";
    }

    bool Exec(const std::string& sql, std::string& error)
    {
        PGconn* c = PQconnectdb(Conninfo().c_str());
        PGresult* r = PQexec(c, sql.c_str());
        const bool ok = PQresultStatus(r) == PGRES_COMMAND_OK;
        if (!ok)
            error = sql + ": " + PQerrorMessage(c);
        PQclear(r);
        PQfinish(c);
        return ok;
    }

    std::string dir_;
    std::uint16_t port_ = 0;
    pid_t pid_ = -1;
    bool role_ = false;
    int databases_ = 0;
};

Server& TheServer()
{
    static Server server;
    return server;
}

}  // namespace

std::string FreshDatabase(std::string& error)
{
    return TheServer().FreshDatabase(error);
}

void Stop()
{
    TheServer().Stop();
}

bool Start(std::string& error)
{
    return TheServer().Start(error);
}

void Hold(bool held)
{
    TheServer().Signal(held ? SIGSTOP : SIGCONT);
}

}  // namespace pgtest
