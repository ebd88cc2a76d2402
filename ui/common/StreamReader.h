// One window's reading of the received stream (ReceivedStream.h), as the
// terminal and the line monitor both read it: the bytes cut into records
// where the frame path ended its frames and at the cutter's bound, so that
// every byte is in a record, and the bytes the stream could not keep for
// the window, counted and said in one set of words. A record ends where
// bytes were lost: nothing after them continues it.
#pragma once

#include "core/monitor/StreamCutter.h"

#include <QObject>
#include <QString>

#include <functional>
#include <vector>

namespace ui {

class StreamReader : public QObject {
    Q_OBJECT
public:
    using Records = std::vector<monitor::StreamCutter::Record>;
    // Called on this thread while the reader lives; any may be empty.
    struct Handlers {
        // Bytes arrive with no record in progress: a record begins.
        std::function<void()> begins;
        // Records completed, oldest first; their bytes may be taken.
        std::function<void(Records& records)> cut;
        // `count` bytes could not wait for the window and are gone.
        std::function<void(quint64 count)> dropped;
    };

    explicit StreamReader(Handlers handlers, QObject* parent = nullptr);

    const monitor::StreamCutter& cutter() const { return cutter_; }
    // Ends the record in progress where the stream is now.
    void CutNow();
    // Bytes gone since the count was last reset.
    quint64 droppedBytes() const { return dropped_; }
    void ResetDropped() { dropped_ = 0; }
    // What a window says of bytes it lost that way.
    static QString DroppedText(quint64 count);

private:
    void OnReceived(quint64 at, const QByteArray& bytes);
    void OnFrameEnded(quint64 end);
    void OnDropped(quint64 count);
    void Cut(Records& records);

    Handlers handlers_;
    monitor::StreamCutter cutter_;
    quint64 dropped_ = 0;
};

}  // namespace ui
