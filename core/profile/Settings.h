// Everything a DTU reports about itself, read request by request, and the
// three ways to print it: a table, a JSON object, a profile.
#pragma once

#include "core/dtu/Responses.h"

#include <nlohmann/json_fwd.hpp>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace profile {

// What to read; one request each.
enum Query : unsigned {
    kPhones = 1u << 0,
    kIds = 1u << 1,
    kOwnId = 1u << 2,
    kNet = 1u << 3,
    kUart = 1u << 4,
    kPackets = 1u << 5,
    kRf = 1u << 6,
    kVersion = 1u << 7,
    kSignal = 1u << 8,
    kClock = 1u << 9,
    kAllQueries = (1u << 10) - 1,
};

struct DeviceSettings {
    std::optional<std::vector<std::string>> phones;
    std::optional<std::vector<std::string>> ids;
    std::optional<dtu::OwnId> ownId;
    std::optional<dtu::NetParams> net;
    std::optional<dtu::UartIndexes> uart;
    std::optional<dtu::Packets> packets;
    std::optional<dtu::RfRecord> rf;
    std::optional<std::string> version, signal, clock;
};

// The read requests of `queries`, in the order they are sent: each with
// its bit, its command code and its name.
struct QueryStep {
    Query query;
    std::uint8_t code;
    std::string name;
};
std::vector<QueryStep> QuerySteps(unsigned queries);
// Decodes an answer to the query with command `code` into `s`.
void TakeAnswer(DeviceSettings& s, std::uint8_t code, const dtu::Response& answer);

// Called before each request with its name, for progress lines.
using StepReport = std::function<void(const std::string&)>;

// One setting as text, keyed by its profile name ("serial.baud"). The same
// texts serve a read's table and a write's comparison, so a setting reads
// back equal exactly when its text is equal.
struct Row {
    std::string key;
    std::string value;
};
std::vector<Row> SettingRows(const DeviceSettings& s);

// A packet as a profile holds it: its text when the text gives back exactly
// these bytes, else hex digits.
bool PacketIsText(const dtu::Bytes& packet);
std::string PacketValue(const dtu::Bytes& packet);

std::string FormatTable(const std::vector<std::vector<std::string>>& rows);
nlohmann::json SettingsJson(const DeviceSettings& s);
// A profile that `write` accepts and that writes back what was read.
// Settings a profile cannot name (an index outside the lists) are left as
// comments.
std::string SettingsProfile(const DeviceSettings& s);

// "a, b, c"; "(none)" for an empty list.
std::string Join(const std::vector<std::string>& items);

}  // namespace profile
