// A real serial device server in front of a pseudo-terminal: ser2net on
// 127.0.0.1 with an RFC 2217 (Telnet) port and a raw TCP port, started
// with a configuration written here and stopped with the object.
#pragma once

#include <cstdint>
#include <string>



class Ser2net {
public:
    // `telnetDevice` behind the rfc2217 port, `rawDevice` behind the raw
    // one, the latter's line set to `rawLine` (ser2net's "9600n81").
    Ser2net(const std::string& telnetDevice, const std::string& rawDevice, const std::string& rawLine);
    ~Ser2net();
    Ser2net(const Ser2net&) = delete;
    Ser2net& operator=(const Ser2net&) = delete;

    // Empty when it runs and listens on both ports; else why not.
    const std::string& error() const { return error_; }
    std::string Rfc2217Url() const;
    std::string SocketUrl() const;
    void Stop();
    // Again after Stop, on the same ports.
    void Start();

private:
    std::string dir_;
    std::string config_;
    int pid_ = -1;
    std::uint16_t telnetPort_ = 0;
    std::uint16_t rawPort_ = 0;
    std::string error_;
};


