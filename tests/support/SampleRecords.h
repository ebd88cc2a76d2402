// Records as a bench leaves them, for the records page's test, pictures and
// benchmark: jobs a minute and a half apart on eight ports, most of them
// upgrades, one in 23 failed, one in 31 cut short, one in 41 stopped.
#pragma once

#include "core/records/Record.h"

#include <cstdio>
#include <string>

// The i-th job, the oldest first, from `firstMs` since the epoch on.
inline records::Record SampleRecord(int i, std::int64_t firstMs = 1796716800000)  // 2026-12-08T08:00Z
{
    records::Record r;
    const std::int64_t started = firstMs + std::int64_t(i) * 97'000;
    const int port = i % 8;
    char unit[16];
    std::snprintf(unit, sizeof unit, "3A0F%08X", 0x101 + (i * 7) % 97);
    r.started = records::IsoTime(started);
    r.station = i % 3 == 0 ? "bench-2" : "bench-1";
    r.operatorName = i % 3 == 0 ? "zhang.min" : "li.wei";
    r.program = i % 5 == 0 ? "dtuctl 0.1.0" : "dtutool 0.1.0";
    r.port = std::string("/dev/ttyUSB").append(std::to_string(port));
    r.portId = std::string("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K3X").append(std::to_string(port)).append(
        "-if00-port0");
    r.action = i % 10 < 6 ? records::kActionUpgrade : i % 10 < 9 ? records::kActionWrite : records::kActionRead;
    r.unitId = unit;
    r.version = "KV-331 V2.3.1";
    if (r.action == records::kActionUpgrade) {
        r.imageName = "KV331_APP_V2.4.bin";
        r.imageSha256 = std::string(64, 'c');
        r.imageSize = 65536;
        r.imageKind = records::kImageApp;
    } else if (r.action == records::kActionWrite) {
        r.profileName = "bench-A.toml";
        r.profileSha256 = std::string(64, 'a');
    }
    r.result = records::kResultOk;
    if (i % 23 == 0) {
        r.result = records::kResultFailed;
        r.detail = r.action == records::kActionUpgrade ? "No answer after block 17 of 64"
                   : r.action == records::kActionWrite ? "server port read back 7001, written 7000"
                                                       : "no answer to the version query";
    } else if (i % 41 == 0) {
        r.result = records::kResultStopped;
        r.detail = "stopped by the user";
    }
    if (i % 31 != 13 || r.result != records::kResultOk)
        r.ended = records::IsoTime(started + (r.action == records::kActionUpgrade ? 88'000 : 9'000));
    else
        r.result = records::kResultInterrupted;
    return r;
}
