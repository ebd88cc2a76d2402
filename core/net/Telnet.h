// The Telnet layer of an rfc2217:// port, as values: data escaped for the
// wire, bytes from the server split into data and negotiation in whatever
// pieces TCP hands them over, and the client's side of the COM-PORT-OPTION
// that sets the server's line. Nothing here touches a socket.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace net::telnet {

inline constexpr std::uint8_t kSe = 240;
inline constexpr std::uint8_t kSb = 250;
inline constexpr std::uint8_t kWill = 251;
inline constexpr std::uint8_t kWont = 252;
inline constexpr std::uint8_t kDo = 253;
inline constexpr std::uint8_t kDont = 254;
inline constexpr std::uint8_t kIac = 255;

inline constexpr std::uint8_t kBinary = 0;
inline constexpr std::uint8_t kSuppressGoAhead = 3;
inline constexpr std::uint8_t kComPortOption = 44;

// `data` as it goes on the wire: every 0xFF doubled.
void AppendEscaped(std::vector<std::uint8_t>& out, std::span<const std::uint8_t> data);

struct Event {
    enum class Kind { Option, Subnegotiation, Command };
    Kind kind = Kind::Command;
    std::uint8_t verb = 0;    // WILL, WONT, DO, DONT; SB; or the command's own byte
    std::uint8_t option = 0;  // Option and Subnegotiation
    std::vector<std::uint8_t> payload;  // Subnegotiation: after the option, 0xFF undoubled
    bool operator==(const Event&) const = default;
};

// Splits what the server sends into data and events. Fed in any pieces: an
// IAC at the end of one read is completed by the next.
class Decoder {
public:
    // A subnegotiation longer than this is cut: nothing of ours needs more,
    // and a server's stream cannot grow our memory.
    static constexpr std::size_t kMaxPayload = 64;

    void Feed(std::span<const std::uint8_t> in, std::vector<std::uint8_t>& data, std::vector<Event>& events);

private:
    enum class State { Data, Iac, Verb, SubOption, Sub, SubIac };
    State state_ = State::Data;
    Event pending_;
};

// The client's side of the option negotiation and of the line settings.
// Options are answered so that nothing loops: a request that confirms what
// holds is not answered again.
class ComPortClient {
public:
    enum class Line {
        Waiting,    // the server has not answered every setting yet
        Agreed,     // every setting answered with the value asked for
        Refused,    // a setting answered with another value
        NoComPort,  // the server refuses the COM-PORT-OPTION or binary mode
    };

    // What the client says on connecting: the options it wants. The line
    // settings (8 data bits, one stop bit, `baud`, parity 0 none, 1 odd,
    // 2 even) follow as the answer to the server's DO COM-PORT-OPTION.
    std::vector<std::uint8_t> Greeting(unsigned baud, unsigned parity);

    // What to send back for `event`; often nothing.
    std::vector<std::uint8_t> Answer(const Event& event);

    Line State() const;
    // What the server answered for the rate; 0 before it has.
    unsigned ServerBaud() const { return serverBaud_; }

private:
    struct Side {
        bool on = false;
        bool asked = false;  // we asked and have no answer yet
    };
    std::vector<std::uint8_t> Setting(std::uint8_t command, std::span<const std::uint8_t> value) const;
    void AppendSettings(std::vector<std::uint8_t>& out) const;

    Side us_[256];    // options we perform (WILL)
    Side them_[256];  // options the server performs (DO)
    bool refusedComPort_ = false;
    unsigned wantBaud_ = 0;
    std::uint8_t wantParity_ = 1;
    unsigned serverBaud_ = 0;
    int serverDataSize_ = -1;
    int serverParity_ = -1;
    int serverStopSize_ = -1;
};

}  // namespace net::telnet
