#include "ui/common/Records.h"

#include "driver/records/Store.h"
#include "driver/serial/BufferedPort.h"
#include "ui/common/Settings.h"

#include <cstdlib>

#ifndef DTU_VERSION
#define DTU_VERSION "0"
#endif

namespace ui {

std::string RecordsPlace()
{
    if (const char* env = std::getenv("DTUTOOL_RECORDS"); env && *env)
        return records::ChosenPlace("");
    const std::unique_ptr<QSettings> settings = Remembered();
    return records::ChosenPlace(settings ? settings->value(QStringLiteral("records/place")).toString().toStdString()
                                         : std::string());
}

std::shared_ptr<jobs::OpeningStore> WindowRecords()
{
    // Opened again only when the place changes; jobs under way keep theirs.
    static std::string place;
    static std::shared_ptr<jobs::OpeningStore> opening;
    const std::string wanted = RecordsPlace();
    if (!opening || wanted != place) {
        place = wanted;
        opening = std::make_shared<jobs::OpeningStore>(wanted);
    }
    return opening;
}

std::string ProgramName()
{
    return std::string("dtutool ").append(DTU_VERSION);
}

std::optional<jobs::Recorder> JobRecorder(const std::string& profilePath, const jobs::Image* image, QString& error)
{
    std::string cause;
    const auto store = WindowRecords()->Wait(cause);
    if (!store) {
        error = QString::fromStdString(cause);
        return std::nullopt;
    }
    if (!*store)
        return jobs::Recorder();
    const auto basis = jobs::RunBasis(ProgramName(), profilePath, image, cause);
    if (!basis) {
        error = QString::fromStdString(cause);
        return std::nullopt;
    }
    return jobs::Recorder(*store, *basis);
}

std::optional<PageRecord> BeginPageRecord(std::string_view action, const std::string& profileSha256,
                                          const jobs::Image* image, QString& error)
{
    std::optional<jobs::Recorder> recorder = JobRecorder({}, image, error);
    if (!recorder)
        return std::nullopt;
    if (!profileSha256.empty())
        recorder->SetProfile({}, profileSha256);
    const std::string port = g_Serial.PortPath();
    const SeenUnit unit = LastSeen(port);
    std::string cause;
    const std::optional<std::int64_t> id = recorder->Begin(port, action, unit.ownId, unit.version, cause);
    if (!id) {
        error = QString::fromStdString(cause);
        return std::nullopt;
    }
    return PageRecord{std::move(*recorder), *id};
}

namespace {

// The window's thread alone reads and writes it.
struct Seen {
    std::string port;
    SeenUnit unit;
};
Seen& LastHeard()
{
    static Seen seen;
    return seen;
}

SeenUnit& On(const std::string& port)
{
    Seen& seen = LastHeard();
    if (seen.port != port)
        seen = {port, {}};
    return seen.unit;
}

}  // namespace

void NoteOwnId(const std::string& port, const std::string& id)
{
    On(port).ownId = id;
}

void NoteVersion(const std::string& port, const std::string& version)
{
    On(port).version = version;
}

SeenUnit LastSeen(const std::string& port)
{
    const Seen& seen = LastHeard();
    return seen.port == port ? seen.unit : SeenUnit{};
}

}  // namespace ui
