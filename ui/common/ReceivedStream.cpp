#include "ui/common/ReceivedStream.h"

#include "driver/serial/BufferedPort.h"

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace ui {

ReceivedStream& ReceivedStream::instance()
{
    static ReceivedStream stream;
    return stream;
}

ReceivedStream::ReceivedStream()
{
    flush_.setSingleShot(true);
    flush_.setInterval(kFlushMs);
    connect(&flush_, &QTimer::timeout, this, &ReceivedStream::Flush);
    quiet_.setSingleShot(true);
    quiet_.setInterval(kQuietMs);
    connect(&quiet_, &QTimer::timeout, this, &ReceivedStream::Release);
    g_Serial.SetReadObserver(this);
}

ReceivedStream::~ReceivedStream()
{
    g_Serial.RemoveReadObserver(this);
}

void ReceivedStream::OnRead(const std::uint8_t* data, std::size_t length)
{
    // The frame path has counted these bytes already.
    const std::uint64_t end = g_Rx.Received();
    std::lock_guard guard(lock_);
    // Once bytes are lost, so is the rest until this thread takes what
    // waits: what waits stays one stretch of the stream, and the loss
    // follows it.
    if (dropping_ || waiting_.size() + length > kMaxWaiting) {
        dropping_ = true;
        dropped_ += length;
    } else {
        if (waiting_.empty())
            waitingAt_ = end - length;
        waiting_.insert(waiting_.end(), data, data + length);
    }
    if (!woken_) {
        woken_ = true;
        QMetaObject::invokeMethod(this, &ReceivedStream::Wake, Qt::QueuedConnection);
    }
}

void ReceivedStream::Wake()
{
    if (!flush_.isActive())
        flush_.start();
}

void ReceivedStream::Flush()
{
    // Two buffers take turns and keep their room, so that a flood is not
    // copied into fresh memory on every delivery.
    delivering_.clear();
    if (delivering_.capacity() > kKeptRoom)
        delivering_.shrink_to_fit();
    std::uint64_t at = 0, dropped = 0;
    {
        std::lock_guard guard(lock_);
        delivering_.swap(waiting_);
        at = waitingAt_;
        dropped = std::exchange(dropped_, 0);
        dropping_ = false;
        woken_ = false;
    }
    flush_.stop();
    if (!delivering_.empty())
        quiet_.start();
    if (!delivering_.empty())
        emit received(at, QByteArray::fromRawData(reinterpret_cast<const char*>(delivering_.data()),
                                                  static_cast<qsizetype>(delivering_.size())));
    if (dropped > 0)
        emit this->dropped(dropped);
}

void ReceivedStream::Release()
{
    std::vector<std::uint8_t>().swap(delivering_);
    {
        std::lock_guard guard(lock_);
        if (waiting_.empty())
            std::vector<std::uint8_t>().swap(waiting_);
    }
    // What the windows freed after the stream, too: glibc keeps freed room
    // at the top of its heaps until asked.
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

void ReceivedStream::FrameEnded(std::uint64_t end)
{
    Flush();
    emit frameEnded(end);
}

}  // namespace ui
