// The serial line driver: one port at a time, opened exclusively, a reader
// thread that hands every received byte to OnRxByte, a writer thread behind
// Post, and a blocking Write.
//
// Principles of operation
// - A port is a device path or a network URL (core/net/PortUrl.h). A device is
//   opened non-blocking and close-on-exec. flock()
//   keeps out every program that locks (and holds even against root);
//   TIOCEXCL also keeps out non-root programs that do not lock.
// - The reader thread sleeps in poll() on the port and an eventfd. StopReader
//   signals the eventfd and joins: the thread is never killed, and no
//   descriptor is closed while it may still be in use.
// - A device that goes away (USB adapter pulled, far end of a pseudo-terminal
//   closed) shows as POLLHUP/POLLERR, a read of 0 bytes after POLLIN, or
//   EIO/ENXIO/ENODEV. The reader then ends, says so once (PortLost,
//   OnPortLost), and Write fails at once. The port stays open until the
//   user-interface thread closes it, so descriptors change on that thread only.
// - Post hands a frame to a writer thread and returns at once, so that a
//   user-interface thread never waits on the line; the result comes back
//   through the frame's callback. Write blocks, for threads that may wait.
// - A write waits for room a bounded time, and Close cancels that wait: a
//   stalled line never holds up closing the port.
// - A network port is a TCP socket: the server closing it counts as the
//   device going away. On rfc2217:// data is escaped both ways; a frame's
//   bytes reach OnRxByte and the write observer as the DTU sees them. The
//   reader hands its answers to the server's Telnet negotiation to the
//   writer thread, which sends each whole between frames: the reader never
//   waits for the write lock, which a frame waiting for room holds.
// - Every read and every write moves at most 1024 bytes.
// - The driver never shows anything; failures are `false` plus LastError.
#pragma once

#include "core/net/Telnet.h"

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <termios.h>
#include <thread>
#include <vector>

// Sees every buffer that Write hands to the kernel whole: on the writing
// thread, under the write lock, so in the order the bytes went out. It must
// not write to the port itself.
class WriteObserver {
public:
    virtual void OnWritten(const std::uint8_t* data, std::size_t length) = 0;

protected:
    ~WriteObserver() = default;
};

// Sees every received byte, in pieces as the reader takes them from the
// port (after the Telnet layer of a network port), on the reader thread,
// after the pieces' bytes went to OnRxByte. It must not call the driver.
class ReadObserver {
public:
    virtual void OnRead(const std::uint8_t* data, std::size_t length) = 0;

protected:
    ~ReadObserver() = default;
};

enum class SerialError {
    None,
    NotFound,      // no such device
    Permission,    // not allowed to open it (the dialout group)
    Busy,          // held by this tool or by another program
    NotATerminal,  // the path is not a serial device
    Settings,      // the device refused the line settings
    Closed,        // no port is open
    Lost,          // the device went away
    TimedOut,      // the line took nothing for several seconds
    Io,            // any other system error, see LastErrno
    // Network ports only:
    BadUrl,           // not rfc2217://HOST:PORT or socket://HOST:PORT
    HostNotFound,     // the name does not exist
    LookupFailed,     // the name could not be looked up (LastErrno: why, 0 when no name server answered)
    Refused,          // nothing listens on that port
    ConnectTimedOut,  // no answer to the connection within the time-out
    ServerClosed,     // the server closed before the port was set: busy, or cannot open its device
    NoComPort,        // rfc2217: the server refused the COM-PORT-OPTION
    LineRefused,      // rfc2217: a setting answered with another value (LastErrno: its rate)
    LineUnconfirmed,  // rfc2217: the server did not answer the settings in time
};

namespace serial {
struct NetConnection;
}

// How a write ended: error None for a frame the kernel took whole.
struct WriteResult {
    SerialError error = SerialError::None;
    int err = 0;
    bool ok() const { return error == SerialError::None; }
};

class SerialPort {
public:
    static constexpr std::size_t kChunk = 1024;
    static constexpr int kWriteWaitMs = 1000;
    // Consecutive waits in which the line took nothing before Write gives up.
    static constexpr int kMaxStalledWaits = 3;
    // What a network port may take to connect and set its line.
    static constexpr int kConnectTimeoutMs = 5000;

    SerialPort();
    virtual ~SerialPort();
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    bool IsOpen() const { return fd_.load(std::memory_order_acquire) >= 0; }

    // Closes any open port first, then opens `path` with the line settings and
    // starts the reader. On failure nothing is left open. A URL connects
    // here, which may take seconds: see Adopt for a thread that must not wait.
    bool Open(const std::string& path, unsigned baudRate, unsigned parity);
    // Takes over a connection made by serial::ConnectPort to `url`, as Open
    // would have. Quick: the waiting was done by the connect.
    bool Adopt(serial::NetConnection&& connection, const std::string& url, unsigned baudRate, unsigned parity);
    // A device's line only; a network port's line is set when it connects.
    bool SetLine(unsigned baudRate, unsigned parity);
    bool IsNetwork() const { return network_; }
    // How long Open may take to connect to a URL and set its line.
    void SetConnectTimeout(int ms) { connectTimeoutMs_ = ms; }
    int ConnectTimeout() const { return connectTimeoutMs_; }
    // socket://: the server's own line settings apply, not ours.
    bool ServerKeepsLine() const { return network_ && !telnet_; }
    bool Close();

