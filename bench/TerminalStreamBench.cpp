// The debugging terminal under a stream at full speed, side by side with
// GTKTerm and CuteCom where they are installed. Each program gets a
// pseudo-terminal of its own and, one after the other, 5 MiB of numbered
// text lines and then 1 MiB of random bytes (fixed seed), written to the
// master side as fast as the program takes them.
//
// Ours runs in this process, offscreen: the main window with the terminal
// open on g_Serial. The others run as processes of their own on a private
// Xvfb, with PtyLinesShim preloaded (pseudo-terminals have no modem lines)
// and their log started through their own menus with xdotool. Each program
// runs once as it starts and once with its log to a file.
//
// Per program and phase: MiB/s accepted (bytes written / seconds until
// written), CPU seconds per MiB (until the program fell idle again; ours
// without the writing thread), RSS before and after, seconds from the last
// byte written to the last line on screen (ours only: the view's text is
// read; nothing honest reads another program's screen), seconds it stayed
// busy after the last byte, and whether its log holds every byte. CPU and
// RSS are read a second after the program fell idle.
//
// Usage: terminal_stream_bench [--text-mib 5] [--random-mib 1] [--no-peers]
//                              [--view text|hex|both]
// (--view: how ours shows the stream; the last line is looked for in the
// text view only.)
#include "core/common/ByteText.h"
#include "core/common/Codepage.h"
#include "driver/serial/BufferedPort.h"
#include "tests/support/MessageBoxes.h"
#include "tests/support/Pty.h"
#include "ui/app/MainWindow.h"
#include "ui/common/FileDialog.h"
#include "ui/common/Settings.h"
#include "ui/terminal/TerminalText.h"
#include "ui/terminal/TerminalWindow.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <poll.h>
#include <random>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
using Bytes = std::vector<std::uint8_t>;
namespace fs = std::filesystem;

constexpr double kMiB = 1 << 20;
constexpr std::size_t kLineBytes = 64;

