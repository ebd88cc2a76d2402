#include "dtuctl/cli/Serve.h"

#include "dtuctl/cli/Interrupt.h"

#include "core/common/Hex.h"
#include "driver/server/EventText.h"
#include "driver/server/TestServer.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cerrno>
#include <poll.h>
#include <unistd.h>

namespace cli {

namespace {

constexpr std::size_t kMaxLine = 64 * 1024;

nlohmann::json EventJson(const server::Event& e, text::Encoding encoding)
{
    nlohmann::json j{{"time", server::FormatTime(e.wallMs)}, {"event", server::KindName(e.kind)}};
    if (e.id != 0)
        j["id"] = e.id;
    if (!e.peer.empty())
        j[e.kind == server::EventKind::Listening ? "address" : "peer"] = e.peer;
    switch (e.kind) {
    case server::EventKind::Registration:
    case server::EventKind::Heartbeat:
    case server::EventKind::Data:
    case server::EventKind::Sent:
        j["bytes"] = e.bytes.size();
        j["hex"] = hex::FormatPlain(e.bytes);
        j["text"] = server::PacketText(e.bytes, encoding);
        break;
    default:
        break;
    }
    if (e.kind == server::EventKind::Registration)
        j["match"] = e.match == server::Match::NotExpected ? nlohmann::json(nullptr) : nlohmann::json(server::MatchName(e.match));
    if (e.kind == server::EventKind::Heartbeat) {
        j["count"] = e.heartbeats;
        j["interval_ms"] = e.intervalMs >= 0 ? nlohmann::json(e.intervalMs) : nlohmann::json(nullptr);
    }
    if (!e.reason.empty())
        j["reason"] = e.reason;
    if (e.kind == server::EventKind::Closed) {
        j["bytes_in"] = e.bytesIn;
        j["bytes_out"] = e.bytesOut;
    }
    return j;
}

// The expected packet from its text or hex form; a refusal sets `error`.
std::optional<server::Bytes> Expected(const std::string& text, const std::string& hexText, text::Encoding encoding,
                                      const char* option, std::string& error)
{
    const bool hex = !hexText.empty();
    if (!hex && text.empty())
        return std::nullopt;
    auto parsed = server::ParseSendText(hex ? hexText : text, hex, encoding);
    if (auto* refusal = std::get_if<std::string>(&parsed)) {
        error = std::string("--") + option + (hex ? "-hex: " : ": ") + *refusal;
        return std::nullopt;
    }
    return std::get<server::Bytes>(parsed);
}

}  // namespace

std::optional<ListenAddress> ParseListen(const std::string& text)
{
    ListenAddress a;
    std::string port = text;
    const auto colon = text.rfind(':');
    if (colon != std::string::npos) {
        a.host = text.substr(0, colon);
        port = text.substr(colon + 1);
        if (a.host.size() >= 2 && a.host.front() == '[' && a.host.back() == ']')
            a.host = a.host.substr(1, a.host.size() - 2);
        if (a.host.empty() || a.host.find_first_of("[]") != std::string::npos)
            return std::nullopt;
    }
    if (port.empty() || port.size() > 5 || !std::all_of(port.begin(), port.end(), hex::IsDigit))
        return std::nullopt;
    const unsigned long value = std::stoul(port);
    if (value > 65535)
        return std::nullopt;
    a.port = static_cast<std::uint16_t>(value);
    return a;
}

void StopServe()
{
    Interrupt();
}

int Serve(const ServeOptions& o, Console console)
{
    const text::Encoding encoding = o.utf8 ? text::Encoding::Utf8 : text::Encoding::Gbk;
    const auto address = ParseListen(o.listen);
    if (!address) {
        console.err << "dtuctl: --listen takes [HOST:]PORT with PORT 0 to 65535 (got \"" << o.listen << "\")\n";
        return kExitBadInput;
    }
    std::string error;
    server::Options options;
    options.host = address->host;
    options.port = address->port;
    options.packetGapMs = o.gapMs;
    options.registration = Expected(o.registration, o.registrationHex, encoding, "registration", error);
    if (error.empty())
        options.heartbeat = Expected(o.heartbeat, o.heartbeatHex, encoding, "heartbeat", error);
    if (!error.empty()) {
        console.err << "dtuctl: " << error << "\n";
        return kExitBadInput;
    }
    // A thousand DTUs need a thousand descriptors, more than many a
    // session's default soft limit.
    server::RaiseDescriptorLimit(options.maxConnections + 64);

    server::TestServer server;
    const std::string failed = server.Start(options, server::Now::Current());
    if (!failed.empty()) {
        console.err << "dtuctl: " << failed << "\n";
        return kExitFailed;
    }
    const InterruptScope interrupt;

    const auto report = [&] {
        for (const server::Event& e : server.TakeEvents()) {
            if (o.json)
                console.out << EventJson(e, encoding).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
            else
                console.out << server::FormatEvent(e, encoding) << "\n";
        }
        console.out << std::flush;
    };
    const auto sendLine = [&](std::string line) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty())
            return;
        auto parsed = server::ParseSendText(line, o.hexInput, encoding);
        if (auto* refusal = std::get_if<std::string>(&parsed)) {
            console.err << "dtuctl: not sent: " << *refusal << "\n";
            return;
        }
        if (server.SendAll(std::get<server::Bytes>(parsed), server::Now::Current()) == 0)
            console.err << "dtuctl: not sent: no DTU is connected\n";
    };

    report();
    int input = console.inFd;
    std::string line;
    bool stopping = false;
    while (!stopping) {
        pollfd fds[3] = {{server.fd(), POLLIN, 0}, {interrupt.fd(), POLLIN, 0}, {input, POLLIN, 0}};
        if (::poll(fds, input >= 0 ? 3 : 2, -1) < 0 && errno != EINTR)
            break;
        stopping = fds[1].revents != 0;
        if (fds[0].revents & POLLIN)
            server.Process(server::Now::Current());
        if (input >= 0 && fds[2].revents != 0) {
            char chunk[4096];
            const ssize_t n = ::read(input, chunk, sizeof chunk);
            if (n > 0) {
                for (ssize_t i = 0; i < n; ++i) {
                    if (chunk[i] == '\n') {
                        sendLine(std::move(line));
                        line.clear();
                    } else if (line.size() < kMaxLine) {
                        line += chunk[i];
                    }
                }
            } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
                // The input ended: the server goes on serving.
                sendLine(std::move(line));
                line.clear();
                input = -1;
            }
        }
        report();
    }
    server.Stop(server::Now::Current());
    report();

    return kExitOk;
}

}  // namespace cli
