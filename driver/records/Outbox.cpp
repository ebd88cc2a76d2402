#include "driver/records/Outbox.h"

#include "core/common/Tr.h"
#include "core/records/Place.h"
#include "driver/records/Messages.h"

#include <nlohmann/json.hpp>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace records {

namespace {

std::string Cause(const std::string& path)
{
    return text::Fill(msg::kOutbox, {path, std::strerror(errno)});
}

// The outbox's lock: a file beside it that is never replaced, so that every
// program and thread holding it holds the same one while the outbox itself
// is replaced whole.
class Locked {
public:
    explicit Locked(const std::string& path) : fd_(::open((path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600))
    {
        while (fd_ >= 0 && ::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
        }
    }
    ~Locked()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;
    bool ok() const { return fd_ >= 0; }

private:
    int fd_;
};

std::optional<double> Limit(const nlohmann::json& j, const char* key)
{
    const auto v = j.find(key);
    return v != j.end() && v->is_number() ? std::optional(v->get<double>()) : std::nullopt;
}

nlohmann::json Limit(const std::optional<double>& v)
{
    return v ? nlohmann::json(*v) : nlohmann::json(nullptr);
}

std::vector<Pending> Read(const std::string& path)
{
    std::vector<Pending> out;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return out;
    std::string text;
    char chunk[4096];
    for (ssize_t n; (n = ::read(fd, chunk, sizeof chunk)) != 0;) {
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            break;
        text.append(chunk, static_cast<std::size_t>(n));
    }
    ::close(fd);
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        // A line cut short by a crash while it was written is skipped, not
        // the rest with it.
        const nlohmann::json j = nlohmann::json::parse(text.begin() + static_cast<long>(start),
                                                       text.begin() + static_cast<long>(end), nullptr, false);
        if (j.is_object()) {
            Pending p;
            p.store = j.value("store", "");
            p.id = j.value("id", std::int64_t{0});
            p.result = j.value("result", "");
            p.detail = j.value("detail", "");
            p.ended = j.value("ended", "");
            p.unitId = j.value("unit_id", "");
            p.version = j.value("version", "");
            // Absent from a line of a version before them.
            if (const auto all = j.find("measurements"); all != j.end() && all->is_array())
                for (const nlohmann::json& m : *all)
                    if (m.is_object())
                        p.measurements.push_back({m.value("name", ""), m.value("value", ""), m.value("unit", ""),
                                                  Limit(m, "low"), Limit(m, "high"), m.value("expected", ""),
                                                  m.value("passed", false)});
            if (!p.store.empty() && p.id != 0)
                out.push_back(std::move(p));
        }
        start = end + 1;
    }
    return out;
}

// The whole outbox replaced at once: a crash leaves the old one or the new.
bool Write(const std::string& path, const std::vector<Pending>& all, std::string& error)
{
    if (all.empty()) {
        if (::unlink(path.c_str()) != 0 && errno != ENOENT) {
            error = Cause(path);
            return false;
        }
        return true;
    }
    std::string text;
    for (const Pending& p : all) {
        nlohmann::json j{{"store", p.store},   {"id", p.id},       {"result", p.result},
                         {"detail", p.detail}, {"ended", p.ended}, {"unit_id", p.unitId},
                         {"version", p.version}};
        for (const Measurement& m : p.measurements)
            j["measurements"].push_back({{"name", m.name},
                                         {"value", m.value},
                                         {"unit", m.unit},
                                         {"low", Limit(m.low)},
                                         {"high", Limit(m.high)},
                                         {"expected", m.expected},
                                         {"passed", m.passed}});
        text += j.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
    }
    const std::string temporary = path + ".new";
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) {
        error = Cause(temporary);
        return false;
    }
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    const bool ok = done == text.size() && ::fsync(fd) == 0;
    if (!ok)
        error = Cause(temporary);
    ::close(fd);
    if (!ok || ::rename(temporary.c_str(), path.c_str()) != 0) {
        if (ok)
            error = Cause(path);
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace

Outbox::Outbox(std::string path) : path_(std::move(path)) {}

bool Outbox::Add(const Pending& p, std::string& error) const
{
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path_).parent_path(), ec);
    const Locked lock(path_);
    if (!lock.ok()) {
        error = Cause(path_ + ".lock");
        return false;
    }
    std::vector<Pending> all = Read(path_);
    all.push_back(p);
    return Write(path_, all, error);
}

std::size_t Outbox::Deliver(Store& store) const
{
    struct stat st {};
    // The common case, nothing waiting, costs one stat and makes no file.
    if (::stat(path_.c_str(), &st) != 0)
        return 0;
    const Locked lock(path_);
    if (!lock.ok())
        return Waiting(store.Name());
    std::vector<Pending> all = Read(path_);
    std::vector<Pending> kept;
    std::size_t waiting = 0;
    for (Pending& p : all) {
        if (p.store != store.Name()) {
            kept.push_back(std::move(p));
            continue;
        }
        // Each is tried: one the store refuses for itself holds up no other.
        std::string error;
        const bool refused =
            ((!p.unitId.empty() || !p.version.empty()) && !store.Identify(p.id, p.unitId, p.version, error)) ||
            !store.Complete(p.id, p.result, p.detail, p.ended, p.measurements, error);
        if (refused) {
            kept.push_back(std::move(p));
            ++waiting;
        }
    }
    std::string error;
    if (kept.size() != all.size() && !Write(path_, kept, error))
        return Waiting(store.Name());
    return waiting;
}

std::size_t Outbox::Waiting(const std::string& storeName) const
{
    std::size_t n = 0;
    for (const Pending& p : All())
        n += p.store == storeName;
    return n;
}

std::vector<Pending> Outbox::All() const
{
    return Read(path_);
}

}  // namespace records
