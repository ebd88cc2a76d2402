// A profile that sets every key, as a person would write it by hand.
#pragma once

inline constexpr char kFullProfile[] = R"(phones = ["13700001111", "15800002222"]
ids = ["A0B1C2D3E4F5", "0102030405ff"]

[own_id]
id = "AABBCCDDEEFF"
custom = true

[server]
domain = "dtu.example.net"
port = 6060

[mode]
transfer = "protocol"
options = ["sms_ucs2", "tcp"]

[serial]
baud = 38400
parity = "odd"
interface = "rs485"

[apn]
apn = "CMNET"
user = "u"
password = "secret"

[packets]
custom = true
hex = false
heartbeat = "PING"
registration = "DTU-0042"

[rf]
frequency_mhz = 433
sleep = "6s"
breathing = "16ms"
address = 12
power = "Level5"

[clock]
set = "now"
)";