double Seconds(Clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

double ThreadCpu()
{
    rusage u{};
    ::getrusage(RUSAGE_THREAD, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

double ProcessCpu()
{
    rusage u{};
    ::getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// utime + stime of another process, all its threads; -1 once it is gone.
double ChildCpu(pid_t pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string all((std::istreambuf_iterator<char>(in)), {});
    const auto paren = all.rfind(')');
    if (paren == std::string::npos)
        return -1;
    std::istringstream rest(all.substr(paren + 2));
    std::string field;
    unsigned long long ticks[2] = {};
    for (int i = 3; i <= 15 && rest >> field; ++i)
        if (i >= 14)
            ticks[i - 14] = std::stoull(field);
    return double(ticks[0] + ticks[1]) / double(::sysconf(_SC_CLK_TCK));
}

// VmRSS in KiB, of "self" or a pid.
long RssKb(const std::string& who)
{
    std::ifstream in("/proc/" + who + "/status");
    for (std::string line; std::getline(in, line);)
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atol(line.c_str() + 6);
    return -1;
}

bool HoldsOpen(pid_t pid, const std::string& path)
{
    std::error_code ec;
    for (const auto& fd : fs::directory_iterator("/proc/" + std::to_string(pid) + "/fd", ec))
        if (fs::read_symlink(fd.path(), ec) == path)
            return true;
    return false;
}

std::optional<std::string> FindProgram(const char* name)
{
    const char* path = std::getenv("PATH");
    std::istringstream dirs(path ? path : "/usr/bin:/bin");
    for (std::string dir; std::getline(dirs, dir, ':');)
        if (!dir.empty() && ::access((dir + '/' + name).c_str(), X_OK) == 0)
            return dir + '/' + name;
    return std::nullopt;
}

// --- the data --------------------------------------------------------------

Bytes TextLines(std::size_t bytes)
{
    static const char kFill[] = "abcdefghijklmnopqrstuvwxyz0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    Bytes out;
    out.reserve(bytes);
    char line[kLineBytes + 1];
    for (std::size_t n = 1; out.size() + kLineBytes <= bytes; ++n) {
        int k = std::snprintf(line, sizeof line, "line %06zu ", n);
        for (; k < int(kLineBytes) - 2; ++k)
            line[k] = kFill[(n + std::size_t(k)) % (sizeof kFill - 1)];
        line[k++] = '\r';
        line[k++] = '\n';
        out.insert(out.end(), line, line + k);
    }
    return out;
}

Bytes RandomBytes(std::size_t bytes)
{
    std::mt19937 gen(20240601);
    Bytes out(bytes);
    for (auto& b : out)
        b = static_cast<std::uint8_t>(gen() >> 24);
    return out;
}

// --- child processes ---------------------------------------------------------

using Env = std::vector<std::pair<std::string, std::string>>;

std::vector<std::string> MergedEnv(const Env& changes)
{
    std::vector<std::string> out;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        const auto key = entry.substr(0, entry.find('='));
        bool replaced = false;
        for (const auto& [k, v] : changes)
            replaced = replaced || k == key;
        if (!replaced)
            out.push_back(entry);
    }
    for (const auto& [k, v] : changes)
        out.push_back(k + '=' + v);
    return out;
}

// Starts `argv` with `env` on top of ours, its output to `logPath`; `keepFd`
// stays open in the child. Returns the pid, or -1.
// argv and the environment as exec wants them, made before a fork: the
// child of a process with threads may not allocate.
struct ExecArgs {
    ExecArgs(const std::vector<std::string>& argv, const Env& env) : strings(argv), envs(MergedEnv(env))
    {
        for (auto& a : strings)
            args.push_back(a.data());
        args.push_back(nullptr);
        for (auto& e : envs)
            envp.push_back(e.data());
        envp.push_back(nullptr);
    }
    [[noreturn]] void Exec()
    {
        ::execvpe(args[0], args.data(), envp.data());
        ::_exit(127);
    }
    std::vector<std::string> strings, envs;
    std::vector<char*> args, envp;
};

// Starts `argv` with `env` on top of ours, its output to `logPath`; `keepFd`
// stays open in the child. Returns the pid, or -1.
pid_t Spawn(const std::vector<std::string>& argv, const Env& env, const std::string& logPath, int keepFd = -1)
{
    ExecArgs exec(argv, env);
    const pid_t pid = ::fork();
    if (pid != 0)
        return pid;
    const int out = ::open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out >= 0) {
        ::dup2(out, 1);
        ::dup2(out, 2);
    }
    const int null = ::open("/dev/null", O_RDONLY);
    if (null >= 0)
        ::dup2(null, 0);
    for (int fd = 3; fd < 1024; ++fd)
        if (fd != keepFd)
            ::close(fd);
    exec.Exec();
}

// SIGTERM, then SIGKILL after two seconds; reaps it.
void Stop(pid_t pid)
{
    if (pid <= 0)
        return;
    ::kill(pid, SIGTERM);
    for (int i = 0; i < 40; ++i) {
        if (::waitpid(pid, nullptr, WNOHANG) == pid)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
}

// Runs a short command to its end and returns what it printed.
std::string Capture(const std::vector<std::string>& argv, const Env& env)
{
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        return {};
    ExecArgs exec(argv, env);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(pipeFds[1], 1);
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 2);
        for (int fd = 3; fd < 1024; ++fd)
            ::close(fd);
        exec.Exec();
    }
    ::close(pipeFds[1]);
    std::string out;
    char buffer[4096];
    for (ssize_t n; (n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;)
        out.append(buffer, std::size_t(n));
    ::close(pipeFds[0]);
    ::waitpid(pid, nullptr, 0);
    return out;
}

template <class Condition>
bool WaitUntil(Condition condition, std::chrono::milliseconds timeout)
{
    const auto deadline = Clock::now() + timeout;
    while (!condition()) {
        if (Clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return true;
}

class Xvfb {
public:
    ~Xvfb() { Stop(pid_); }
    bool Start(const std::string& dir)
    {
        int fds[2];
        if (::pipe(fds) != 0)
            return false;
        pid_ = Spawn({"Xvfb", "-displayfd", std::to_string(fds[1]), "-nolisten", "tcp", "-screen", "0", "1280x1024x24"},
                     {}, dir + "/xvfb.out", fds[1]);
        ::close(fds[1]);
        pollfd p{fds[0], POLLIN, 0};
        char number[16] = {};
        if (::poll(&p, 1, 10000) > 0 && ::read(fds[0], number, sizeof number - 1) > 0)
            display_ = ':' + std::string(number, std::strcspn(number, "\n"));
        ::close(fds[0]);
        return !display_.empty();
    }
    const std::string& display() const { return display_; }
    pid_t pid() const { return pid_; }

private:
    pid_t pid_ = -1;
    std::string display_;
};

// --- one program under the stream --------------------------------------------

// What the phases need of a program under test.
struct Subject {
    std::function<double()> cpu;  // seconds so far
    std::function<long()> rssKb;
    // Lets it run for about `ms` (ours: the event loop; others: a sleep).
    std::function<void(int ms)> run;
    std::function<bool()> lastLineShown;  // empty where it cannot be read
    std::function<double()> serverCpu;    // the X server's; empty for ours
};

struct Phase {
    std::size_t written = 0;
    std::size_t total = 0;
    double writeSeconds = 0;
    double cpu = 0;
    double serverCpu = -1;
    std::optional<double> lastLine;  // seconds after the last byte
    bool lastLineSeen = false;
    bool looked = false;  // the last line was looked for
    double busyAfter = 0;
    std::string trouble;
};

struct Result {
    std::string name;
    std::string skipped;  // why it did not run
    Phase text, random;
    long rssBefore = -1, rssAfterText = -1, rssAfterRandom = -1;
    std::string textLogged = "n/a", randomLogged = "n/a";
    std::string note;
};

// Writes `data` to the master side as fast as it is taken, reading back
// (and dropping) whatever the program sends, on a thread of its own.
class Writer {
public:
    Writer(int master, const Bytes& data, std::chrono::seconds cap)
        : thread_([this, master, &data, cap] { Run(master, data, cap); })
    {
    }
    ~Writer() { thread_.join(); }
    bool done() const { return done_.load(std::memory_order_acquire); }

    std::size_t written = 0;
    Clock::time_point start, end;
    double threadCpu = 0;
    std::string trouble;

private:
    void Run(int master, const Bytes& data, std::chrono::seconds cap)
    {
        const double cpu0 = ThreadCpu();
        // A program that echoes must not stop the writing.
        ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
        start = Clock::now();
        const auto deadline = start + cap;
        std::uint8_t sink[4096];
        while (written < data.size()) {
            if (Clock::now() >= deadline) {
                trouble = "not all taken within " + std::to_string(cap.count()) + " s";
                break;
            }
            pollfd p{master, POLLOUT | POLLIN, 0};
            if (::poll(&p, 1, 100) <= 0)
                continue;
            if (p.revents & POLLIN)
                (void)!::read(master, sink, sizeof sink);
            if (p.revents & POLLHUP) {
                trouble = "the program closed the port";
                break;
            }
            if (p.revents & POLLOUT) {
                const ssize_t n = ::write(master, data.data() + written, std::min<std::size_t>(65536, data.size() - written));
                if (n > 0)
                    written += std::size_t(n);
                else if (n < 0 && errno != EAGAIN && errno != EINTR) {
                    trouble = std::string("write: ") + std::strerror(errno);
                    break;
                }
            }
        }
        end = Clock::now();
        threadCpu = ThreadCpu() - cpu0;
        done_.store(true, std::memory_order_release);
    }

    std::atomic<bool> done_{false};
    std::thread thread_;
};

Phase Stream(int master, const Bytes& data, Subject& s, bool inProcess)
{
    Phase ph;
    ph.total = data.size();
    const double cpu0 = s.cpu();
    const double server0 = s.serverCpu ? s.serverCpu() : 0;
    double writerCpu = 0;
    Clock::time_point end;
    {
        Writer writer(master, data, std::chrono::seconds(300));
        while (!writer.done())
            s.run(20);
        ph.written = writer.written;
        ph.writeSeconds = Seconds(writer.end - writer.start);
        ph.trouble = writer.trouble;
        writerCpu = inProcess ? writer.threadCpu : 0;
        end = writer.end;
    }
    // Until the last line is on screen (looked for every 10 ms, for at most
    // 10 s) and the program is idle again: at most 10 ms of CPU in 200 ms
    // (one clock tick for another process), sampled every 100 ms, for at
    // most a minute.
    std::vector<std::pair<Clock::time_point, double>> samples{{Clock::now(), s.cpu()}};
    auto idleAt = [&](std::size_t i) { return i + 2 < samples.size() && samples[i + 2].second - samples[i].second <= 0.010; };
    bool looking = ph.looked = bool(s.lastLineShown);
    while (Clock::now() < end + std::chrono::seconds(60)) {
        if (looking && (ph.lastLineSeen = s.lastLineShown())) {
            ph.lastLine = Seconds(Clock::now() - end);
            looking = false;
        }
        looking = looking && Clock::now() < end + std::chrono::seconds(10);
        s.run(looking ? 10 : 100);
        if (Clock::now() - samples.back().first >= std::chrono::milliseconds(100))
            samples.emplace_back(Clock::now(), s.cpu());
        if (!looking && samples.size() >= 3 && idleAt(samples.size() - 3))
            break;
    }
    std::size_t first = 0;
    while (first + 1 < samples.size() && !idleAt(first))
        ++first;
    ph.busyAfter = std::max(0.0, Seconds(samples[first].first - end));
    // A second more before the CPU and then the RSS are read: what a program
    // does once the stream is over (ours gives the heap's free room back)
    // counts, and its memory is what it holds at rest.
    s.run(1000);
    ph.cpu = s.cpu() - cpu0 - writerCpu;
    if (s.serverCpu)
        ph.serverCpu = s.serverCpu() - server0;
    return ph;
}

// How far from its start `sent` reached a log, in order, and the verdicts.
void Verdict(std::size_t reached, std::size_t logged, const Bytes& text, const Bytes& random, Result& r)
{
    const std::size_t total = text.size() + random.size();
    r.textLogged = reached >= text.size() ? "yes" : "no";
    r.randomLogged = reached == total ? "yes" : "no";
    if (reached != total)
        r.note += "log follows the stream for its first " + std::to_string(reached) + " of " + std::to_string(total) +
                  " bytes, holds about " + std::to_string(logged) + "; ";
}

// A log of the bytes as they came (GTKTerm, CuteCom).
void CompareRaw(const std::string& path, const Bytes& text, const Bytes& random, Result& r)
{
    std::ifstream in(path, std::ios::binary);
    const Bytes got((std::istreambuf_iterator<char>(in)), {});
    Bytes sent = text;
    sent.insert(sent.end(), random.begin(), random.end());
    const auto diff = std::mismatch(got.begin(), got.end(), sent.begin(), sent.end());
    Verdict(std::size_t(diff.second - sent.begin()), got.size(), text, random, r);
}

// Bytes back from the terminal's words (TerminalText.h), as the core reads
// them; none for words that give no bytes.
Bytes Rebuild(QStringView words, text::Encoding encoding = text::Encoding::Gbk)
{
    return text::Unescaped(words.toString().toStdString(), encoding).value_or(Bytes{});
}

// Whether `words` are the terminal's words for the bytes at `from`, of some
// length; if so `from` moves past them. The length read back from the words
// is exact for text; otherwise the shortest length whose words are as long
// (a byte adds at least one character, save a lead byte completed) and a
// few either side.
bool Follows(std::span<const std::uint8_t> all, std::size_t& from, QStringView words, std::size_t guess)
{
    const std::size_t left = all.size() - from;
    auto wordsOf = [&](std::size_t n) { return terminal::OneLine(all.subspan(from, n), text::Encoding::Gbk); };
    auto take = [&](std::size_t n) {
        const bool same = n > 0 && n <= left && wordsOf(n) == words;
        if (same)
            from += n;
        return same;
    };
    if (take(guess))
        return true;
    std::size_t lo = 1, hi = std::min(left, std::size_t(words.size()) * 2);
    while (lo < hi) {
        const std::size_t mid = lo + (hi - lo) / 2;
        if (wordsOf(mid).size() < words.size())
            lo = mid + 1;
        else
            hi = mid;
    }
    for (std::size_t n = lo > 8 ? lo - 8 : 1; n <= lo + 8; ++n)
        if (take(n))
            return true;
    return false;
}

// Our session log: each "RX" line must be the terminal's own words for the
// next piece of the stream (so what the words cannot tell back, random
// bytes in GBK, is still checked byte for byte).
void CompareSessionLog(const QString& path, const Bytes& text, const Bytes& random, Result& r)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        r.textLogged = r.randomLogged = "no log";
        return;
    }
    Bytes sent = text;
    sent.insert(sent.end(), random.begin(), random.end());
    const std::span<const std::uint8_t> all(sent);
    std::size_t reached = 0, logged = 0;
    bool following = true;
    int notices = 0;
    // "yyyy-MM-dd HH:mm:ss.zzz RX ..."
    constexpr qsizetype kMark = 24;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).chopped(1);
        const QString mark = line.mid(kMark, 3);
        if (mark != QStringLiteral("RX ")) {
            notices += mark == QStringLiteral("!! ");
            continue;
        }
        const QStringView words = QStringView(line).mid(kMark + 3);
        const std::size_t guess = Rebuild(words).size();
        logged += guess;
        following = following && Follows(all, reached, words, guess);
    }
    Verdict(reached, logged, text, random, r);
    if (notices)
        r.note += std::to_string(notices) + " notices in the log; ";
}