    // Blocks until the kernel has taken every byte, chunk by chunk, in order,
    // under the write lock. False when the port is closed or lost, or after
    // kMaxStalledWaits waits of 1000 ms in which the line took nothing.
    bool Write(const std::uint8_t* data, std::size_t length);

    // Queues `frame` for the writer thread and returns at once; frames go out
    // whole and in the order posted. `done`, if set, is called on the writer
    // thread with the result (or from Close, with Closed, for a frame that
    // never went out); it must not call back into the driver. After a failed
    // write the frames queued behind it fail with the same result: they
    // would reach the DTU late and out of step with what the user sees.
    using WriteDone = std::function<void(WriteResult)>;
    void Post(std::vector<std::uint8_t> frame, WriteDone done = {});

    // nullptr removes it. Once this returns, the previous observer is called
    // no more; costs a pointer test per Write while none is set.
    void SetWriteObserver(WriteObserver* observer);
    // Removes `observer` if it is still the one set.
    void RemoveWriteObserver(WriteObserver* observer);
    // The same for what is received: once this returns, the previous
    // observer is called no more.
    void SetReadObserver(ReadObserver* observer);
    void RemoveReadObserver(ReadObserver* observer);

    bool StartReader();
    bool StopReader();

    // The reader saw the device go away; cleared by Close and Open.
    bool PortLost() const { return lost_.load(std::memory_order_acquire); }

    // Of the last call on this object that failed, from any thread.
    SerialError LastError() const;
    int LastErrno() const;
    // What a network server said before it closed the connection (ser2net
    // says "Port already in use"); empty for anything else.
    std::string LastServerText() const;
    const std::string& PortPath() const { return portPath_; }
    unsigned BaudRate() const { return baudRate_; }
    unsigned Parity() const { return parity_; }

    // Byte sink, called on the reader thread for every byte in arrival order.
    virtual void OnRxByte(std::uint8_t b) = 0;
    // The same for a piece read at once; a sink that takes pieces whole
    // saves a call per byte.
    virtual void OnRxBytes(const std::uint8_t* data, std::size_t length)
    {
        for (std::size_t i = 0; i < length; ++i)
            OnRxByte(data[i]);
    }

protected:
    // Called once on the reader thread when the device goes away.
    virtual void OnPortLost() {}

private:
    struct Pending {
        std::vector<std::uint8_t> frame;
        WriteDone done;
    };

    WriteResult Transmit(const std::uint8_t* data, std::size_t length);
    // Every byte to `fd`, under the write lock held by the caller.
    WriteResult SendLocked(int fd, const std::uint8_t* data, std::size_t length);
    void ReaderLoop(int fd, int wakeFd);
    void WriterLoop();
    bool StartWriter();
    void StopWriter();
    void MarkLost();
    bool Fail(SerialError error, int err);
    void ClearError();
    void ReleasePort();
    bool StartThreads(int fd);
    void Deliver(const std::uint8_t* data, std::size_t length);
    void AnswerServer(const std::vector<std::uint8_t>& answer);

    std::mutex writeLock_;
    WriteObserver* writeObserver_ = nullptr;  // under writeLock_
    std::mutex readObserverLock_;
    ReadObserver* readObserver_ = nullptr;  // under readObserverLock_
    std::thread readerThread_;
    int wakeFd_ = -1;
    std::atomic<int> fd_{-1};
    std::atomic<bool> lost_{false};
    // Signalled by Close so that a write waiting for room gives up at once;
    // lives as long as the object.
    int cancelFd_ = -1;

    std::mutex queueLock_;
    std::condition_variable queueReady_;
    std::deque<Pending> queue_;   // under queueLock_
    // Telnet answers waiting for the writer, sent before the next frame.
    std::vector<std::uint8_t> answers_;  // under queueLock_
    bool writerStop_ = false;     // under queueLock_
    std::thread writerThread_;

    // Set while no reader runs; the reader alone uses the Telnet state.
    int connectTimeoutMs_ = kConnectTimeoutMs;
    bool network_ = false;
    bool telnet_ = false;
    net::telnet::Decoder telnetIn_;
    net::telnet::ComPortClient comPort_;
    std::vector<std::uint8_t> received_;
    std::vector<net::telnet::Event> events_;

    std::string portPath_;
    unsigned baudRate_ = 9600;
    unsigned parity_ = 0;
    termios saved_{};
    mutable std::mutex errorLock_;
    SerialError lastError_ = SerialError::None;  // under errorLock_
    int lastErrno_ = 0;                          // under errorLock_
    std::string lastServerText_;                 // under errorLock_
};
