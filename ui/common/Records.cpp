#include "ui/common/Records.h"

#include "core/records/Place.h"
#include "driver/records/Store.h"
#include "driver/serial/BufferedPort.h"
#include "jobs/port/Messages.h"
#include "ui/common/Settings.h"
#include "ui/common/Words.h"

#include <QCoreApplication>
#include <QPointer>

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

void OnWindowThread(std::function<void()> f)
{
    if (QCoreApplication* app = QCoreApplication::instance())
        QMetaObject::invokeMethod(app, std::move(f), Qt::QueuedConnection);
}

void BeginPageRecord(std::string_view action, const std::string& profileSha256, std::optional<jobs::Image> image,
                     QObject* context, PageRecordBegun done)
{
    const std::shared_ptr<jobs::OpeningStore> opening = WindowRecords();
    // Records off: nothing to wait for, the job starts at once.
    if (std::string off; opening->Done() && opening->Wait(off).value_or(nullptr) == nullptr && off.empty()) {
        done(PageRecord{{}, 0, opening}, {});
        return;
    }
    const std::string port = g_Serial.PortPath();
    const SeenUnit unit = LastSeen(port);
    opening->Post([opening, port, unit, action = std::string(action), profileSha256, image = std::move(image),
                   guard = QPointer<QObject>(context),
                   done = std::move(done)](const std::shared_ptr<records::Store>& store, const std::string& failed) {
        std::optional<PageRecord> record;
        std::string cause = failed;
        if (cause.empty() && !store) {
            record = PageRecord{{}, 0, opening};
        } else if (cause.empty()) {
            std::optional<records::Record> basis = jobs::RunBasis(ProgramName(), {}, image ? &*image : nullptr, cause);
            if (basis) {
                basis->profileSha256 = profileSha256;
                const jobs::Recorder recorder(store, *basis);
                if (const auto id = recorder.Begin(port, action, unit.ownId, unit.version, cause))
                    record = PageRecord{recorder, *id, opening};
            }
        }
        OnWindowThread([guard, done, record, cause] {
            if (guard) {
                done(record, Words(cause));
            } else if (record && record->id != 0) {
                // Begun for a page that went away before its job started.
                record->opening->Post([record](const std::shared_ptr<records::Store>&, const std::string&) {
                    std::string error;
                    record->recorder.Complete(record->id, records::kResultStopped, jobs::msg::kPageClosed, error);
                });
            }
        });
    });
}

void CompletePageRecord(const PageRecord& record, std::string_view result, const std::string& detail,
                        QObject* context, std::function<void(const QString& words)> said)
{
    if (!record.opening || record.id == 0)
        return;
    record.opening->Post([record, result = std::string(result), detail, guard = QPointer<QObject>(context),
                          said = std::move(said)](const std::shared_ptr<records::Store>&, const std::string&) {
        std::string error;
        const jobs::Kept kept = record.recorder.Complete(record.id, result, detail, error);
        if (kept == jobs::Kept::Stored || !said)
            return;
        OnWindowThread([guard, said, kept, error] {
            if (guard)
                said(RecordEndWords(kept, error));
        });
    });
}

QString RecordEndWords(jobs::Kept kept, const std::string& error)
{
    switch (kept) {
    case jobs::Kept::Stored:
        break;
    case jobs::Kept::Waiting:
        return QCoreApplication::translate("Records", "记录库未能收到记录的结果（%1）：结果已存放在本机，记录库恢复后送达。")
            .arg(Words(error));
    case jobs::Kept::Lost:
        return QCoreApplication::translate("Records", "记录未能完成：%1").arg(Words(error));
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