// How well the terminal's words for random bytes tell them back in
// `encoding`, 4 KiB at a time: pieces told back exactly, of all.
std::pair<std::size_t, std::size_t> ToldBack(const Bytes& random, text::Encoding encoding)
{
    std::size_t exact = 0, pieces = 0;
    for (std::size_t i = 0; i < random.size(); i += 4096, ++pieces) {
        const auto piece = std::span(random).subspan(i, std::min<std::size_t>(4096, random.size() - i));
        const Bytes back = Rebuild(terminal::OneLine(piece, encoding), encoding);
        exact += std::equal(back.begin(), back.end(), piece.begin(), piece.end());
    }
    return {exact, pieces};
}

// --- our terminal ------------------------------------------------------------

void RunOurs(Result& r, bool log, const Bytes& text, const Bytes& random, const QString& dir, bool textView)
{
    PtyPair pty;
    if (!g_Serial.Open(pty.terminalPath(), 115200, 0)) {
        r.skipped = "cannot open " + pty.terminalPath();
        return;
    }
    MessageBoxes boxes;
    boxes.Start();
    const QString logPath = dir + (log ? QStringLiteral("/ours-log.log") : QStringLiteral("/ours.log"));
    {
        MainWindow window([] { return QStringList{}; });
        window.show();
        window.findChild<QAction*>(QStringLiteral("terminalToolbarAction"))->trigger();
        TerminalWindow* term = window.terminalPage();
        QPushButton* logButton = term->findChild<QPushButton*>(QStringLiteral("logButton"));
        if (log) {
            ui::SetSaveFileHandler([&](const QString&, QString*) { return logPath; });
            logButton->click();
        }
        QString lastNumber;
        Subject s;
        s.cpu = ProcessCpu;
        s.rssKb = [] { return RssKb("self"); };
        s.run = [](int ms) {
            QEventLoop loop;
            QTimer::singleShot(ms, &loop, &QEventLoop::quit);
            loop.exec();
        };
        // The view's last lines, rather than all of viewText(), so that
        // looking costs next to nothing. A chunk's lines begin on lines of
        // their own, so the number may be cut in two.
        const auto* view = term->findChild<terminal::ReceiveView*>(QStringLiteral("receiveView"));
        s.lastLineShown = [&] {
            QString tail;
            if (!view)
                tail = term->viewText().right(4096).remove(u'\n');
            for (int i = view ? view->lineCount() - 1 : -1; i >= 0 && tail.size() < 1024; --i)
                tail.prepend(view->line(i));
            return tail.contains(lastNumber);
        };
        if (!textView)
            s.lastLineShown = nullptr;
        s.run(1000);
        r.rssBefore = s.rssKb();
        lastNumber = QStringLiteral("line %1 ").arg(text.size() / kLineBytes, 6, 10, QLatin1Char('0'));
        r.text = Stream(pty.master(), text, s, true);
        r.rssAfterText = s.rssKb();
        s.lastLineShown = nullptr;
        r.random = Stream(pty.master(), random, s, true);
        r.rssAfterRandom = s.rssKb();
        if (log) {
            logButton->click();
            CompareSessionLog(logPath, text, random, r);
        }
        ui::SetSaveFileHandler(nullptr);
    }
    if (!boxes.texts().isEmpty())
        r.note += "said: " + boxes.texts().join(QStringLiteral(" / ")).toStdString() + "; ";
    boxes.Stop();
    g_Serial.Close();
}

