// libFuzzer target: any bytes as a received frame, the whole input being the
// buffer, so that a read past it is caught by AddressSanitizer.
#include "tests/fuzz/Decoders.h"

#include "core/common/Codepage.h"
#include "core/common/Hex.h"
#include "core/dtu/Requests.h"
#include "core/net/Telnet.h"
#include "core/pages/DataFrame.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> buffer(data, size);
    RunAllDecoders(buffer, static_cast<std::int32_t>(size));
    // A received length short of the buffer, as when bytes of an earlier
    // frame remain. Only the envelope check reads the length, so the
    // decoders need not run again.
    if (size > 0)
        (void)dtu::PlanResponse(dtu::Response(buffer, data[0] % (size + 1)));

    // The same bytes as text a user typed or pasted: the whole of them into
    // the message and hex data areas, their start into the line edits. No
    // limit on a line edit comes near 128 characters, so longer text there
    // takes no other path.
    const std::string_view typed(reinterpret_cast<const char*>(data), size);
    const std::string_view line = typed.substr(0, 128);
    (void)text::FromAnsi(buffer);
    (void)dtu::CheckPhoneEntry(line, 0);
    (void)dtu::CheckIdEntry(line, 0);
    (void)dtu::BuildSetOwnId(line, true);
    (void)dtu::BuildSetDomain(line);
    (void)dtu::BuildSetPort(line);
    // Fields side by side take a piece of the line each, so that each can
    // differ from the others.
    const auto piece = [&](std::size_t k, std::size_t of) {
        const std::size_t n = line.size();
        return line.substr(n * k / of, n * (k + 1) / of - n * k / of);
    };
    (void)dtu::BuildSetApn(piece(0, 3), piece(1, 3), piece(2, 3));
    (void)dtu::BuildWritePackets(piece(0, 2), piece(1, 2), true, size % 2 == 0);
    std::vector<std::string> rows{std::string(line)};
    (void)dtu::BuildWriteIdList(rows);
    (void)dtu::BuildWritePhoneList(rows);
    (void)pages::BuildSmsTextFrame({true, false, rows[0]}, typed);
    (void)pages::BuildSmsHexFrame({true, true, ""}, typed);
    (void)pages::BuildTcpFrame({true, true, std::move(rows[0])}, typed);

    // The same bytes as a network server's stream, in two reads cut where
    // the first byte says, each event answered as the driver does.
    net::telnet::Decoder decoder;
    net::telnet::ComPortClient client;
    (void)client.Greeting(9600, 0);
    std::vector<std::uint8_t> received;
    std::vector<net::telnet::Event> events;
    const std::size_t cut = size > 0 ? data[0] % (size + 1) : 0;
    decoder.Feed(buffer.first(cut), received, events);
    decoder.Feed(buffer.subspan(cut), received, events);
    for (const auto& event : events)
        (void)client.Answer(event);
    (void)client.State();
    return 0;
}
