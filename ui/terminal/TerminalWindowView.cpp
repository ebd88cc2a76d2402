// The receive view: every chunk as text, hex or both, with stamps and marks,
// kept so that a change of how it is shown shows it again.
#include "ui/terminal/TerminalWindow.h"

#include "core/monitor/LineLog.h"
#include "ui/common/ReceivedStream.h"
#include "ui/terminal/TerminalWindowInternal.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QLabel>

#include <algorithm>

using ui::terminal_internal::NowMs;

void TerminalWindow::OnStream(quint64 at, const QByteArray& bytes)
{
    if (cutter_.open().empty())
        liveSinceMs_ = NowMs();
    std::vector<monitor::StreamCutter::Bytes> records;
    cutter_.Feed(at, std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()), bytes.size()), records);
    RecordCut(records);
}

void TerminalWindow::OnFrameEnded(quint64 end)
{
    std::vector<monitor::StreamCutter::Bytes> records;
    cutter_.EndAt(end, records);
    RecordCut(records);
}

void TerminalWindow::OnDropped(quint64 count)
{
    if (wantsFrames())
        Record({NowMs(), Kind::Notice, {},
                tr("窗口来不及处理，%1 字节收到的数据已丢失。").arg(count)});
}

void TerminalWindow::RecordCut(std::vector<monitor::StreamCutter::Bytes>& records)
{
    // Hidden and not logging: the stream is followed, not kept.
    if (!wantsFrames())
        return;
    DropLive();
    // A flood arrives as many records at once: the view holds only its last
    // lines, and draws once after them.
    for (auto& r : records) {
        Chunk chunk{liveSinceMs_, Kind::Received, std::move(r), {}};
        liveSinceMs_ = NowMs();
        Log(chunk);
        AppendToView(chunk);
        Keep(std::move(chunk));
    }
    ShowLive();
    SayLinesGone();
}

void TerminalWindow::ShowLive()
{
    if (cutter_.open().empty())
        return;
    liveLines_ = AppendToView({liveSinceMs_, Kind::Received, cutter_.open(), {}});
}

void TerminalWindow::DropLive()
{
    if (liveLines_ == 0)
        return;
    view_->removeLast(liveLines_);
    liveLines_ = 0;
}

void TerminalWindow::SayLinesGone()
{
    const qint64 gone = linesGone();
    linesGone_->setVisible(gone > 0);
    if (gone > 0)
        linesGone_->setText(tr("更早的 %1 行已移出接收区（最多保留 %2 行）")
                                .arg(gone)
                                .arg(view_->maxLines()));
}

void TerminalWindow::CutOpen()
{
    ui::ReceivedStream::instance().Flush();
    std::vector<monitor::StreamCutter::Bytes> records;
    cutter_.EndAt(cutter_.openAt() + cutter_.open().size(), records);
    RecordCut(records);
}

void TerminalWindow::Record(Chunk chunk)
{
    // What was received before a send is an answer of its own: the next
    // one starts below the send.
    if (chunk.kind == Kind::Sent)
        CutOpen();
    const bool live = liveLines_ > 0;
    DropLive();
    Log(chunk);
    AppendToView(chunk);
    if (live)
        ShowLive();
    Keep(std::move(chunk));
}

void TerminalWindow::Log(const Chunk& chunk)
{
    if (!log_.isOpen())
        return;
    const auto view = static_cast<terminal::View>(viewCombo_->currentIndex());
    QString line = QDateTime::fromMSecsSinceEpoch(chunk.wallMs).toString(QStringLiteral("yyyy-MM-dd ")) +
                   QString::fromStdString(monitor::FormatTime(chunk.wallMs)) + u' ' + Mark(chunk.kind);
    if (chunk.kind == Kind::Notice)
        line += chunk.notice;
    else if (view == terminal::View::Text)
        line += terminal::OneLine(chunk.bytes, encoding());
    else
        line += terminal::Render(chunk.bytes, terminal::View::Hex, encoding()).join(u' ') +
                (view == terminal::View::Both ? QStringLiteral("  ") + terminal::OneLine(chunk.bytes, encoding())
                                              : QString());
    if (const QString failure = log_.Write(line); !failure.isEmpty())
        StopLog(failure);
}

void TerminalWindow::Keep(Chunk chunk)
{
    chunkBytes_ += chunk.bytes.size();
    chunks_.push_back(std::move(chunk));
    while (chunks_.size() > kKeptChunks || (chunkBytes_ > kKeptBytes && chunks_.size() > 1)) {
        chunkBytes_ -= chunks_.front().bytes.size();
        chunks_.pop_front();
    }
}

QString TerminalWindow::Mark(Kind kind)
{
    switch (kind) {
    case Kind::Sent: return QStringLiteral("TX ");
    case Kind::Received: return QStringLiteral("RX ");
    case Kind::Notice: break;
    }
    return QStringLiteral("!! ");
}

int TerminalWindow::AppendToView(const Chunk& chunk)
{
    QStringList lines;
    ChunkLines(chunk, lines);
    const auto count = static_cast<int>(lines.size());
    view_->append(std::move(lines));
    return count;
}

void TerminalWindow::ChunkLines(const Chunk& chunk, QStringList& out) const
{
    const bool showSent = showSentCheck_->isChecked();
    if (chunk.kind == Kind::Sent && !showSent)
        return;
    QString prefix;
    if (stampsCheck_->isChecked())
        prefix = QStringLiteral("[%1] ").arg(QString::fromStdString(monitor::FormatTime(chunk.wallMs)));
    // Received chunks need no mark while nothing else is shown.
    if (chunk.kind == Kind::Notice || showSent)
        prefix += Mark(chunk.kind);
    const QStringList lines =
        chunk.kind == Kind::Notice
            ? QStringList{chunk.notice}
            : terminal::Render(chunk.bytes, static_cast<terminal::View>(viewCombo_->currentIndex()), encoding());
    // Each chunk on lines of its own; the lines after its first are indented
    // under its text.
    const QString indent(prefix.size(), QLatin1Char(' '));
    for (qsizetype i = 0; i < lines.size(); ++i)
        out.push_back((i == 0 ? prefix : indent) + lines[i]);
}

qint64 TerminalWindow::linesGone() const
{
    return view_->dropped();
}

void TerminalWindow::OnViewLinesChanged(int lines)
{
    view_->setMaxLines(lines);
    SaveOptions();
    SayLinesGone();
}

void TerminalWindow::OnShowOptionChanged()
{
    // Hex rows line up only unbroken.
    view_->setWrap(viewCombo_->currentIndex() == int(terminal::View::Text));
    SaveOptions();
    if (!loading_)
        ShowAgain();
}

void TerminalWindow::ShowAgain()
{
    view_->clear();
    liveLines_ = 0;
    for (const Chunk& c : chunks_)
        AppendToView(c);
    ShowLive();
    SayLinesGone();
    view_->scrollToEnd();
}

void TerminalWindow::OnClear()
{
    view_->clear();
    chunks_.clear();
    chunkBytes_ = 0;
    liveLines_ = 0;
    SayLinesGone();
}