// --- GTKTerm and CuteCom -------------------------------------------------------

struct PeerRun {
    pid_t pid = -1;
    std::string logPath;
    std::string why;  // empty when it is up and holding the port
};

class XDo {
public:
    explicit XDo(std::string display) : display_(std::move(display)) {}
    std::string operator()(std::vector<std::string> args) const
    {
        args.insert(args.begin(), "xdotool");
        return Capture(args, {{"DISPLAY", display_}});
    }
    // The first visible window whose name matches, within `timeout`.
    std::string Window(const std::string& name, std::chrono::milliseconds timeout) const
    {
        std::string id;
        WaitUntil(
            [&] {
                const std::string out = (*this)({"search", "--onlyvisible", "--name", name});
                id = out.substr(0, out.find('\n'));
                return !id.empty();
            },
            timeout);
        return id;
    }

private:
    std::string display_;
};

Env PeerEnv(const std::string& home, const std::string& display)
{
    fs::create_directories(home + "/.config");
    fs::create_directories(home + "/run");
    fs::permissions(home + "/run", fs::perms::owner_all);
    return {{"DISPLAY", display},
            {"HOME", home},
            {"XDG_CONFIG_HOME", home + "/.config"},
            {"XDG_RUNTIME_DIR", home + "/run"},
            {"LD_PRELOAD", PTY_LINES_SHIM},
            {"NO_AT_BRIDGE", "1"},
            {"GSETTINGS_BACKEND", "memory"},
            {"QT_QPA_PLATFORM", "xcb"},
            {"LANG", "C.UTF-8"}};
}

