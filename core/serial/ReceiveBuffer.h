// Receive buffer and frame completion.
//
// Replies from the DTU carry no length the tool could trust, so a frame ends
// when the line falls silent: the reader thread stores bytes as they arrive
// (OnRxByte) and the main window's 100 ms tick declares the frame complete on
// the fifth tick after the last byte, after 400 to 500 ms of silence.
//
// Two buffers keep a byte that arrives during completion from being lost or
// from starting an empty frame. The reader fills the collecting buffer; the
// completing tick copies it whole into the frame buffer and restarts the
// collecting side at 0, both in one locked step. Pages then read the frame
// from index 0 of the frame buffer without a lock while the reader goes on
// collecting the next frame.
//
// Neither buffer is ever cleared: bytes past a frame's length are left over
// from earlier frames, and the DTU page reads them when a reply is shorter
// than the record it decodes (see dtu/Responses.h).
//
// Fast replies (off unless asked for): a reply that is a whole response
// frame (length byte, checksum and tail agree) is cut off on the reader
// thread the moment its last byte arrives and waits in a small queue; the
// whole-frame signal tells the user-interface thread, which delivers it
// (DeliverWhole) without waiting for a tick. Whatever does not parse as a
// whole frame completes by silence exactly as above. A full queue (the
// interface not taking frames) also leaves frames to silence.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <mutex>
#include <span>

class ReceiveBuffer {
public:
    static constexpr std::int32_t kCapacity = 1024;
    // A frame completes on this tick after the last byte.
    static constexpr std::int32_t kSilenceTicks = 5;

    struct Frame {
        // The whole frame buffer; bytes from `length` on are left-overs.
        std::span<const std::uint8_t, kCapacity> bytes;
        std::int32_t length;
        // How many bytes the buffer had received when the frame ended: where
        // it ends in the stream of every received byte (see Received).
        std::uint64_t end = 0;
    };

    // Reader thread, once per received byte, or once per piece read.
    void OnRxByte(std::uint8_t b);
    void OnRxBytes(std::span<const std::uint8_t> bytes);

    // User-interface thread, every 100 ms. When this tick completes a frame,
    // calls deliver(const Frame&) and returns true; the frame stays readable
    // until deliver returns. A tick that arrives while a frame is being
    // delivered (a page running a modal message box) is skipped, so frames
    // are never delivered re-entrantly or overwritten while being read.
    // Whole frames still waiting go first, in order.
    template <class Deliver>
    bool Tick(Deliver&& deliver)
    {
        if (delivering_)
            return false;
        const bool whole = DeliverWhole(deliver);
        std::int32_t length = 0;
        std::uint64_t end = 0;
        if (!AdvanceAndTake(length, end))
            return whole;
        Delivering guard(delivering_);
        deliver(Frame{frame_, length, end});
        return true;
    }

    // User-interface thread: delivers the whole frames waiting, in order;
    // true when there was one.
    template <class Deliver>
    bool DeliverWhole(Deliver&& deliver)
    {
        bool any = false;
        std::int32_t length = 0;
        std::uint64_t end = 0;
        while (!delivering_ && TakeWhole(length, end)) {
            Delivering guard(delivering_);
            deliver(Frame{frame_, length, end});
            any = true;
        }
        return any;
    }

    static constexpr std::size_t kWholeQueue = 16;
    void SetFastReplies(bool on);
    bool FastReplies() const;
    // Called on the reader thread, under the buffer's lock, when a whole frame
    // starts waiting. It may only post or signal: never call back into the
    // buffer. Cleared with nullptr before its target goes away.
    void SetWholeFrameSignal(std::function<void()> signal);

    // Bytes collected for the frame in progress.
    std::int32_t RxLength() const;
    // Every byte received so far, counted from 0: a reader of the whole
    // stream places a frame's end in it.
    std::uint64_t Received() const;
    // -1 while no frame is pending, else ticks counted since the last byte.
    std::int32_t RxIdleTicks() const;
    // The buffer of the last completed frame (user-interface thread only).
    std::span<const std::uint8_t, kCapacity> RxBuffer() const { return frame_; }

private:
    struct Delivering {
        bool& flag;
        explicit Delivering(bool& f) : flag(f) { flag = true; }
        ~Delivering() { flag = false; }
    };
    struct Whole {
        std::array<std::uint8_t, kCapacity> bytes;
        std::int32_t length;
        std::uint64_t end;
    };

    // One byte, under the lock.
    void Take(std::uint8_t b);
    bool AdvanceAndTake(std::int32_t& length, std::uint64_t& end);
    bool TakeWhole(std::int32_t& length, std::uint64_t& end);

    mutable std::mutex mutex_;
    std::array<std::uint8_t, kCapacity> collecting_{};
    std::int32_t length_ = 0;
    std::int32_t idleTicks_ = -1;
    std::uint64_t received_ = 0;
    bool fast_ = false;
    std::array<Whole, kWholeQueue> whole_{};
    std::size_t wholeHead_ = 0;
    std::size_t wholeCount_ = 0;
    std::function<void()> wholeSignal_;

    // Touched by the user-interface thread only.
    std::array<std::uint8_t, kCapacity> frame_{};
    bool delivering_ = false;
};
