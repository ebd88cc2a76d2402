#include "core/net/Telnet.h"

namespace net::telnet {

namespace {

// COM-PORT-OPTION commands; the server answers each with its code + 100.
constexpr std::uint8_t kSetBaudRate = 1;
constexpr std::uint8_t kSetDataSize = 2;
constexpr std::uint8_t kSetParity = 3;
constexpr std::uint8_t kSetStopSize = 4;
constexpr std::uint8_t kServerOffset = 100;

constexpr std::uint8_t kDataBits = 8;
constexpr std::uint8_t kOneStopBit = 1;

bool WantedByUs(std::uint8_t option)
{
    return option == kBinary || option == kSuppressGoAhead || option == kComPortOption;
}

bool WantedFromThem(std::uint8_t option)
{
    return option == kBinary || option == kSuppressGoAhead;
}

void Say(std::vector<std::uint8_t>& out, std::uint8_t verb, std::uint8_t option)
{
    // Byte by byte: GCC's -O3 loses the bound of a three-byte insert into a
    // vector that may have to grow, and warns of an overflow there is not.
    out.push_back(kIac);
    out.push_back(verb);
    out.push_back(option);
}

}  // namespace

void AppendEscaped(std::vector<std::uint8_t>& out, std::span<const std::uint8_t> data)
{
    out.reserve(out.size() + data.size());
    for (const std::uint8_t b : data) {
        out.push_back(b);
        if (b == kIac)
            out.push_back(kIac);
    }
}

void Decoder::Feed(std::span<const std::uint8_t> in, std::vector<std::uint8_t>& data, std::vector<Event>& events)
{
    for (const std::uint8_t b : in) {
        switch (state_) {
        case State::Data:
            if (b == kIac)
                state_ = State::Iac;
            else
                data.push_back(b);
            break;
        case State::Iac:
            if (b == kIac) {
                data.push_back(kIac);
                state_ = State::Data;
            } else if (b >= kWill && b <= kDont) {
                pending_ = {Event::Kind::Option, b, 0, {}};
                state_ = State::Verb;
            } else if (b == kSb) {
                pending_ = {Event::Kind::Subnegotiation, kSb, 0, {}};
                state_ = State::SubOption;
            } else {
                events.push_back({Event::Kind::Command, b, 0, {}});
                state_ = State::Data;
            }
            break;
        case State::Verb:
            pending_.option = b;
            events.push_back(std::move(pending_));
            state_ = State::Data;
            break;
        case State::SubOption:
            pending_.option = b;
            state_ = State::Sub;
            break;
        case State::Sub:
            if (b == kIac)
                state_ = State::SubIac;
            else if (pending_.payload.size() < kMaxPayload)
                pending_.payload.push_back(b);
            break;
        case State::SubIac:
            if (b == kIac) {
                if (pending_.payload.size() < kMaxPayload)
                    pending_.payload.push_back(kIac);
                state_ = State::Sub;
            } else if (b == kSe) {
                events.push_back(std::move(pending_));
                state_ = State::Data;
            } else {
                // A subnegotiation that never ended: keep what it held and
                // read this byte as the command it is.
                events.push_back(std::move(pending_));
                state_ = State::Iac;
                const std::uint8_t again[] = {b};
                Feed(again, data, events);
            }
            break;
        }
    }
}

std::vector<std::uint8_t> ComPortClient::Setting(std::uint8_t command, std::span<const std::uint8_t> value) const
{
    std::vector<std::uint8_t> out{kIac, kSb, kComPortOption};
    const std::uint8_t code[] = {command};
    AppendEscaped(out, code);
    AppendEscaped(out, value);
    out.insert(out.end(), {kIac, kSe});
    return out;
}

std::vector<std::uint8_t> ComPortClient::Greeting(unsigned baud, unsigned parity)
{
    wantBaud_ = baud;
    // The option's codes: 1 none, 2 odd, 3 even.
    wantParity_ = static_cast<std::uint8_t>(parity <= 2 ? parity + 1 : 1);
    std::vector<std::uint8_t> out;
    for (const std::uint8_t option : {kBinary, kSuppressGoAhead, kComPortOption}) {
        us_[option].asked = true;
        Say(out, kWill, option);
    }
    for (const std::uint8_t option : {kBinary, kSuppressGoAhead}) {
        them_[option].asked = true;
        Say(out, kDo, option);
    }
    return out;
}

void ComPortClient::AppendSettings(std::vector<std::uint8_t>& out) const
{
    const unsigned baud = wantBaud_;
    const std::uint8_t rate[] = {static_cast<std::uint8_t>(baud >> 24), static_cast<std::uint8_t>(baud >> 16),
                                 static_cast<std::uint8_t>(baud >> 8), static_cast<std::uint8_t>(baud)};
    const std::uint8_t dataSize[] = {kDataBits};
    const std::uint8_t parityCode[] = {wantParity_};
    const std::uint8_t stopSize[] = {kOneStopBit};
    for (const auto& setting : {Setting(kSetBaudRate, rate), Setting(kSetDataSize, dataSize),
                                Setting(kSetParity, parityCode), Setting(kSetStopSize, stopSize)})
        out.insert(out.end(), setting.begin(), setting.end());
}

std::vector<std::uint8_t> ComPortClient::Answer(const Event& event)
{
    std::vector<std::uint8_t> out;
    if (event.kind == Event::Kind::Subnegotiation) {
        if (event.option != kComPortOption || event.payload.empty())
            return out;
        const auto& p = event.payload;
        switch (p[0]) {
        case kServerOffset + kSetBaudRate:
            if (p.size() >= 5)
                serverBaud_ = static_cast<unsigned>(p[1]) << 24 | static_cast<unsigned>(p[2]) << 16 |
                              static_cast<unsigned>(p[3]) << 8 | p[4];
            break;
        case kServerOffset + kSetDataSize:
            if (p.size() >= 2)
                serverDataSize_ = p[1];
            break;
        case kServerOffset + kSetParity:
            if (p.size() >= 2)
                serverParity_ = p[1];
            break;
        case kServerOffset + kSetStopSize:
            if (p.size() >= 2)
                serverStopSize_ = p[1];
            break;
        default:  // line and modem state notices: nothing of ours depends on them
            break;
        }
        return out;
    }
    if (event.kind != Event::Kind::Option)
        return out;

    const std::uint8_t option = event.option;
    const bool positive = event.verb == kWill || event.verb == kDo;
    const bool aboutUs = event.verb == kDo || event.verb == kDont;
    Side& side = aboutUs ? us_[option] : them_[option];
    const bool wanted = aboutUs ? WantedByUs(option) : WantedFromThem(option);
    const std::uint8_t yes = aboutUs ? kWill : kDo;
    const std::uint8_t no = aboutUs ? kWont : kDont;
    const bool asked = side.asked;
    side.asked = false;
    if (positive) {
        if (!wanted) {
            if (!side.on)
                Say(out, no, option);
            side.on = false;
            return out;
        }
        if (!side.on && !asked)
            Say(out, yes, option);
        // A server may ignore the option's commands until it has agreed
        // to the option: the settings follow its DO.
        if (!side.on && aboutUs && option == kComPortOption)
            AppendSettings(out);
        side.on = true;
    } else {
        if (side.on && !asked)
            Say(out, no, option);
        side.on = false;
        // Without binary mode both ways, CR would travel as CR NUL and the
        // DTU's frames would not arrive as they were sent.
        if ((aboutUs && option == kComPortOption) || option == kBinary)
            refusedComPort_ = true;
    }
    return out;
}

ComPortClient::Line ComPortClient::State() const
{
    if (refusedComPort_)
        return Line::NoComPort;
    if (serverBaud_ == 0 || serverDataSize_ < 0 || serverParity_ < 0 || serverStopSize_ < 0)
        return Line::Waiting;
    const bool same = serverBaud_ == wantBaud_ && serverDataSize_ == kDataBits && serverParity_ == wantParity_ &&
                      serverStopSize_ == kOneStopBit;
    if (!same)
        return Line::Refused;
    return us_[kBinary].on && them_[kBinary].on ? Line::Agreed : Line::Waiting;
}

}  // namespace net::telnet