PeerRun StartGtkTerm(const std::string& slave, bool log, const std::string& home, const Xvfb& x)
{
    PeerRun p;
    const Env env = PeerEnv(home, x.display());
    // Its settings as it writes them on a first start, so that it does not
    // stop to say it made them.
    std::ofstream(home + "/.config/.gtktermrc")
        << "[default]\nport\t= " << slave
        << "\nspeed\t= 115200\nbits\t= 8\nstopbits\t= 1\nparity\t= none\nflow\t= none\nwait_delay\t= 0\n"
           "wait_char\t= -1\nrs485_rts_time_before_tx\t= 30\nrs485_rts_time_after_tx\t= 30\necho\t= False\n"
           "crlfauto\t= False\ntimestamp\t= False\nfont\t= \"Monospace 12\"\nterm_block_cursor\t= True\n"
           "term_rows\t= 80\nterm_columns\t= 25\nterm_scrollback\t= 10000\nterm_visual_bell\t= True\n"
           "term_foreground_red\t= 0.660000\nterm_foreground_blue\t= 0.660000\nterm_foreground_green\t= 0.660000\n"
           "term_foreground_alpha\t= 1.000000\nterm_background_red\t= 0.000000\nterm_background_blue\t= 0.000000\n"
           "term_background_green\t= 0.000000\nterm_background_alpha\t= 1.000000\n";
    p.pid = Spawn({"gtkterm", "-p", slave, "-s", "115200"}, env, home + "/out.txt");
    if (!WaitUntil([&] { return HoldsOpen(p.pid, slave); }, std::chrono::seconds(15))) {
        p.why = "did not open the port";
        return p;
    }
    if (!log)
        return p;
    // Log > To file..., then the file's name in the dialog.
    const XDo xdo(x.display());
    p.logPath = home + "/gtkterm.log";
    const std::string w = xdo.Window("^GTKTerm - ", std::chrono::seconds(10));
    xdo({"windowfocus", "--sync", w, "key", "alt+l"});
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    xdo({"key", "Return"});
    const std::string dialog = xdo.Window("^Log file selection$", std::chrono::seconds(10));
    if (dialog.empty()) {
        p.why = "its log dialog did not open";
        return p;
    }
    xdo({"windowfocus", "--sync", dialog, "type", "--delay", "5", p.logPath});
    // The first Return may only close the name's completion.
    for (int i = 0; i < 3 && !HoldsOpen(p.pid, p.logPath); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        xdo({"windowfocus", "--sync", dialog, "key", "Return"});
        WaitUntil([&] { return HoldsOpen(p.pid, p.logPath); }, std::chrono::seconds(1));
    }
    if (!HoldsOpen(p.pid, p.logPath))
        p.why = "its log could not be started";
    return p;
}

