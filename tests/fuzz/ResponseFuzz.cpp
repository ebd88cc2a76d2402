// libFuzzer target: any bytes as a received frame, the whole input being the
// buffer, so that a read past it is caught by AddressSanitizer.
#include "fuzz/Decoders.h"

#include "common/Codepage.h"
#include "common/Hex.h"
#include "dtu/Requests.h"
#include "pages/DataFrame.h"

#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> buffer(data, size);
    RunAllDecoders(buffer, static_cast<std::int32_t>(size));
    // A received length short of the buffer, as when bytes of an earlier
    // frame remain. Only the envelope check reads the length, so the
    // decoders need not run again.
    if (size > 0)
        (void)dtu::PlanResponse(dtu::Response(buffer, data[0] % (size + 1)));

    // The same bytes as something a user typed or pasted.
    const std::string_view typed(reinterpret_cast<const char*>(data), size);
    (void)text::FromAnsi(buffer);
    (void)dtu::CheckPhoneEntry(typed, 0);
    (void)dtu::CheckIdEntry(typed, 0);
    (void)dtu::BuildSetOwnId(typed, true);
    (void)dtu::BuildSetDomain(typed);
    (void)dtu::BuildSetPort(typed);
    // Fields side by side take a piece of the text each, so that each can
    // differ from the others.
    const auto piece = [&](std::size_t k, std::size_t of) {
        return typed.substr(size * k / of, size * (k + 1) / of - size * k / of);
    };
    (void)dtu::BuildSetApn(piece(0, 3), piece(1, 3), piece(2, 3));
    (void)dtu::BuildWritePackets(piece(0, 2), piece(1, 2), true, size % 2 == 0);
    (void)dtu::BuildWriteIdList({std::string(typed)});
    (void)dtu::BuildWritePhoneList({std::string(typed)});
    (void)pages::BuildSmsTextFrame({true, false, std::string(typed)}, typed);
    (void)pages::BuildSmsHexFrame({true, true, ""}, typed);
    (void)pages::BuildTcpFrame({true, true, std::string(typed)}, typed);
    return 0;
}
