// The network port's Telnet layer and URLs, byte for byte.
#include "core/net/PortUrl.h"
#include "core/net/Telnet.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace net::telnet;
using Bytes = std::vector<std::uint8_t>;
using Kind = Event::Kind;

TEST(PortUrl, ParsesTheTwoFormsAndRefusesTheRest)
{
    struct Row {
        const char* text;
        bool ok;
        net::Scheme scheme;
        const char* host;
        std::uint16_t port;
    };
    const Row rows[] = {
        {"rfc2217://127.0.0.1:7000", true, net::Scheme::Rfc2217, "127.0.0.1", 7000},
        {"socket://dtu-rack-3.local:4001/", true, net::Scheme::Socket, "dtu-rack-3.local", 4001},
        {"rfc2217://[::1]:2217", true, net::Scheme::Rfc2217, "::1", 2217},
        {"rfc2217://::1:2217", false, {}, "", 0},
        {"rfc2217://host", false, {}, "", 0},
        {"rfc2217://:7000", false, {}, "", 0},
        {"rfc2217://host:0", false, {}, "", 0},
        {"rfc2217://host:65536", false, {}, "", 0},
        {"rfc2217://host:70a", false, {}, "", 0},
        {"rfc2217://user@host:70", false, {}, "", 0},
        {"telnet://host:23", false, {}, "", 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_TRUE(net::LooksLikeUrl(row.text));
        const auto url = net::ParsePortUrl(row.text);
        ASSERT_EQ(url.has_value(), row.ok);
        if (!row.ok)
            continue;
        EXPECT_EQ(url->scheme, row.scheme);
        EXPECT_EQ(url->host, row.host);
        EXPECT_EQ(url->port, row.port);
    }
    for (const char* path : {"/dev/ttyUSB0", "/dev/serial/by-id/usb-FTDI:x", "ttyS0", "/tmp/a://b"})
        EXPECT_FALSE(net::LooksLikeUrl(path)) << path;
}

TEST(Telnet, DataIsEscapedOnTheWay) {
    Bytes out;
    AppendEscaped(out, Bytes{0x01, 0xFF, 0xFF, 0x0D});
    EXPECT_EQ(out, (Bytes{0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0x0D}));
}

// Every input fed whole and split at every point gives the same data and
// events: TCP may cut the stream anywhere.
TEST(Telnet, DecoderIsIndifferentToWhereReadsEnd)
{
    struct Row {
        const char* name;
        Bytes in;
        Bytes data;
        std::vector<Event> events;
    };
    const Row rows[] = {
        {"escaped 0xFF in data", {0x7E, 0xFF, 0xFF, 0x0D}, {0x7E, 0xFF, 0x0D}, {}},
        {"options among data",
         {0x41, 0xFF, 0xFB, 0x03, 0x42, 0xFF, 0xFE, 0x01},
         {0x41, 0x42},
         {{Kind::Option, kWill, 3, {}}, {Kind::Option, kDont, 1, {}}}},
        {"baud rate answer", {0xFF, 0xFA, 44, 101, 0, 0, 0x25, 0x80, 0xFF, 0xF0}, {}, {{Kind::Subnegotiation, kSb, 44, {101, 0, 0, 0x25, 0x80}}}},
        {"0xFF inside a subnegotiation",
         {0xFF, 0xFA, 44, 101, 0, 0, 0xFF, 0xFF, 0xFF, 0xF0, 0x33},
         {0x33},
         {{Kind::Subnegotiation, kSb, 44, {101, 0, 0, 0xFF}}}},
        {"a bare command", {0x31, 0xFF, 0xF1, 0x32}, {0x31, 0x32}, {{Kind::Command, 0xF1, 0, {}}}},
        {"a subnegotiation cut short by an option",
         {0xFF, 0xFA, 44, 107, 0xFF, 0xFB, 0x00, 0x34},
         {0x34},
         {{Kind::Subnegotiation, kSb, 44, {107}}, {Kind::Option, kWill, 0, {}}}},
    };
    for (const Row& row : rows) {
        for (std::size_t cut = 0; cut <= row.in.size(); ++cut) {
            SCOPED_TRACE(std::string(row.name) + ", cut at " + std::to_string(cut));
            Decoder decoder;
            Bytes data;
            std::vector<Event> events;
            decoder.Feed({row.in.data(), cut}, data, events);
            decoder.Feed({row.in.data() + cut, row.in.size() - cut}, data, events);
            EXPECT_EQ(data, row.data);
            EXPECT_EQ(events, row.events);
        }
    }
}

TEST(Telnet, LongSubnegotiationIsBounded)
{
    Bytes in{0xFF, 0xFA, 44};
    in.insert(in.end(), 10000, 0x55);
    in.insert(in.end(), {0xFF, 0xF0, 0x01});
    Decoder decoder;
    Bytes data;
    std::vector<Event> events;
    decoder.Feed(in, data, events);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].payload.size(), Decoder::kMaxPayload);
    EXPECT_EQ(data, Bytes{0x01});
}