PeerRun StartCuteCom(const std::string& slave, bool log, const std::string& home, const Xvfb& x)
{
    PeerRun p;
    const Env env = PeerEnv(home, x.display());
    // A session naming the port; it opens it when told (Alt+O).
    fs::create_directories(home + "/.config/CuteCom");
    std::ofstream(home + "/.config/CuteCom/CuteCom5.conf")
        << "[CuteCom]\nsession=bench\n\n[sessions]\n1\\BaudRate=115200\n1\\DataBits=8\n1\\Device=" << slave
        << "\n1\\FlowControl=0\n1\\OpenMode=3\n1\\Parity=0\n1\\StopBits=1\n1\\autoReconnect=true\n1\\name=bench\n"
           "1\\showCtrlCharacters=false\n1\\showTimestamp=false\nsize=1\n";
    p.pid = Spawn({"cutecom", "-s", "bench"}, env, home + "/out.txt");
    const XDo xdo(x.display());
    const std::string w = xdo.Window("^CuteCom - bench$", std::chrono::seconds(15));
    if (w.empty()) {
        p.why = "its window did not come up";
        return p;
    }
    for (int i = 0; i < 3 && !HoldsOpen(p.pid, slave); ++i) {
        xdo({"windowfocus", "--sync", w, "key", "alt+o"});
        WaitUntil([&] { return HoldsOpen(p.pid, slave); }, std::chrono::seconds(2));
    }
    if (!HoldsOpen(p.pid, slave)) {
        p.why = "did not open the port";
        return p;
    }
    if (!log)
        return p;
    // "Logging to: ~/cutecom.log" is a check box with no key of its own: a
    // click where it lies in CuteCom 0.51's window (checked by the file
    // being open afterwards).
    p.logPath = home + "/cutecom.log";
    const std::string geometry = xdo({"getwindowgeometry", w});
    const auto at = geometry.find("Geometry: ");
    const int height = at == std::string::npos ? 0 : std::atoi(geometry.c_str() + geometry.find('x', at) + 1);
    xdo({"mousemove", "--window", w, "206", std::to_string(height - 44), "click", "1"});
    if (!WaitUntil([&] { return HoldsOpen(p.pid, p.logPath); }, std::chrono::seconds(3)))
        p.why = "its log could not be started";
    return p;
}

