// The receive view: every chunk as text, hex or both, with stamps and marks,
// kept so that a change of how it is shown shows it again.
#include "ui/terminal/TerminalWindow.h"

#include "core/monitor/LineLog.h"
#include "ui/terminal/TerminalWindowInternal.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QLabel>

#include <algorithm>

using ui::terminal_internal::NowMs;

void TerminalWindow::OnDropped(quint64 count)
{
    if (wantsFrames())
        Record({NowMs(), Kind::Notice, {}, ui::StreamReader::DroppedText(count)});
}

void TerminalWindow::RecordCut(ui::StreamReader::Records& records)
{
    // Hidden and not logging: the stream is followed, not kept, and what
    // comes next continues nothing shown.
    if (!wantsFrames()) {
        tail_.reset();
        return;
    }
    DropLive();
    // A flood arrives as many records at once: the view holds only its last
    // lines, and draws once after them.
    for (auto& r : records) {
        Chunk chunk{liveSinceMs_, Kind::Received, std::move(r.bytes), {}, r.continues};
        liveSinceMs_ = NowMs();
        Log(chunk);
        AppendToView(chunk, tail_);
        Keep(std::move(chunk));
    }
    ShowLive();
    SayLinesGone();
}

void TerminalWindow::ShowLive()
{
    const monitor::StreamCutter& cutter = stream_->cutter();
    if (cutter.open().empty())
        return;
    // Shown as it will be once cut, the tail left as it is.
    std::optional<OpenTail> tail = tail_;
    liveLines_ =
        AppendToView({liveSinceMs_, Kind::Received, cutter.open(), {}, cutter.openContinues()}, tail, &liveTook_);
}

void TerminalWindow::DropLive()
{
    if (liveLines_ == 0)
        return;
    view_->removeLast(liveLines_);
    liveLines_ = 0;
    if (!liveTook_.isEmpty())
        view_->append(std::exchange(liveTook_, {}));
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

void TerminalWindow::Record(Chunk chunk)
{
    // What was received before a send is an answer of its own: the next
    // one starts below the send.
    if (chunk.kind == Kind::Sent)
        stream_->CutNow();
    const bool live = liveLines_ > 0;
    DropLive();
    Log(chunk);
    AppendToView(chunk, tail_);
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

int TerminalWindow::AppendToView(const Chunk& chunk, std::optional<OpenTail>& tail, QStringList* took)
{
    QStringList taken = tail ? tail->shown : QStringList();
    QStringList lines;
    if (!ChunkLines(chunk, tail, lines))
        taken.clear();
    view_->removeLast(int(taken.size()));
    if (took)
        *took = std::move(taken);
    const auto count = static_cast<int>(lines.size());
    view_->append(std::move(lines));
    return count;
}

bool TerminalWindow::ChunkLines(const Chunk& chunk, std::optional<OpenTail>& tail, QStringList& out) const
{
    const bool showSent = showSentCheck_->isChecked();
    if (chunk.kind != Kind::Received)
        tail.reset();
    if (chunk.kind == Kind::Sent && !showSent)
        return false;
    QString prefix;
    if (stampsCheck_->isChecked())
        prefix = QStringLiteral("[%1] ").arg(QString::fromStdString(monitor::FormatTime(chunk.wallMs)));
    // Received chunks need no mark while nothing else is shown.
    if (chunk.kind == Kind::Notice || showSent)
        prefix += Mark(chunk.kind);
    const auto view = static_cast<terminal::View>(viewCombo_->currentIndex());
    // Each chunk on lines of its own; the lines after its first are indented
    // under its text.
    const auto lay = [&out](const QString& first, const QStringList& lines) {
        const QString indent(first.size(), QLatin1Char(' '));
        for (qsizetype i = 0; i < lines.size(); ++i)
            out.push_back((i == 0 ? first : indent) + lines[i]);
    };
    if (chunk.kind == Kind::Notice) {
        lay(prefix, {chunk.notice});
        return false;
    }
    if (chunk.kind == Kind::Sent) {
        lay(prefix, terminal::Render(chunk.bytes, view, encoding()));
        return false;
    }
    // Cut for its size only: the line it broke is shown again with it, so
    // that a character split by the cut reads whole too.
    const bool joins = chunk.continues && tail;
    terminal::Bytes joined;
    std::span<const std::uint8_t> bytes(chunk.bytes);
    std::size_t skip = 0;
    if (joins) {
        prefix = tail->prefix;
        skip = tail->skip;
        joined.reserve(tail->bytes.size() + chunk.bytes.size());
        joined.insert(joined.end(), tail->bytes.begin(), tail->bytes.end());
        joined.insert(joined.end(), chunk.bytes.begin(), chunk.bytes.end());
        bytes = joined;
    }
    terminal::Tail last;
    const QStringList lines = terminal::Render(bytes, view, encoding(), &last, skip);
    lay(prefix, lines);
    OpenTail left;
    left.bytes.assign(bytes.begin() + std::ptrdiff_t(last.at), bytes.end());
    left.skip = last.skip;
    left.prefix = last.line == 0 ? prefix : QString(prefix.size(), QLatin1Char(' '));
    left.shown = out.mid(out.size() - (lines.size() - last.line));
    tail = std::move(left);
    return joins;
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
    liveTook_.clear();
    tail_.reset();
    for (const Chunk& c : chunks_)
        AppendToView(c, tail_);
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
    liveTook_.clear();
    tail_.reset();
    SayLinesGone();
}
