// The tool's serial object: the driver with its byte sink wired to the
// receive buffer. g_Serial and g_Rx live as long as the process.
#pragma once

#include "core/serial/ReceiveBuffer.h"
#include "driver/serial/SerialPort.h"

class BufferedPort : public SerialPort {
public:
    explicit BufferedPort(ReceiveBuffer& rx) : rx_(rx) {}
    // Stops the reader before the sink's target goes away.
    ~BufferedPort() override { Close(); }

    void OnRxByte(std::uint8_t b) override { rx_.OnRxByte(b); }
    void OnRxBytes(const std::uint8_t* data, std::size_t length) override { rx_.OnRxBytes({data, length}); }

private:
    ReceiveBuffer& rx_;
};

extern ReceiveBuffer g_Rx;
extern BufferedPort g_Serial;