void RunPeer(Result& r, bool log, const Bytes& text, const Bytes& random, const std::string& dir, const Xvfb& x,
             PeerRun (*start)(const std::string&, bool, const std::string&, const Xvfb&))
{
    PtyPair pty;
    const PeerRun p = start(pty.terminalPath(), log, dir, x);
    if (!p.why.empty()) {
        r.skipped = p.why;
        Stop(p.pid);
        return;
    }
    Subject s;
    s.cpu = [pid = p.pid] { return ChildCpu(pid); };
    s.rssKb = [pid = p.pid] { return RssKb(std::to_string(pid)); };
    s.run = [](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); };
    s.serverCpu = [pid = x.pid()] { return ChildCpu(pid); };
    s.run(1000);
    r.rssBefore = s.rssKb();
    r.text = Stream(pty.master(), text, s, false);
    r.rssAfterText = s.rssKb();
    r.random = Stream(pty.master(), random, s, false);
    r.rssAfterRandom = s.rssKb();
    if (::kill(p.pid, 0) != 0)
        r.note += "it ended during the run; ";
    Stop(p.pid);
    if (log)
        CompareRaw(p.logPath, text, random, r);
}

// --- the table ---------------------------------------------------------------

std::string Fixed(double v, int places)
{
    char s[32];
    std::snprintf(s, sizeof s, "%.*f", places, v);
    return s;
}

using ToldPair = std::pair<std::size_t, std::size_t>;

void Print(const std::vector<Result>& results, double textMiB, double randomMiB, ToldPair gbk, ToldPair utf8)
{
    const Result* gtk = nullptr;
    for (const Result& r : results)
        if (r.name == "GTKTerm" && r.skipped.empty())
            gtk = &r;
    auto rate = [](const Phase& p) { return p.writeSeconds > 0 ? Fixed(double(p.written) / kMiB / p.writeSeconds, 1) : "-"; };
    auto perMiB = [](const Phase& p, double v) { return p.written ? Fixed(v / (double(p.written) / kMiB), 4) : "-"; };
    auto mib = [](long kb) { return kb < 0 ? std::string("-") : Fixed(double(kb) / 1024, 1); };
    const std::string cpuTarget =
        gtk ? "<= " + Fixed(gtk->text.cpu / (double(gtk->text.written) / kMiB) / 2, 4) + " (half GTKTerm's)"
            : "<= half GTKTerm's (not run)";
    struct Row {
        std::string label;
        std::function<std::string(const Result&)> cell;
        std::string target;
    };
    const std::vector<Row> rows = {
        {"text MiB/s accepted", [&](const Result& r) { return rate(r.text); }, ""},
        {"text CPU s/MiB", [&](const Result& r) { return perMiB(r.text, r.text.cpu); }, cpuTarget},
        {"text X server CPU s/MiB",
         [&](const Result& r) { return r.text.serverCpu < 0 ? std::string("n/a") : perMiB(r.text, r.text.serverCpu); }, ""},
        {"random MiB/s accepted", [&](const Result& r) { return rate(r.random); }, ""},
        {"random CPU s/MiB", [&](const Result& r) { return perMiB(r.random, r.random.cpu); }, ""},
        {"RSS before (MiB)", [&](const Result& r) { return mib(r.rssBefore); }, ""},
        {"RSS after text (MiB)", [&](const Result& r) { return mib(r.rssAfterText); }, ""},
        {"RSS after random (MiB)", [&](const Result& r) { return mib(r.rssAfterRandom); }, ""},
        {"RSS growth, text (MiB)",
         [&](const Result& r) {
             return r.rssBefore < 0 || r.rssAfterText < 0 ? std::string("-") : mib(r.rssAfterText - r.rssBefore);
         },
         "< 20"},
        {"last line shown after (s)",
         [&](const Result& r) {
             return r.text.lastLine ? Fixed(*r.text.lastLine, 3)
                                    : std::string(r.text.looked ? "never" : "n/a");
         },
         "<= 0.5"},
        {"busy after last byte (s)", [&](const Result& r) { return Fixed(r.text.busyAfter, 2); }, ""},
        {"every text byte logged", [&](const Result& r) { return r.textLogged; }, "yes"},
        {"every random byte logged", [&](const Result& r) { return r.randomLogged; }, "yes"},
    };
    std::printf("\n%g MiB of text lines, then %g MiB of random bytes, written at full speed\n\n", textMiB,
                randomMiB);
    std::printf("%-27s", "");
    for (const Result& r : results)
        std::printf(" %15s", r.name.c_str());
    std::printf("  target\n");
    for (const Row& row : rows) {
        std::printf("%-27s", row.label.c_str());
        for (const Result& r : results)
            std::printf(" %15s", r.skipped.empty() ? row.cell(r).c_str() : "-");
        std::printf("  %s\n", row.target.c_str());
    }
    std::printf("\n");
    for (const Result& r : results) {
        std::string note = r.skipped.empty() ? r.note : r.skipped;
        for (const Phase* p : {&r.text, &r.random})
            if (!p->trouble.empty())
                note += p->trouble + "; ";
        if (note.size() > 2 && note.ends_with("; "))
            note.resize(note.size() - 2);
        if (!note.empty())
            std::printf("%s: %s\n", r.name.c_str(), note.c_str());
    }
    std::printf("The terminal's words for the random bytes tell them back exactly in %zu of %zu pieces of 4 KiB\n"
                "in GBK, %zu of %zu in UTF-8.\n",
                gbk.first, gbk.second, utf8.first, utf8.second);
}

}  // namespace

