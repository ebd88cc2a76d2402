// What a store keeps, newest first: for the tests that check the records a
// job left. Nothing when the store cannot be read, which fails any count.
#pragma once

#include "core/records/Record.h"
#include "driver/records/Store.h"

#include <string>
#include <vector>

inline std::vector<records::Record> KeptRecords(const std::string& place, std::size_t limit = 0)
{
    std::string error;
    const auto store = records::OpenStore(place, error);
    records::Filter newest;
    newest.limit = limit;
    auto kept = store ? store->Query(newest, error) : std::nullopt;
    return kept.value_or(std::vector<records::Record>{});
}
