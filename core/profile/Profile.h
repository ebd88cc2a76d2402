// A profile: the settings to write to a DTU, read from a TOML file whose
// values are the texts the window shows. Every key is optional; what is
// left out is not written. Parsing checks everything before any port is
// opened, so a bad profile sends nothing.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace profile {

// A failure that ends the work on one DTU, in words for its user.
class Failure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Value names of the enumerated settings, in the order of the page's lists:
// the index of a name is what goes on the wire.
extern const std::vector<std::string> kBaudNames;       // "1200" ... "115200"
extern const std::vector<std::string> kParityNames;     // "none", "odd", "even"
extern const std::vector<std::string> kInterfaceNames;  // "ttl", "rs232", "rs485"
extern const std::vector<std::string> kSubModeNames;    // "sms_ucs2", "sms_hex", "tcp"
extern const std::vector<std::string> kSleepNames;      // "2s" ... "10s"
extern const std::vector<std::string> kBreathingNames;  // "2ms" ... "64ms"
extern const std::vector<std::string> kPowerNames;      // "Level1" ... "Level7"

// The name at `index`, or "index N" for one outside the list.
std::string NameAt(const std::vector<std::string>& names, int index);

struct Profile {
    std::optional<std::vector<std::string>> phones;
    std::optional<std::vector<std::string>> ids;

    struct OwnId {
        std::optional<std::string> id;  // twelve hex digits
        std::optional<bool> custom;
    };
    std::optional<OwnId> ownId;

    struct Server {
        std::optional<std::array<std::uint8_t, 4>> ip;
        std::optional<std::string> domain;
        std::optional<int> port;
    };
    std::optional<Server> server;

    struct Mode {
        bool protocol = true;
        bool sms = false, smsHex = false, tcp = false;  // protocol options
        int subMode = -1;                               // transparent
    };
    std::optional<Mode> mode;

    struct Serial {
        std::optional<int> baud, parity, interface;  // list indexes
    };
    std::optional<Serial> serial;

    struct Apn {
        std::string apn, user, password;
    };
    std::optional<Apn> apn;

    struct Packets {
        std::optional<bool> custom;
        bool hex = false;
        std::optional<std::string> heartbeat, registration;
    };
    std::optional<Packets> packets;

    struct Rf {
        std::optional<int> frequencyMhz;
        std::optional<int> sleep, breathing, address, power;  // indexes, address value
    };
    std::optional<Rf> rf;

    bool setClock = false;
};

struct ParsedProfile {
    Profile profile;
    std::vector<std::string> errors;  // "file:line:column: message", in file order
    bool ok() const { return errors.empty(); }
};

ParsedProfile ParseProfile(std::string_view text, const std::string& fileName);
// The own ID a profile gives every unit it is written to, if it sets one:
// units told apart by it must not all be given the same.
inline const std::string* OwnIdSet(const Profile& p)
{
    return p.ownId && p.ownId->id ? &*p.ownId->id : nullptr;
}

// Beyond this a file is no profile (driver/host/ProfileFile.h reads them).
inline constexpr std::uintmax_t kMaxProfileBytes = 1024 * 1024;

}  // namespace profile
