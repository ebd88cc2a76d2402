// The records stores' texts. Records and dtuctl keep them in English, as
// written here; the window shows them in its language by matching a text
// against these (ui/common/Words.h), so each is a pattern whose values are
// %1 ... %9, filled with text::Fill.
#pragma once

#include "core/common/Tr.h"

namespace records::msg {

// Every failure: the file's path or the URL, then why.
inline constexpr const char* kStore = DTU_TR_NOOP("records::msg", "records store %1: %2");
inline constexpr const char* kNoPath = DTU_TR_NOOP("records::msg", "records store: no path given");
inline constexpr const char* kNoRecord = DTU_TR_NOOP("records::msg", "no record %1");
inline constexpr const char* kNotAResult = DTU_TR_NOOP("records::msg", "not a result: %1");
inline constexpr const char* kOutOfMemory = DTU_TR_NOOP("records::msg", "out of memory");
inline constexpr const char* kNewerSchema = DTU_TR_NOOP(
    "records::msg", "made by a newer version of the tool (its schema is version %1; this one knows up to %2)");

// Own IDs.
inline constexpr const char* kUsedUp = DTU_TR_NOOP("records::msg", "own ID range %1–%2 is used up");
inline constexpr const char* kNotARange =
    DTU_TR_NOOP("records::msg", "not an own ID range: %1–%2 (two IDs of up to 12 hex digits, the first not above the last)");

// An SQLite file.
inline constexpr const char* kNoFolder = DTU_TR_NOOP("records::msg", "cannot make the folder %1 (%2)");
inline constexpr const char* kIsAFolder = DTU_TR_NOOP("records::msg", "is a folder, not a records file");
inline constexpr const char* kCannotOpen = DTU_TR_NOOP("records::msg", "cannot open the file (%1)");
inline constexpr const char* kFolderReadOnly =
    DTU_TR_NOOP("records::msg", "cannot write in its folder (%1), where the -wal and -shm files go");

// A PostgreSQL server.
inline constexpr const char* kRefused = DTU_TR_NOOP("records::msg", "connection refused: nothing listens at %1");
inline constexpr const char* kNoAnswer = DTU_TR_NOOP("records::msg", "no answer from %1 within %2 s");
inline constexpr const char* kAuthFailed = DTU_TR_NOOP("records::msg", "authentication failed for user %1");
inline constexpr const char* kNoPassword = DTU_TR_NOOP(
    "records::msg", "the server asks %1 for a password: give it in the URL, ~/.pgpass or PGPASSWORD");
inline constexpr const char* kNoDatabase = DTU_TR_NOOP("records::msg", "no database %1 on the server");
inline constexpr const char* kNoUser = DTU_TR_NOOP("records::msg", "no user %1 on the server");
inline constexpr const char* kNoHost = DTU_TR_NOOP("records::msg", "no such host: %1");
inline constexpr const char* kLost = DTU_TR_NOOP("records::msg", "the connection to %1 was lost");

// The station's outbox of record ends that wait for their store.
inline constexpr const char* kOutbox = DTU_TR_NOOP("records::msg", "records outbox %1: %2");

// A profile whose digest a record keeps.
inline constexpr const char* kUnreadable = DTU_TR_NOOP("records::msg", "%1: cannot be read (%2)");

}  // namespace records::msg
