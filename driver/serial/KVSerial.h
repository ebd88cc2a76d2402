// The tool's serial object: the driver with its byte sink wired to the
// receive buffer. g_Serial and g_Rx live as long as the process.
#pragma once

#include "serial/ReceiveBuffer.h"
#include "serial/XSerial.h"

class KVSerial : public CXSerial {
public:
    explicit KVSerial(ReceiveBuffer& rx) : rx_(rx) {}
    // Stops the reader before the sink's target goes away.
    ~KVSerial() override { Close(); }

    void OnRxByte(std::uint8_t b) override { rx_.OnRxByte(b); }
    void OnRxBytes(const std::uint8_t* data, std::size_t length) override { rx_.OnRxBytes({data, length}); }

private:
    ReceiveBuffer& rx_;
};

extern ReceiveBuffer g_Rx;
extern KVSerial g_Serial;