// The options first; the line once the server has agreed to the option.
TEST(ComPort, GreetingAsksForOptionsThenTheLine)
{
    ComPortClient client;
    EXPECT_EQ(client.Greeting(0x1FF, 2), (Bytes{0xFF, 0xFB, 0, 0xFF, 0xFB, 3, 0xFF, 0xFB, 44, 0xFF, 0xFD, 0, 0xFF, 0xFD, 3}));
    const Bytes line{0xFF, 0xFA, 44, 1, 0, 0, 1, 0xFF, 0xFF, 0xFF, 0xF0,  // 511 baud: its 0xFF doubled
                     0xFF, 0xFA, 44, 2, 8, 0xFF, 0xF0,                    // 8 bits
                     0xFF, 0xFA, 44, 3, 3, 0xFF, 0xF0,                    // even
                     0xFF, 0xFA, 44, 4, 1, 0xFF, 0xF0};                   // 1 stop bit
    EXPECT_EQ(client.Answer({Kind::Option, kDo, 44, {}}), line);
    EXPECT_EQ(client.State(), ComPortClient::Line::Waiting);
}

// A server's side of a session, event by event: what the client answers
// and how the line stands after it.
TEST(ComPort, AnswersWithoutLoopingAndJudgesTheLine)
{
    using Line = ComPortClient::Line;
    const auto option = [](std::uint8_t verb, std::uint8_t opt) { return Event{Kind::Option, verb, opt, {}}; };
    const auto answer = [](std::uint8_t code, Bytes value) {
        value.insert(value.begin(), code);
        return Event{Kind::Subnegotiation, kSb, 44, value};
    };
    struct Step {
        Event event;
        Bytes reply;
        Line line;
    };
    const Bytes line9600{0xFF, 0xFA, 44, 1, 0, 0, 0x25, 0x80, 0xFF, 0xF0, 0xFF, 0xFA, 44, 2, 8, 0xFF, 0xF0,
                         0xFF, 0xFA, 44, 3, 1, 0xFF, 0xF0, 0xFF, 0xFA, 44, 4, 1, 0xFF, 0xF0};
    struct Row {
        const char* name;
        std::vector<Step> steps;
    };
    const Row rows[] = {
        {"a server that agrees",
         {{option(kWill, 3), {}, Line::Waiting},
          {option(kDo, 3), {}, Line::Waiting},
          {option(kWill, 1), {0xFF, kDont, 1}, Line::Waiting},  // no echo wanted
          {option(kDo, 3), {}, Line::Waiting},                    // confirms what holds: no answer
          {option(kDo, 0), {}, Line::Waiting},
          {option(kWill, 0), {}, Line::Waiting},
          {option(kDo, 44), line9600, Line::Waiting},
          {option(kDo, 24), {0xFF, kWont, 24}, Line::Waiting},   // terminal type: not ours
          {answer(107, {0}), {}, Line::Waiting},
          {answer(101, {0, 0, 0x25, 0x80}), {}, Line::Waiting},
          {answer(102, {8}), {}, Line::Waiting},
          {answer(103, {1}), {}, Line::Waiting},
          {answer(104, {1}), {}, Line::Agreed}}},
        {"a server that keeps its own rate",
         {{answer(101, {0, 1, 0xC2, 0x00}), {}, Line::Waiting},
          {answer(102, {8}), {}, Line::Waiting},
          {answer(103, {1}), {}, Line::Waiting},
          {answer(104, {1}), {}, Line::Refused}}},
        {"a server without the option", {{option(kDont, 44), {}, Line::NoComPort}}},
        {"a server without binary mode", {{option(kWont, 0), {}, Line::NoComPort}}},
    };
    for (const Row& row : rows) {
        ComPortClient client;
        client.Greeting(9600, 0);
        for (std::size_t i = 0; i < row.steps.size(); ++i) {
            SCOPED_TRACE(std::string(row.name) + ", step " + std::to_string(i));
            EXPECT_EQ(client.Answer(row.steps[i].event), row.steps[i].reply);
            EXPECT_EQ(client.State(), row.steps[i].line);
        }
    }
}

}  // namespace
