// The window's records of the jobs it runs: one store for every page,
// opened on a thread of its own the first time a page asks for it.
#pragma once

#include "jobs/records/Recorder.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

#include <memory>
#include <optional>
#include <string>

namespace ui {

// DTUTOOL_RECORDS, else the remembered "records/place", else the default
// file; empty when records are off.
std::string RecordsPlace();

// Opened again when the place has changed since the last call. The
// window's thread alone calls it.
std::shared_ptr<jobs::OpeningStore> WindowRecords();

// Runs `f` on the window's thread: posted to the application object, which
// outlives every page.
void OnWindowThread(std::function<void()> f);

// Asks the store on its own thread, once it is open, and answers on the
// window's thread while `context` lives: the window never waits for a disk
// or a database server. `ask` gets the store (null when records are off)
// or the open's error.
template <typename T>
void AskStore(jobs::OpeningStore& opening, QObject* context,
              std::function<T(const std::shared_ptr<records::Store>& store, const std::string& openError)> ask,
              std::function<void(T)> answer)
{
    opening.Post([guard = QPointer<QObject>(context), ask = std::move(ask), answer = std::move(answer)](
                     const std::shared_ptr<records::Store>& store, const std::string& openError) {
        auto result = std::make_shared<T>(ask(store, openError));
        // `guard` is only looked at on the window's thread.
        OnWindowThread([guard, answer, result] {
            if (guard)
                answer(std::move(*result));
        });
    });
}

// What records name as the program: "dtutool 0.1.0".
std::string ProgramName();

// The record of a page's job on the window's own port, begun before its
// first frame, with the unit the page last heard there. Begun and completed
// on the store's own thread: the window never waits for a disk or a
// database server.
struct PageRecord {
    jobs::Recorder recorder;
    std::int64_t id = 0;
    std::shared_ptr<jobs::OpeningStore> opening;  // whose thread completes it
};
// `done` runs on the window's thread with the record (one that records
// nothing when records are off), or with nothing and the error in the
// window's words: the job must not start. It is not run once `context` is
// gone; a record begun for it then ends as stopped.
using PageRecordBegun = std::function<void(std::optional<PageRecord> record, const QString& error)>;
void BeginPageRecord(std::string_view action, const std::string& profileSha256, std::optional<jobs::Image> image,
                     QObject* context, PageRecordBegun done);
// `said`, when the end did not reach the store, runs on the window's thread
// with what became of it, while `context` lives.
void CompletePageRecord(const PageRecord& record, std::string_view result, const std::string& detail,
                        QObject* context, std::function<void(const QString& words)> said);

// What became of a record's end, in the window's words; empty when it was
// stored.
QString RecordEndWords(jobs::Kept kept, const std::string& error);

// The unit the window's pages last heard on a port: the DTU page and the
// upgrade page send only the requests they always sent, so their records
// name what the page read there before, when it read anything.
struct SeenUnit {
    std::string ownId, version;
};
void NoteOwnId(const std::string& port, const std::string& id);
void NoteVersion(const std::string& port, const std::string& version);
SeenUnit LastSeen(const std::string& port);
// The port was opened, closed or lost: the unit on it may be another now.
void ForgetUnit();

}  // namespace ui
