#include "jobs/records/Recorder.h"

#include "core/net/PortUrl.h"
#include "driver/host/Identity.h"
#include "driver/records/Sha256.h"
#include "driver/serial/PortInfo.h"

namespace jobs {

std::optional<records::Record> RunBasis(std::string_view program, const std::string& profilePath,
                                        const Image* image, std::string& error)
{
    records::Record r;
    r.station = host::Station();
    r.operatorName = host::OperatorName();
    r.program = program;
    if (!profilePath.empty()) {
        const std::optional<std::string> sha = records::FileSha256(profilePath, error);
        if (!sha)
            return std::nullopt;
        r.profileName = profilePath;
        r.profileSha256 = *sha;
    }
    if (image) {
        // The bytes sent, not the file as it may be by now.
        r.imageName = image->path;
        r.imageSha256 = records::Sha256(image->bytes);
        r.imageSize = static_cast<std::int64_t>(image->bytes.size());
        r.imageKind = image->kind == upgrade::Kind::Iap ? records::kImageIap : records::kImageApp;
    }
    return r;
}

namespace {

// The port as records name it: its /dev/serial/by-id/ name, or the URL.
std::string PortId(const std::string& port)
{
    if (net::LooksLikeUrl(port))
        return port;
    return serial::DescribePort(port).byId;
}

}  // namespace

Recorder::Recorder(std::shared_ptr<records::Store> store, records::Record basis, std::string outbox)
    : store_(std::move(store)), basis_(std::move(basis)), outbox_(std::move(outbox))
{
}

std::optional<std::int64_t> Recorder::Begin(const std::string& port, std::string_view action,
                                            const std::string& unitId, const std::string& version,
                                            std::string& error, records::Record* begun,
                                            const std::string& label) const
{
    if (!store_)
        return 0;
    records::Record r = basis_;
    r.started = records::IsoTime(host::WallMs());
    r.port = port;
    r.portId = PortId(port);
    r.action = action;
    r.unitId = unitId;
    r.label = label;
    r.version = version;
    std::optional<std::int64_t> id = store_->Begin(r, error);
    if (!id)
        return id;
    outbox_.Deliver(*store_);
    if (begun) {
        *begun = std::move(r);
        begun->id = *id;
    }
    return id;
}

Kept Recorder::Complete(std::int64_t id, std::string_view result, const std::string& detail, std::string& error,
                        const std::string& unitId, const std::string& version, std::string* endedAt) const
{
    return Complete(id, result, detail, {}, error, unitId, version, endedAt);
}

Kept Recorder::Complete(std::int64_t id, std::string_view result, const std::string& detail,
                        const std::vector<records::Measurement>& measurements, std::string& error,
                        const std::string& unitId, const std::string& version, std::string* endedAt) const
{
    if (!store_ || id == 0)
        return Kept::Stored;
    const std::string ended = records::IsoTime(host::WallMs());
    if (endedAt)
        *endedAt = ended;
    const bool identified = (unitId.empty() && version.empty()) || store_->Identify(id, unitId, version, error);
    if (identified && store_->Complete(id, result, detail, ended, measurements, error))
        return Kept::Stored;
    std::string kept;
    const records::Pending pending{store_->Name(), id,      std::string(result), detail,
                                   ended,          unitId,  version,             measurements};
    if (outbox_.Path().empty() || !outbox_.Add(pending, kept)) {
        if (!kept.empty())
            error += "; " + kept;
        return Kept::Lost;
    }
    return Kept::Waiting;
}

bool Recorder::Identify(std::int64_t id, const std::string& unitId, const std::string& version,
                        std::string& error) const
{
    if (!store_ || id == 0 || (unitId.empty() && version.empty()))
        return true;
    return store_->Identify(id, unitId, version, error);
}

std::optional<std::string> Recorder::TakeOwnId(const std::string& first, const std::string& last,
                                              const std::string& current, std::string& error) const
{
    if (!store_) {
        error = kOwnIdsNeedRecords;
        return std::nullopt;
    }
    return store_->TakeOwnId(first, last, current, error);
}

OpeningStore::OpeningStore(std::string place) : opener_([this, place = std::move(place)] { Serve(place); }) {}

OpeningStore::~OpeningStore()
{
    {
        std::lock_guard hold(lock_);
        closing_ = true;
    }
    posted_.notify_all();
    opener_.join();
}

void OpeningStore::Serve(std::string place)
{
    std::string error;
    std::shared_ptr<records::Store> store = records::OpenStore(place, error);
    std::unique_lock hold(lock_);
    store_ = std::move(store);
    error_ = std::move(error);
    finished_ = true;
    done_.notify_all();
    for (;;) {
        posted_.wait(hold, [this] { return closing_ || !tasks_.empty(); });
        if (tasks_.empty())
            return;
        Task task = std::move(tasks_.front());
        tasks_.pop_front();
        const std::shared_ptr<records::Store> open = store_;
        const std::string failed = error_;
        hold.unlock();
        task(open, failed);
        hold.lock();
    }
}

void OpeningStore::Post(Task task)
{
    {
        std::lock_guard hold(lock_);
        tasks_.push_back(std::move(task));
    }
    posted_.notify_one();
}

std::optional<std::shared_ptr<records::Store>> OpeningStore::Wait(std::string& error)
{
    std::unique_lock lock(lock_);
    done_.wait(lock, [this] { return finished_; });
    if (!error_.empty()) {
        error = error_;
        return std::nullopt;
    }
    return store_;
}

bool OpeningStore::Done(std::chrono::milliseconds patience) const
{
    std::unique_lock lock(lock_);
    return done_.wait_for(lock, patience, [this] { return finished_; });
}

}  // namespace jobs