int main(int argc, char* argv[])
{
    double textMiB = 5, randomMiB = 1;
    bool peers = true;
    int view = 0;  // the terminal's view combo: text, hex, both
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--text-mib") == 0 && i + 1 < argc)
            textMiB = std::atof(argv[++i]);
        else if (std::strcmp(argv[i], "--random-mib") == 0 && i + 1 < argc)
            randomMiB = std::atof(argv[++i]);
        else if (std::strcmp(argv[i], "--no-peers") == 0)
            peers = false;
        else if (std::strcmp(argv[i], "--view") == 0 && i + 1 < argc)
            view = std::strcmp(argv[++i], "hex") == 0 ? 1 : std::strcmp(argv[i], "both") == 0 ? 2 : 0;
    }
    ::signal(SIGPIPE, SIG_IGN);
    QTemporaryDir dir;
    // Ours offscreen, with settings of its own; the others get their own.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("XDG_CONFIG_HOME", (dir.path() + QStringLiteral("/config")).toUtf8());
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("dtutool"));
    QApplication::setApplicationName(QStringLiteral("dtutool"));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path() + QStringLiteral("/config"));
    ui::RememberSettings(true);
    QSettings().setValue(QStringLiteral("terminal/view"), view);

    const Bytes text = TextLines(std::size_t(textMiB * kMiB) / kLineBytes * kLineBytes);
    const Bytes random = RandomBytes(std::size_t(randomMiB * kMiB));
    std::vector<Result> results;
    for (bool log : {false, true}) {
        Result r;
        r.name = log ? "dtutool+log" : "dtutool";
        std::fprintf(stderr, "%s...\n", r.name.c_str());
        RunOurs(r, log, text, random, dir.path(), view == 0);
        results.push_back(r);
    }

    struct Peer {
        const char* name;
        const char* program;
        PeerRun (*start)(const std::string&, bool, const std::string&, const Xvfb&);
    };
    const Peer all[] = {{"GTKTerm", "gtkterm", StartGtkTerm}, {"CuteCom", "cutecom", StartCuteCom}};
    std::unique_ptr<Xvfb> x;
    for (const Peer& peer : all) {
        for (bool log : {false, true}) {
            Result r;
            r.name = std::string(peer.name) + (log ? "+log" : "");
            if (!peers) {
                r.skipped = "not run (--no-peers)";
            } else if (!FindProgram(peer.program)) {
                r.skipped = "not installed";
            } else if (!FindProgram("Xvfb") || (log && !FindProgram("xdotool"))) {
                r.skipped = log ? "needs Xvfb and xdotool" : "needs Xvfb";
            } else {
                if (!x) {
                    x = std::make_unique<Xvfb>();
                    if (!x->Start(dir.path().toStdString()))
                        r.skipped = "Xvfb did not start";
                }
                if (r.skipped.empty()) {
                    std::fprintf(stderr, "%s...\n", r.name.c_str());
                    const std::string home = dir.path().toStdString() + '/' + r.name;
                    RunPeer(r, log, text, random, home, *x, peer.start);
                }
            }
            results.push_back(r);
        }
    }
    x.reset();
    Print(results, textMiB, randomMiB, ToldBack(random, text::Encoding::Gbk), ToldBack(random, text::Encoding::Utf8));
    return 0;
}
