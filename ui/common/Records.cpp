#include "ui/common/Records.h"

#include "core/records/Place.h"
#include "driver/records/Store.h"
#include "driver/serial/BufferedPort.h"
#include "ui/common/Settings.h"

#include <QCoreApplication>

#include <chrono>
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
    // A place that failed is tried again: a server may be back.
    std::string failed;
    if (!opening || wanted != place || (opening->Done() && !opening->Wait(failed))) {
        place = wanted;
        opening = std::make_shared<jobs::OpeningStore>(wanted);
    }
    return opening;
}

std::string ProgramName()
{
    return std::string("dtutool ").append(DTU_VERSION);
}

std::optional<PageRecord> BeginPageRecord(std::string_view action, const std::string& profileSha256,
                                          const jobs::Image* image, QString& error)
{
    // The window waits a moment for a store still being reached, never for
    // a server that does not answer.
    const std::shared_ptr<jobs::OpeningStore> opening = WindowRecords();
    if (!opening->Done(std::chrono::milliseconds(300))) {
        error = QCoreApplication::translate("Records", "记录存放处 %1 仍在连接，请稍后再试。")
                    .arg(QString::fromStdString(records::Shown(RecordsPlace())));
        return std::nullopt;
    }
    std::string cause;
    const auto store = opening->Wait(cause);
    std::optional<records::Record> basis;
    if (store && *store)
        basis = jobs::RunBasis(ProgramName(), {}, image, cause);
    if (!store || (*store && !basis)) {
        error = QString::fromStdString(cause);
        return std::nullopt;
    }
    if (!*store)
        return PageRecord{};
    basis->profileSha256 = profileSha256;
    const jobs::Recorder recorder(*store, *basis);
    const std::string port = g_Serial.PortPath();
    const SeenUnit unit = LastSeen(port);
    const std::optional<std::int64_t> id = recorder.Begin(port, action, unit.ownId, unit.version, cause);
    if (!id) {
        error = QString::fromStdString(cause);
        return std::nullopt;
    }
    return PageRecord{recorder, *id};
}

QString RecordEndWords(jobs::Kept kept, const std::string& error)
{
    switch (kept) {
    case jobs::Kept::Stored:
        break;
    case jobs::Kept::Waiting:
        return QCoreApplication::translate("Records", "记录库未能收到记录的结果（%1）：结果已存放在本机，记录库恢复后送达。")
            .arg(QString::fromStdString(error));
    case jobs::Kept::Lost:
        return QCoreApplication::translate("Records", "记录未能完成：%1").arg(QString::fromStdString(error));
    }
    return {};
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

void ForgetUnit()
{
    LastHeard() = {};
}

SeenUnit LastSeen(const std::string& port)
{
    const Seen& seen = LastHeard();
    return seen.port == port ? seen.unit : SeenUnit{};
}

}  // namespace ui
