#include "ui/common/StreamReader.h"

#include "ui/common/ReceivedStream.h"

#include <span>

namespace ui {

StreamReader::StreamReader(Handlers handlers, QObject* parent) : QObject(parent), handlers_(std::move(handlers))
{
    auto& stream = ReceivedStream::instance();
    connect(&stream, &ReceivedStream::received, this, &StreamReader::OnReceived);
    connect(&stream, &ReceivedStream::frameEnded, this, &StreamReader::OnFrameEnded);
    connect(&stream, &ReceivedStream::dropped, this, &StreamReader::OnDropped);
}

QString StreamReader::DroppedText(quint64 count)
{
    return tr("窗口来不及处理，%1 字节收到的数据已丢失。").arg(count);
}

void StreamReader::OnReceived(quint64 at, const QByteArray& bytes)
{
    if (handlers_.begins && cutter_.open().empty())
        handlers_.begins();
    Records records;
    cutter_.Feed(at, std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()), bytes.size()), records);
    Cut(records);
}

void StreamReader::OnFrameEnded(quint64 end)
{
    Records records;
    cutter_.EndAt(end, records);
    Cut(records);
}

void StreamReader::CutNow()
{
    ReceivedStream::instance().Flush();
    Records records;
    cutter_.EndAt(cutter_.openAt() + cutter_.open().size(), records);
    Cut(records);
}

void StreamReader::OnDropped(quint64 count)
{
    // No record goes on across bytes lost: the one in progress ends here.
    Records records;
    cutter_.EndAt(cutter_.openAt() + cutter_.open().size(), records);
    Cut(records);
    dropped_ += count;
    if (handlers_.dropped)
        handlers_.dropped(count);
}

void StreamReader::Cut(Records& records)
{
    if (handlers_.cut)
        handlers_.cut(records);
}

}  // namespace ui
