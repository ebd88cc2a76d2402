// Every byte the port receives, for the windows that show the line as it is
// (the terminal and the line monitor), beside the pages' frame path: the
// reader thread hands each piece over as it reads it, and this thread gets
// them together, at most every kFlushMs, so that a flood costs a few
// deliveries a second however fast it comes. Positions count from the
// first byte received, as the frame path's frame ends do, so that a reader
// can cut the stream where the frame path cut its frames.
#pragma once

#include "driver/serial/SerialPort.h"

#include <QByteArray>
#include <QObject>
#include <QTimer>

#include <cstdint>
#include <mutex>
#include <vector>

namespace ui {

class ReceivedStream : public QObject, public ReadObserver {
    Q_OBJECT
public:
    static constexpr int kFlushMs = 40;
    // What may wait for this thread; beyond it bytes are dropped, and said.
    static constexpr std::size_t kMaxWaiting = std::size_t{16} << 20;
    // A buffer that grew past this in a flood gives its room back.
    static constexpr std::size_t kKeptRoom = std::size_t{4} << 20;
    // A line quiet this long gives back all the buffers' room.
    static constexpr int kQuietMs = 500;

    // Set on the port as its read observer by the first call.
    static ReceivedStream& instance();
    ~ReceivedStream() override;

    // Reader thread.
    void OnRead(const std::uint8_t* data, std::size_t length) override;

    // This thread: the frame path completed a frame ending at `end`. What
    // arrived before it is delivered first.
    void FrameEnded(std::uint64_t end);
    // Delivers what waits now.
    void Flush();

signals:
    // Bytes [at, at + bytes.size()) of the stream, lent for the call only:
    // connect directly, and copy what is kept.
    void received(quint64 at, const QByteArray& bytes);
    void frameEnded(quint64 end);
    // `count` bytes could not wait for this thread and are gone: the ones
    // after those last delivered.
    void dropped(quint64 count);

private:
    ReceivedStream();
    void Wake();
    void Release();

    QTimer flush_;
    QTimer quiet_;
    std::mutex lock_;
    std::vector<std::uint8_t> waiting_;  // under lock_
    std::vector<std::uint8_t> delivering_;
    std::uint64_t waitingAt_ = 0;         // under lock_
    std::uint64_t dropped_ = 0;           // under lock_
    bool dropping_ = false;               // under lock_
    bool woken_ = false;                  // under lock_
};

}  // namespace ui
