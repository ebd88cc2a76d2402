#include "driver/records/Store.h"

#include "core/records/Place.h"
#include "driver/records/Messages.h"
#include "driver/records/Outbox.h"
#include "driver/records/PostgresStore.h"
#include "driver/records/SqliteStore.h"

#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <unistd.h>

namespace records {

namespace {

std::string Env(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string Home()
{
    std::string home = Env("HOME");
    if (home.empty()) {
        if (const passwd* pw = ::getpwuid(::getuid()))
            home = pw->pw_dir;
    }
    return home;
}

}  // namespace

std::string ChosenPlace(const std::string& given)
{
    return ChoosePlace(given, Env("DTUTOOL_RECORDS"), Env("XDG_DATA_HOME"), Home());
}

std::string OutboxPath()
{
    // Beside the default records file, whatever place the records are in.
    return std::filesystem::path(ChoosePlace("", "", Env("XDG_DATA_HOME"), Home()))
        .replace_filename("outbox.jsonl")
        .string();
}

std::unique_ptr<Store> OpenStore(const std::string& place, std::string& error)
{
    error.clear();
    const Place s = ParsePlace(place);
    switch (s.kind) {
    case Place::Kind::Off:
        return nullptr;
    case Place::Kind::Postgres:
        return OpenPostgresStore(s.where, error);
    case Place::Kind::File:
        break;
    }
    if (s.where.empty()) {
        error = msg::kNoPath;
        return nullptr;
    }
    return OpenSqliteStore(s.where, error);
}

}  // namespace records
